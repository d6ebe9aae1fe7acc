#include "core/watch_log.h"

#include <gtest/gtest.h>

#include <ctime>
#include <vector>

namespace tracewick {
namespace {

// Seconds after 14:00:00 on Monday, December 7, 2026; the local time is UTC here.
Moment At(int seconds) {
    const std::time_t at = 1796652000 + seconds;
    return {at, *std::gmtime(&at)};
}

}  // namespace

// The words of ping are translated; the exit code and "TTL=" are not.
TEST(PingAnswered, ByExitCodeAndTtlOnly) {
    const struct { const char* name; const char* output; unsigned long code; bool answered; } rows[] = {
        {"English reply", "Reply from 10.0.0.1: bytes=32 time<1ms TTL=64\r\n", 0, true},
        {"German reply", "Antwort von 10.0.0.1: Bytes=32 Zeit<1ms TTL=64\r\n", 0, true},
        {"no reply, code 1", "Request timed out.\r\n", 1, false},
        {"a reply but code 1", "Reply from 10.0.0.1: bytes=32 time<1ms TTL=64\r\n", 1, false},
        {"unreachable from a router, code 0", "Reply from 10.0.0.254: Destination host unreachable.\r\n", 0, false},
        {"German unreachable, code 0", "Antwort von 10.0.0.254: Zielhost nicht erreichbar.\r\n", 0, false},
        {"IPv6 reply has no TTL", "Reply from fe80::1: time<1ms\r\n", 0, true},
        {"a version number is no address", "Ping 1.2.3 reply time=1ms\r\n", 0, true},
        {"five parts still name an address", "from 1.2.3.4.5\r\n", 0, false},
    };
    for (const auto& row : rows) EXPECT_EQ(PingAnswered(row.output, row.code), row.answered) << row.name;
}

TEST(OutageLog, OneLineEachWayAndASummary) {
    OutageLog log(At(0));
    const std::vector<std::pair<bool, std::string>> runs = {
        {true, ""},
        {false, "Monday, December 07, 2026 at 14:00:10\r\nThe host stopped answering.\r\n"},
        {false, ""},
        {true, "Monday, December 07, 2026 at 15:02:15\r\nThe host answers again after 1 hour, 2 minutes and 5 seconds.\r\n"},
        {false, "Monday, December 07, 2026 at 15:02:20\r\nThe host stopped answering.\r\n"},
    };
    const int starts[] = {0, 10, 20, 3735, 3740};
    for (std::size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(log.RunEnded(At(starts[i]), runs[i].first), runs[i].second) << i;
    // The outage still going on counts until the end.
    EXPECT_EQ(log.Summary(At(3741)),
              "Monday, December 07, 2026 at 15:02:21\r\nSession from Monday, December 07, 2026 at 14:00:00 to "
              "Monday, December 07, 2026 at 15:02:21: 5 runs, 2 answered, 2 outages lasting 1 hour, 2 minutes and "
              "6 seconds (not answering at the end).\r\n");
    EXPECT_EQ(OutageLog(At(0)).Summary(At(1)).substr(39),
              "Session from Monday, December 07, 2026 at 14:00:00 to Monday, December 07, 2026 at 14:00:01: 0 runs, "
              "0 answered, 0 outages lasting 0 hours, 0 minutes and 0 seconds.\r\n");
}

TEST(ReportOutcome, TheFirstPageThatFailedCounts) {
    ReportOutcome outcome;
    EXPECT_EQ(outcome.FinalLine(), "==== Every page ended with code 0. ====\r\n");
    for (const auto& [page, code] : std::vector<std::pair<int, unsigned long>>{{0, 0}, {1, 2}, {2, 0}, {3, 1}}) {
        outcome.PageEnded(page, code);
    }
    EXPECT_EQ(outcome.ExitCode(), 2u);
    EXPECT_EQ(outcome.FinalLine(), "==== Trace Route was the first page that did not end with code 0: it ended with 2. ====\r\n");
    EXPECT_EQ(ReportSectionLine(7), "==== Statistics ====\r\n");
}

}  // namespace tracewick
