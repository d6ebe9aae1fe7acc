// Starting a process on a loaded system: now and then a start fails with the
// system's internal error, and a second try does not meet it (seen under
// load, about once in a thousand starts). Any other failure is final at once.
#pragma once

#include <windows.h>

namespace tracewick {

constexpr int kProcessStartTries = 3;

// Calls `start` (a CreateProcess call, true on success) until it succeeds,
// fails otherwise than with the internal error, or has been tried
// kProcessStartTries times. On failure the last error is the last try's.
template <class Start>
bool StartProcessRetrying(Start start) {
    for (int tries = 1;; ++tries) {
        if (start()) return true;
        const DWORD error = ::GetLastError();
        if (error != ERROR_INTERNAL_ERROR || tries == kProcessStartTries) return false;
        ::Sleep(20);
    }
}

}  // namespace tracewick
