#include "core/settings_files.h"

#include <algorithm>

namespace tracewick {

std::array<const SettingsFile*, kSettingsFileCount> SettingsFilesBy(int SettingsFile::*order) noexcept {
    std::array<const SettingsFile*, kSettingsFileCount> rows{};
    for (std::size_t i = 0; i < kSettingsFileCount; ++i) rows[i] = &kSettingsFiles[i];
    std::sort(rows.begin(), rows.end(),
                     [order](const SettingsFile* a, const SettingsFile* b) { return a->*order < b->*order; });
    return rows;
}

const SettingsFile* SettingsFileOf(int page) noexcept {
    for (const SettingsFile& file : kSettingsFiles) {
        if (file.page == page) return &file;
    }
    return nullptr;
}

}  // namespace tracewick
