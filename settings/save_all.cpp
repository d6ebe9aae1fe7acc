#include "settings/save_all.h"

#include "framework/message_box.h"
#include "settings/settings_io.h"

namespace tracewick {

namespace {

// Every settings file the program keeps, in the order their attributes are
// cleared before a save.
constexpr const char* kAllSettingsFiles[] = {
    "actpage.dat", "ping.dat",    "tracert.dat", "netstat.dat", "routes.dat",
    "connect.dat", "lookup.dat",  "arp.dat",     "netbios.dat",
};

}  // namespace

bool SaveAllSettings(HWND owner, const std::vector<SettingsFileBytes>& files) {
    for (const char* name : kAllSettingsFiles) ClearSettingsFileAttributes(name);
    for (const SettingsFileBytes& file : files) {
        if (WriteSettingsFile(file.name, file.bytes) == SettingsWrite::kFailed) {
            AppMessageBox(owner, std::string("Tracewick could not save its settings to ") +
                                     file.name + ". The previous settings in that file are kept.");
            return false;
        }
    }
    return true;
}

}  // namespace tracewick
