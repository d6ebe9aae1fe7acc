#include "core/autorun.h"

#include <gtest/gtest.h>

#include "core/pages.h"

namespace tracewick {
namespace {

TEST(AutoRunLetter, FirstArgumentThatIsNotASwitchCounts) {
    struct Row {
        std::vector<std::string> args;
        char letter;
    };
    const Row rows[] = {
        {{}, ' '},
        {{"ping"}, 'p'},
        {{"P"}, 'P'},
        {{"x"}, 'x'},
        {{"t", "p"}, 't'},            // only the first counts
        {{"/x"}, ' '},                // a lone switch is ignored
        {{"-p"}, ' '},
        {{"-p", "/q", "Lookup"}, 'L'},  // switches before it are skipped
        {{"", "t"}, ' '},             // an empty first argument gives a blank
        {{"7"}, '7'},
        {{"-"}, ' '},
        {{"/"}, ' '},
    };
    for (const Row& row : rows) {
        std::string trace;
        for (const auto& arg : row.args) trace += "[" + arg + "]";
        SCOPED_TRACE(trace);
        EXPECT_EQ(AutoRunLetterFromArgs(row.args), row.letter);
    }
}

TEST(AutoRunLetter, SelectsPagesInEitherCase) {
    const std::pair<char, int> rows[] = {
        {'P', kPingPage},        {'T', kTracertPage},  {'L', kLookupPage},
        {'R', kRoutesPage},      {'A', kArpPage},      {'N', kNetbiosPage},
        {'C', kConnectionsPage}, {'S', kStatisticsPage},
    };
    for (const auto& [letter, page] : rows) {
        SCOPED_TRACE(letter);
        EXPECT_EQ(PageIndexForLetter(letter), page);
        EXPECT_EQ(PageIndexForLetter(static_cast<char>(letter - 'A' + 'a')), page);
    }
}

TEST(AutoRunLetter, OtherCharactersSelectNothing) {
    for (int c = 0; c < 256; ++c) {
        const char letter = static_cast<char>(c);
        if (std::string("PTLRANCSptlrancs").find(letter) != std::string::npos) continue;
        SCOPED_TRACE(c);
        EXPECT_EQ(PageIndexForLetter(letter), -1);
    }
}

TEST(PageCreationOrder, CreatesEveryDiagnosticPageOnceAndTracertBeforeLookup) {
    std::vector<int> seen(kPageCount, 0);
    int tracert_at = -1;
    int lookup_at = -1;
    for (int i = 0; i < static_cast<int>(kPageCreationOrder.size()); ++i) {
        const int page = kPageCreationOrder[static_cast<std::size_t>(i)];
        ++seen[static_cast<std::size_t>(page)];
        if (page == kTracertPage) tracert_at = i;
        if (page == kLookupPage) lookup_at = i;
    }
    for (int page = kPingPage; page < kAboutPage; ++page) EXPECT_EQ(seen[static_cast<std::size_t>(page)], 1) << page;
    EXPECT_EQ(seen[kAboutPage], 0);
    EXPECT_LT(tracert_at, lookup_at);
    EXPECT_EQ(kPageCreationOrder.back(), kPingPage);  // the start page ends up active
}

}  // namespace
}  // namespace tracewick
