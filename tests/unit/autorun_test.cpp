#include "core/autorun.h"

#include <gtest/gtest.h>

namespace tracewick {

TEST(AutoRunLetter, FirstArgumentThatIsNotASwitchCounts) {
    const std::pair<std::vector<std::string>, char> rows[] = {
        {{}, ' '},
        {{"ping"}, 'p'},
        {{"P"}, 'P'},
        {{"7"}, '7'},                   // any letter: the page table decides
        {{"t", "p"}, 't'},              // only the first counts
        {{"/x"}, ' '},                  // a lone switch is ignored
        {{"-p", "/q", "Lookup"}, 'L'},  // switches before it are skipped
        {{"", "t"}, ' '},               // an empty first argument gives a blank
        {{"-"}, ' '}, {{"/"}, ' '},
    };
    for (const auto& [args, letter] : rows) EXPECT_EQ(AutoRunLetterFromArgs(args), letter) << ::testing::PrintToString(args);
}

// The switches of a run nobody watches count anywhere beside a letter that runs a page, and nowhere else.
TEST(AutoRunRequest, LogAndExitSwitches) {
    struct Row { std::vector<std::string> args; char letter; const char* log; bool exit; };
    const Row rows[] = {
        {{"p", "/log:ping.log", "/exit"}, 'p', "ping.log", true},
        {{"-EXIT", "/LOG:C:\\Logs\\Ping.TXT", "Trace"}, 'T', "C:\\Logs\\Ping.TXT", true},  // before it, any case
        {{"p", "-log:a b", "/Exit", "/log:c"}, 'p', "c", true},                                   // the last log counts
        {{"p", "/log:"}, 'p', "", false},                                                       // an empty file
        {{"p", "/exits", "/exit:1", "/log", "-logs:x", "//exit", "/e", "exit"}, 'p', "", false},  // unknown: ignored
        {{"/log:ping.log", "/exit"}, ' ', "", false},                                           // no letter
        {{"x", "/log:ping.log", "/exit"}, 'x', "", false},                                      // a letter of no page
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        const AutoRunRequest request = AutoRunRequestFromArgs(row.args);
        EXPECT_EQ(request.letter, row.letter);
        EXPECT_EQ(request.log_file, row.log);
        EXPECT_EQ(request.exit, row.exit);
    }
}

// A report needs no letter, and where one is given the report takes its place.
TEST(AutoRunRequest, ReportSwitch) {
    const std::pair<std::vector<std::string>, const char*> rows[] = {
        {{"/report:report.txt"}, "report.txt"},
        {{"p", "-REPORT:C:\\r.txt", "/exit", "/log:x"}, "C:\\r.txt"},
        {{"/report:"}, ""},
        {{"/reports:x"}, ""},
    };
    for (const auto& [args, file] : rows) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const AutoRunRequest request = AutoRunRequestFromArgs(args);
        EXPECT_EQ(request.report_file, file);
        if (*file) {
            EXPECT_TRUE(request.Unattended());
            EXPECT_EQ(request.letter, kNoAutoRunLetter);
            EXPECT_TRUE(request.log_file.empty() && !request.exit);
        }
    }
}

}  // namespace tracewick
