// The program's settings files, one row each: the file, whose settings it
// keeps, and its place in the three orders the files are handled in. A page
// that keeps a settings file has exactly one row here; the sheet reads and
// saves every file by this table. Portable: no <windows.h>.
#pragma once

#include <array>
#include <cstddef>

#include "core/pages.h"
#include "core/settings_fields.h"

namespace tracewick {

// The `page` of the sheet's own file, actpage.dat.
inline constexpr int kSheetFile = -1;

struct SettingsFile {
    const char* name;     // in the working directory
    int page;             // the page index whose settings it keeps, or kSheetFile
    int read_order;       // at start; the sheet reads its own as it opens the start page, after every page's
    int write_order;      // by the save at Exit and Close
    int attribute_order;  // its attributes cleared, before the save writes any file
};

inline constexpr SettingsFile kSettingsFiles[] = {
    // name          page              read  write  attributes
    {"actpage.dat", kSheetFile,          8,    0,     0},
    {"ping.dat",    kPingPage,           7,    1,     1},
    {"tracert.dat", kTracertPage,        0,    2,     2},
    {"lookup.dat",  kLookupPage,         2,    8,     6},
    {"routes.dat",  kRoutesPage,         1,    5,     4},
    {"arp.dat",     kArpPage,            3,    7,     7},
    {"netbios.dat", kNetbiosPage,        5,    4,     8},
    {"connect.dat", kConnectionsPage,    4,    6,     5},
    {"netstat.dat", kStatisticsPage,     6,    3,     3},
};

inline constexpr std::size_t kSettingsFileCount = std::size(kSettingsFiles);

// The rows in the order that `order` (one of the three order columns) gives.
[[nodiscard]] std::array<const SettingsFile*, kSettingsFileCount> SettingsFilesBy(int SettingsFile::*order) noexcept;

// The row of `page` (a page index or kSheetFile), or null for a page that
// keeps no settings file.
[[nodiscard]] const SettingsFile* SettingsFileOf(int page) noexcept;

// actpage.dat: the index of the page that was active at the save.
struct SheetSettings {
    int active_page = 0;
};

inline constexpr SettingsField<SheetSettings> kSheetFields[] = {Field<&SheetSettings::active_page>()};

}  // namespace tracewick
