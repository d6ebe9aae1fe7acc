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

#include <cstdio>
#include <string>

namespace tracewick::fake {

inline std::string BulkText(std::size_t length) {
    std::string text;
    char line[65];
    for (std::size_t number = 1; text.size() < length; ++number) {
        std::snprintf(line, sizeof line, "line %06u ", static_cast<unsigned>(number % 1000000));
        for (std::size_t k = 0; k < 50; ++k) line[12 + k] = static_cast<char>('a' + (number + k) % 26);
        text.append(line, 62).append("\r\n");
    }
    text.resize(length);
    return text;
}

}  // namespace tracewick::fake
