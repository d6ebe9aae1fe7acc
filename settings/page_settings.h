// What reading and saving the settings files needs of a page that keeps
// one; which file is the page's is in core/settings_files.h. UI thread only.
#pragma once

#include "core/settings_format.h"

namespace tracewick {

class PageSettings {
public:
    virtual ~PageSettings() = default;
    // The page's file, read at start into its members: the page may have no
    // window yet. Not called when the file is missing: the defaults stand.
    virtual void ReadSettings(SettingsReader& reader) = 0;
    // The file's lines, from the page's members as they stand.
    virtual void WriteSettings(SettingsWriter& writer) const = 0;
};

}  // namespace tracewick
