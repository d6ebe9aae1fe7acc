#include "framework/message_box.h"

#include <cstring>
#include <string>
#include <utility>

namespace tracewick {

namespace {

MessageSink g_sink;

}  // namespace

std::string SystemErrorText(DWORD error) {
    char reason[256] = {};
    DWORD length = error == 0 ? 0
                              : ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                                 error, 0, reason, sizeof reason, nullptr);
    while (length > 0 && std::strchr("\r\n .", reason[length - 1])) --length;
    return std::string(reason, length);
}

void SetMessageSink(MessageSink sink) { g_sink = std::move(sink); }

int AppMessageBox(HWND owner, std::string_view text, UINT extra_flags) {
    if (g_sink) {
        g_sink(text);
        return IDOK;
    }
    const std::string copy(text);
    return ::MessageBoxA(owner, copy.c_str(), kAppName, MB_OK | MB_ICONEXCLAMATION | extra_flags);
}

}  // namespace tracewick
