#include "framework/message_box.h"

#include <string>

namespace tracewick {

int AppMessageBox(HWND owner, std::string_view text, UINT extra_flags) {
    const std::string copy(text);
    return ::MessageBoxA(owner, copy.c_str(), kAppName, MB_OK | MB_ICONEXCLAMATION | extra_flags);
}

}  // namespace tracewick
