// The application object: start-up, the splash decision, the main sheet's
// modal run. UI thread only.
#pragma once

#include <windows.h>

namespace tracewick {

class MainApp {
public:
    // Runs the whole program; always FALSE, so nothing follows it.
    BOOL InitInstance();
    // What the process ends with: 0, or in a run nobody watches its outcome.
    [[nodiscard]] DWORD ExitCode() const noexcept { return exit_code_; }

private:
    DWORD exit_code_ = 0;
};

}  // namespace tracewick
