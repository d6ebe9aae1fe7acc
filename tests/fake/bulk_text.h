// The stand-in command's "bulk" text, so that tests and benchmarks can
// compute the exact bytes it prints. Portable: no <windows.h>.
//
// Line n (1, 2, 3, ...) is 64 bytes:
//   "line " + n modulo 1000000 as six digits + " "
//   + 50 letters, letter k (0..49) being 'a' + (n + k) % 26
//   + "\r\n"
// e.g. line 1 is "line 000001 bcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxy\r\n".
// BulkText(length) is lines 1, 2, ... joined and cut after `length` bytes,
// so the last line may be partial.
#pragma once

#include <cstddef>
#include <string>

namespace tracewick::fake {

inline constexpr std::size_t kBulkLineLength = 64;

// Appends line `number` (1-based) to `out`.
inline void AppendBulkLine(std::size_t number, std::string& out) {
    char line[kBulkLineLength];
    const char prefix[] = "line ";
    std::size_t at = 0;
    for (const char* p = prefix; *p; ++p) line[at++] = *p;
    std::size_t digits = number % 1000000;
    for (int i = 5; i >= 0; --i) {
        line[at + static_cast<std::size_t>(i)] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    at += 6;
    line[at++] = ' ';
    for (std::size_t k = 0; k < 50; ++k) line[at++] = static_cast<char>('a' + (number + k) % 26);
    line[at++] = '\r';
    line[at++] = '\n';
    out.append(line, kBulkLineLength);
}

// Bytes [offset, offset + length) of the endless bulk text; `offset` is a
// multiple of kBulkLineLength (the stand-in writes whole lines per block).
inline std::string BulkTextAt(std::size_t offset, std::size_t length) {
    std::string text;
    text.reserve(length + kBulkLineLength);
    for (std::size_t number = offset / kBulkLineLength + 1; text.size() < length; ++number)
        AppendBulkLine(number, text);
    text.resize(length);
    return text;
}

inline std::string BulkText(std::size_t length) { return BulkTextAt(0, length); }

}  // namespace tracewick::fake
