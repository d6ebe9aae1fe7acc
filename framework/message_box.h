// The application message box: every refusal and error the program reports
// goes through it, captioned with the program's name. UI thread only.
#pragma once

#include <windows.h>

#include <string_view>

namespace tracewick {

inline constexpr char kAppName[] = "Tracewick";

// Exclamation icon and OK; returns what MessageBox returned.
int AppMessageBox(HWND owner, std::string_view text, UINT extra_flags = 0);

}  // namespace tracewick
