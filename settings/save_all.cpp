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

std::string NotSavedText(const std::vector<const char*>& names) {
    std::string text = "Tracewick could not save its settings to ";
    for (std::size_t i = 0; i < names.size(); ++i) text += (i == 0 ? "" : ", ") + std::string(names[i]);
    return text + (names.size() == 1 ? ". The previous settings in that file are kept."
                                     : ". The previous settings in those files are kept.");
}

}  // namespace

bool SaveAllSettings(HWND owner, int active_page, const std::vector<const PageSettings*>& pages) {
    for (const char* name : kAttributeOrder) ClearSettingsFileAttributes(name);
    std::vector<const char*> passed_over;
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
        // A value the file cannot carry keeps the old file, as a file that
        // cannot be replaced does; the readers never produce one.
        const SettingsWrite result = writer.Refused() ? SettingsWrite::kPassedOver
                                                      : WriteSettingsFile(name, writer.Bytes());
        if (result == SettingsWrite::kFailed) {
            AppMessageBox(owner, NotSavedText({name}));
            return false;
        }
        if (result == SettingsWrite::kPassedOver) passed_over.push_back(name);
    }
    if (!passed_over.empty()) AppMessageBox(owner, NotSavedText(passed_over));
    return true;
}

}  // namespace tracewick
