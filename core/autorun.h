// The auto-run letter: which page a command-line argument opens and runs.
// Portable: no <windows.h>.
#pragma once

#include <string>
#include <vector>

namespace tracewick {

inline constexpr char kNoAutoRunLetter = ' ';

// First character of the first argument that is not a switch (a switch
// begins with '-' or '/'); a blank when there is none or it is empty.
// `args` excludes the program name.
[[nodiscard]] char AutoRunLetterFromArgs(const std::vector<std::string>& args) noexcept;

// Page index that a letter selects and runs, in either case, or -1.
[[nodiscard]] int PageIndexForLetter(char letter) noexcept;

}  // namespace tracewick
