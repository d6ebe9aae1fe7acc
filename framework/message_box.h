// The application message box: every refusal and error the program reports
// goes through it, captioned with the program's name. UI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "framework/system_error.h"  // the words a message quotes

namespace tracewick {

inline constexpr char kAppName[] = "Tracewick";

// Exclamation icon and OK; returns what MessageBox returned. While a sink
// is set, the text goes there instead and the result is IDOK.
int AppMessageBox(HWND owner, std::string_view text, UINT extra_flags = 0);

// Where the texts go while nobody is there to answer a box: a run started
// by a scheduled task must never wait for a click. Empty: the box again.
using MessageSink = std::function<void(std::string_view text)>;
void SetMessageSink(MessageSink sink);

}  // namespace tracewick
