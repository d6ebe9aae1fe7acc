// Program-wide values that start-up sets once and everything else only reads.
// UI thread only.
#pragma once

#include <windows.h>

namespace tracewick {

struct ProgramValues {
    BOOL nt_platform = FALSE;  // TRUE on the Windows NT platform
    char autorun_letter = ' ';  // the command line's letter, a blank when none
};

[[nodiscard]] const ProgramValues& Program() noexcept;

}  // namespace tracewick
