#include "framework/message_box.h"

#include <string>
#include <utility>

namespace tracewick {

namespace {

MessageSink g_sink;

}  // namespace

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
