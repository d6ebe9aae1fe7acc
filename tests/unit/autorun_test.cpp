#include "core/autorun.h"

#include <gtest/gtest.h>

namespace tracewick {

// The letter is the first character of the first argument that is not a
// switch. The switches of a run nobody watches count anywhere beside a letter
// that runs a page, and nowhere else. A report needs no letter, and where one
// is given the report takes its place.
TEST(AutoRunRequest, LetterAndSwitches) {
    struct Row { std::vector<std::string> args; char letter; const char* log; bool exit; const char* report; };
    const Row rows[] = {
        {{}, ' ', "", false, ""},
        {{"ping"}, 'p', "", false, ""},
        {{"P"}, 'P', "", false, ""},
        {{"7"}, '7', "", false, ""},  // any letter: the page table decides
        {{"t", "p"}, 't', "", false, ""},  // only the first counts
        {{"/x"}, ' ', "", false, ""},  // a lone switch is ignored
        {{"", "t"}, ' ', "", false, ""},  // an empty first argument gives a blank
        {{"-"}, ' ', "", false, ""}, {{"/"}, ' ', "", false, ""},
        {{"p", "/log:ping.log", "/exit"}, 'p', "ping.log", true, ""},
        {{"-EXIT", "/LOG:C:\\Logs\\Ping.TXT", "Trace"}, 'T', "C:\\Logs\\Ping.TXT", true, ""},  // before it, any case
        {{"p", "-log:a b", "/Exit", "/log:c"}, 'p', "c", true, ""},  // the last log counts
        {{"p", "/log:"}, 'p', "", false, ""},  // an empty file
        {{"p", "/exits", "/exit:1", "/log", "-logs:x", "//exit", "/e", "exit"}, 'p', "", false, ""},  // unknown: ignored
        {{"/log:ping.log", "/exit"}, ' ', "", false, ""},  // no letter
        {{"x", "/log:ping.log", "/exit"}, 'x', "", false, ""},  // a letter of no page
        {{"/report:report.txt"}, ' ', "", false, "report.txt"},
        {{"p", "-REPORT:C:\\r.txt", "/exit", "/log:x"}, ' ', "", false, "C:\\r.txt"},
        {{"/report:"}, ' ', "", false, ""},
        {{"/reports:x"}, ' ', "", false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        const AutoRunRequest request = AutoRunRequestFromArgs(row.args);
        EXPECT_EQ(request.letter, row.letter);
        EXPECT_EQ(request.log_file, row.log);
        EXPECT_EQ(request.exit, row.exit);
        EXPECT_EQ(request.report_file, row.report);
        EXPECT_EQ(request.Unattended(), row.exit || *row.log || *row.report);  // no message box may wait
    }
}

}  // namespace tracewick
