// Text between code pages: a pane holds UTF-16, saved files and logs hold
// UTF-8, the program's own strings are in its ANSI code page. Any thread;
// header-only, so that conspawn.exe and lookup.exe convert the same way.
#pragma once

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>

namespace tracewick {

// The byte order mark a UTF-8 file of ours starts with, so that every
// editor (Notepad of any age among them) reads it as UTF-8.
inline constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// The conversion calls count in int: longer text goes in pieces.
inline constexpr std::size_t kConversionPiece = INT_MAX / 4;

// `bytes` of `code_page` as UTF-16; a byte that stands for no character
// becomes the code page's default character.
inline std::wstring Decode(std::string_view bytes, UINT code_page) {
    std::wstring text;
    while (!bytes.empty()) {
        const int length = static_cast<int>(std::min(bytes.size(), kConversionPiece));
        const int needed = ::MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
        if (needed <= 0) break;
        const std::size_t at = text.size();
        text.resize(at + static_cast<std::size_t>(needed));
        ::MultiByteToWideChar(code_page, 0, bytes.data(), length, text.data() + at, needed);
        bytes.remove_prefix(static_cast<std::size_t>(length));
    }
    return text;
}

// `text` in `code_page`; a character it lacks becomes the nearest it has,
// or its default character.
inline std::string Encode(std::wstring_view text, UINT code_page) {
    std::string bytes;
    while (!text.empty()) {
        const int length = static_cast<int>(std::min(text.size(), kConversionPiece));
        const int needed = ::WideCharToMultiByte(code_page, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
        if (needed <= 0) break;
        const std::size_t at = bytes.size();
        bytes.resize(at + static_cast<std::size_t>(needed));
        ::WideCharToMultiByte(code_page, 0, text.data(), length, bytes.data() + at, needed, nullptr, nullptr);
        text.remove_prefix(static_cast<std::size_t>(length));
    }
    return bytes;
}

}  // namespace tracewick
