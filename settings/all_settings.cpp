#include "settings/all_settings.h"

#include <optional>
#include <string>
#include <vector>

#include "core/settings_files.h"
#include "framework/message_box.h"
#include "settings/settings_io.h"

namespace tracewick {

namespace {

std::string NotSavedText(const std::vector<const char*>& names) {
    std::string text = "Tracewick could not save its settings to ";
    for (std::size_t i = 0; i < names.size(); ++i) text += (i == 0 ? "" : ", ") + std::string(names[i]);
    return text + (names.size() == 1 ? ". The previous settings in that file are kept."
                                     : ". The previous settings in those files are kept.");
}

PageSettings* SettingsOf(const SettingsPages& pages, const SettingsFile& file) {
    return file.page == kSheetFile ? nullptr : pages.at(static_cast<std::size_t>(file.page));
}

}  // namespace

void ReadAllSettings(const SettingsPages& pages) {
    for (const SettingsFile* file : SettingsFilesBy(&SettingsFile::read_order)) {
        PageSettings* page = SettingsOf(pages, *file);
        if (!page) continue;  // the sheet's own, or a page not in this build
        if (const std::optional<std::string> saved = ReadSettingsFile(file->name)) {
            SettingsReader reader(*saved);
            page->ReadSettings(reader);
        }
    }
}

int ReadActivePage() {
    SheetSettings sheet;
    if (const std::optional<std::string> saved = ReadSettingsFile(SettingsFileOf(kSheetFile)->name)) {
        SettingsReader reader(*saved);
        SettingsLayout(kSheetFields).Read(reader, sheet);
    }
    return sheet.active_page;
}

bool SaveAllSettings(HWND owner, int active_page, const SettingsPages& pages) {
    for (const SettingsFile* file : SettingsFilesBy(&SettingsFile::attribute_order)) {
        ClearSettingsFileAttributes(file->name);
    }
    std::vector<const char*> passed_over;
    for (const SettingsFile* file : SettingsFilesBy(&SettingsFile::write_order)) {
        SettingsWriter writer;
        if (file->page == kSheetFile) {
            SettingsLayout(kSheetFields).Write(SheetSettings{active_page}, writer);
        } else if (const PageSettings* page = SettingsOf(pages, *file)) {
            page->WriteSettings(writer);
        } else {
            continue;  // that page is not in this build
        }
        // A value the file cannot carry keeps the old file, as a file that
        // cannot be replaced does; the readers never produce one.
        const SettingsWrite result = writer.Refused() ? SettingsWrite::kPassedOver
                                                      : WriteSettingsFile(file->name, writer.Bytes());
        if (result == SettingsWrite::kFailed) {
            AppMessageBox(owner, NotSavedText({file->name}));
            return false;
        }
        if (result == SettingsWrite::kPassedOver) passed_over.push_back(file->name);
    }
    if (!passed_over.empty()) AppMessageBox(owner, NotSavedText(passed_over));
    return true;
}

}  // namespace tracewick
