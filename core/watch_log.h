// What an unattended session writes beside the runs themselves: whether a
// ping run answered, the changes of a watched host's state with the
// session's summary, and the lines of a one-command report. Portable: no
// <windows.h>; times come in from the caller, so the rules test natively.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace tracewick {

// A moment as the log shows it: seconds for the arithmetic, local time for the stamp.
struct Moment {
    std::time_t at = 0;
    std::tm local = {};
};

// Whether a ping run got an answer. The words ping prints are translated,
// so only what no translation changes counts: the exit code, and, where the
// output names an IPv4 address, a line that carries "TTL=" (ping also exits
// with 0 when a router answers that the host is unreachable).
[[nodiscard]] bool PingAnswered(std::string_view output, unsigned long exit_code);

// The state of a watched host across the runs of one session: each change
// of state is a line under a time stamp, and the session ends with a summary.
class OutageLog {
public:
    explicit OutageLog(const Moment& session_start) : session_start_(session_start) {}

    // A run that started at `started` has ended: the log's lines for a
    // change of state, or nothing.
    [[nodiscard]] std::string RunEnded(const Moment& started, bool answered);
    // The session's summary at `end`: from when to when, how many runs, how
    // many answered, how many outages and how long they lasted (one still
    // going on counts until `end`).
    [[nodiscard]] std::string Summary(const Moment& end) const;

private:
    Moment session_start_;
    int runs_ = 0;
    int answered_ = 0;
    int outages_ = 0;
    std::int64_t outage_seconds_ = 0;
    std::optional<Moment> outage_since_;  // the first run of the outage going on
};

// The line a report puts above each page's run.
[[nodiscard]] std::string ReportSectionLine(int index);

// The outcome of a report: the exit code of the first page that did not
// end with 0, and which page that was.
class ReportOutcome {
public:
    void PageEnded(int index, unsigned long exit_code) noexcept;
    [[nodiscard]] unsigned long ExitCode() const noexcept { return code_; }
    [[nodiscard]] bool Failed() const noexcept { return page_ >= 0; }
    // The report's last line, saying which page failed first, if any.
    [[nodiscard]] std::string FinalLine() const;

private:
    int page_ = -1;
    unsigned long code_ = 0;
};

}  // namespace tracewick
