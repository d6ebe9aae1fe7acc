#include "settings/save_all.h"

#include <cstring>
#include <string>

#include "framework/message_box.h"
#include "settings/settings_io.h"

namespace tracewick {

namespace {

// The order their attributes are cleared in before a save.
constexpr const char* kAttributeOrder[] = {
    "actpage.dat", "ping.dat",   "tracert.dat", "netstat.dat", "routes.dat",
    "connect.dat", "lookup.dat", "arp.dat",     "netbios.dat",
};

}  // namespace

bool SaveAllSettings(HWND owner, int active_page, const std::vector<const PageSettings*>& pages) {
    for (const char* name : kAttributeOrder) ClearSettingsFileAttributes(name);
    for (const char* name : kSettingsWriteOrder) {
        SettingsWriter writer;
        if (std::strcmp(name, kActivePageFile) == 0) {
            writer.Number(active_page);
        } else {
            const PageSettings* owner_page = nullptr;
            for (const PageSettings* page : pages) {
                if (std::strcmp(page->SettingsFileName(), name) == 0) owner_page = page;
            }
            if (!owner_page) continue;  // that page is not in this build
            owner_page->WriteSettings(writer);
        }
        if (writer.Refused() || WriteSettingsFile(name, writer.Bytes()) == SettingsWrite::kFailed) {
            AppMessageBox(owner, std::string("Tracewick could not save its settings to ") + name +
                                     ". The previous settings in that file are kept.");
            return false;
        }
    }
    return true;
}

}  // namespace tracewick
