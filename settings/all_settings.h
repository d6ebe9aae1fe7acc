// Reading every settings file at start and saving them all at Exit and
// Close, by the table of files (core/settings_files.h). UI thread only.
#pragma once

#include <windows.h>

#include <array>

#include "core/pages.h"
#include "settings/page_settings.h"

namespace tracewick {

// The settings of each page index; null for a page that keeps none.
using SettingsPages = std::array<PageSettings*, kPageCount>;

// Every page's file, in the read order, into its page; a missing file
// leaves the page's defaults. Not the sheet's own file: see ReadActivePage.
void ReadAllSettings(const SettingsPages& pages);

// The page index actpage.dat holds, or 0 when it cannot be read.
[[nodiscard]] int ReadActivePage();

// Clears the attributes of every settings file, then writes actpage.dat
// with `active_page` and each page's file, in the write order. A file
// that cannot be created or put in place is passed over, the others are
// still written, and one message names what was passed over: the result is
// true, as leaving must always work. A write error in an open file stops
// the save: the user is told which file failed, and the result is false so
// that the caller keeps the sheet open.
[[nodiscard]] bool SaveAllSettings(HWND owner, int active_page, const SettingsPages& pages);

}  // namespace tracewick
