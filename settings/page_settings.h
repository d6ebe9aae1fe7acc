// What the save of all settings needs of a page that keeps a settings file,
// and the order the files are written in. UI thread only.
#pragma once

#include "core/settings_format.h"

namespace tracewick {

class PageSettings {
public:
    virtual ~PageSettings() = default;
    // The file's name in the working directory, e.g. "ping.dat".
    [[nodiscard]] virtual const char* SettingsFileName() const = 0;
    // The file's lines, from the page's members as they stand.
    virtual void WriteSettings(SettingsWriter& writer) const = 0;
};

inline constexpr char kActivePageFile[] = "actpage.dat";

// Every settings file, in the order the save writes them.
inline constexpr const char* kSettingsWriteOrder[] = {
    "actpage.dat", "ping.dat",    "tracert.dat", "netstat.dat", "netbios.dat",
    "routes.dat",  "connect.dat", "arp.dat",     "lookup.dat",
};

}  // namespace tracewick
