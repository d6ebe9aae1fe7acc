// A run nobody watches, as a scheduled task or a shortcut starts Tracewick:
// a page's letter with /log: or /exit, or a /report: of every page. Takes
// every text a message box would have shown, appends the runs and those
// texts to the log or report file, and keeps the exit code the program ends
// with. UI thread only.
#pragma once

#include <windows.h>

#include <ctime>
#include <optional>
#include <string_view>

#include "core/autorun.h"
#include "core/watch_log.h"

namespace tracewick {

class UnattendedRun {
public:
    // From now on no message box is shown: its text comes here.
    explicit UnattendedRun(AutoRunRequest request);
    ~UnattendedRun();

    UnattendedRun(const UnattendedRun&) = delete;
    UnattendedRun& operator=(const UnattendedRun&) = delete;

    [[nodiscard]] bool Reports() const noexcept { return !request_.report_file.empty(); }
    [[nodiscard]] bool LeavesAfterFirstRun() const noexcept { return request_.exit; }

    // A run of page `page` has ended: `text` from its header to its end line
    // (empty when it never started), started at `started`. Without /exit
    // every run of the letter's page comes here, and the Ping page's also
    // tell whether the host answered.
    void RunEnded(int page, std::wstring_view text, DWORD exit_code, std::time_t started);
    // A report is about to run page `page`.
    void ReportPageStarting(int page);
    // Every page of a report has run.
    void ReportEnded();
    // The program is leaving: a watched host's session gets its summary.
    void Leaving();
    [[nodiscard]] DWORD ExitCode() const noexcept;

private:
    void TakeMessage(std::string_view text);
    // Appends `entry` (UTF-8) to the log or report file, when there is one.
    void Log(const std::string& entry);

    AutoRunRequest request_;
    UnattendedOutcome outcome_;
    bool first_run_ended_ = false;
    std::optional<OutageLog> outages_;  // the Ping page's, when every run is logged
    ReportOutcome report_;
};

}  // namespace tracewick
