// Strings from the program's string table. UI thread or any thread.
#pragma once

#include <windows.h>

#include <string>

namespace tracewick {

// The string `id`, empty when the table has none.
[[nodiscard]] inline std::string LoadResourceString(UINT id) {
    char buffer[1024];
    const int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace tracewick
