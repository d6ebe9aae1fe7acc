// The save of all settings at Exit and Close. UI thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "settings/page_settings.h"

namespace tracewick {

// Clears the attributes of every settings file, then writes actpage.dat
// with `active_page` and each page's file, in the fixed write order. A file
// that cannot be created or put in place is passed over, the others are
// still written, and one message names what was passed over: the result is
// true, as leaving must always work. A write error in an open file stops
// the save: the user is told which file failed, and the result is false so
// that the caller keeps the sheet open.
[[nodiscard]] bool SaveAllSettings(HWND owner, int active_page, const std::vector<const PageSettings*>& pages);

}  // namespace tracewick
