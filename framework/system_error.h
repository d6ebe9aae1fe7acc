// The system's words for an error code: the one place Tracewick, the
// spawner and lookup.exe ask the system for them. Header only, so that the
// two small programs take it without the framework library. Any thread.
#pragma once

#include <windows.h>

#include <string>

namespace tracewick {

// The system's words for `error` on one line: its line breaks become blanks,
// and its trailing blanks and full stop go, so that the caller sets the
// words in a sentence of its own. Empty when the system has none.
[[nodiscard]] inline std::string SystemErrorText(DWORD error) {
    char words[512] = {};
    const DWORD length = error == 0 ? 0
                                    : ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                                       nullptr, error, 0, words, sizeof words, nullptr);
    std::string text;
    for (DWORD i = 0; i < length; ++i) {
        const char c = words[i];
        if (c != '\r' && c != '\n') {
            text += c;
        } else if (!text.empty() && text.back() != ' ') {
            text += ' ';
        }
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '.')) text.pop_back();
    return text;
}

}  // namespace tracewick
