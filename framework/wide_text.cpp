#include "framework/wide_text.h"

#include <algorithm>
#include <climits>

namespace tracewick {

namespace {

// The conversion calls count in int: longer text goes in pieces.
constexpr std::size_t kPiece = INT_MAX / 4;

}  // namespace

std::wstring Decode(std::string_view bytes, UINT code_page) {
    std::wstring text;
    while (!bytes.empty()) {
        const int length = static_cast<int>(std::min(bytes.size(), kPiece));
        const int needed = ::MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
        if (needed <= 0) break;
        const std::size_t at = text.size();
        text.resize(at + static_cast<std::size_t>(needed));
        ::MultiByteToWideChar(code_page, 0, bytes.data(), length, text.data() + at, needed);
        bytes.remove_prefix(static_cast<std::size_t>(length));
    }
    return text;
}

std::string Encode(std::wstring_view text, UINT code_page) {
    std::string bytes;
    while (!text.empty()) {
        const int length = static_cast<int>(std::min(text.size(), kPiece));
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
