// Text between code pages: a pane holds UTF-16, saved files and logs hold
// UTF-8, the program's own strings are in its ANSI code page. Any thread.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tracewick {

// The byte order mark a UTF-8 file of ours starts with, so that every
// editor (Notepad of any age among them) reads it as UTF-8.
inline constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// `bytes` of `code_page` as UTF-16; a byte that stands for no character
// becomes the code page's default character.
[[nodiscard]] std::wstring Decode(std::string_view bytes, UINT code_page);
// `text` in `code_page`; a character it lacks becomes the nearest it has,
// or its default character.
[[nodiscard]] std::string Encode(std::wstring_view text, UINT code_page);

}  // namespace tracewick
