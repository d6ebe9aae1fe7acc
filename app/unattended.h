// A run nobody watches: a page's letter with /log: or /exit, as a scheduled
// task starts Tracewick. Takes every text a message box would have shown,
// appends the first run and those texts to the log file (UTF-8, after a
// byte order mark at the start of the file), and keeps the exit code the
// program ends with. UI thread only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/autorun.h"

namespace tracewick {

class UnattendedRun {
public:
    // From now on no message box is shown: its text comes here.
    explicit UnattendedRun(AutoRunRequest request);
    ~UnattendedRun();

    UnattendedRun(const UnattendedRun&) = delete;
    UnattendedRun& operator=(const UnattendedRun&) = delete;

    // The first run has ended: `pane_text` from its header to its end line,
    // empty when it never started.
    void FirstRunEnded(std::wstring_view pane_text, DWORD exit_code);
    [[nodiscard]] bool LeavesAfterFirstRun() const noexcept { return request_.exit; }
    [[nodiscard]] DWORD ExitCode() const noexcept { return outcome_.ExitCode(); }

private:
    void TakeMessage(std::string_view text);
    // Appends `entry` (UTF-8) to the log file, when there is one.
    void Log(const std::string& entry);

    AutoRunRequest request_;
    UnattendedOutcome outcome_;
};

}  // namespace tracewick
