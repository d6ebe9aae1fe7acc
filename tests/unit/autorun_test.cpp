#include "core/autorun.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/pages.h"

namespace tracewick {

TEST(AutoRunLetter, FirstArgumentThatIsNotASwitchCounts) {
    struct Row {
        std::vector<std::string> args;
        char letter;
    };
    const Row rows[] = {
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
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        EXPECT_EQ(AutoRunLetterFromArgs(row.args), row.letter);
    }
}

TEST(AutoRunLetter, SelectsPagesInEitherCase) {
    const std::pair<char, int> rows[] = {
        {'P', kPingPage},        {'T', kTracertPage},     {'L', kLookupPage}, {'R', kRoutesPage},
        {'A', kArpPage},         {'N', kNetbiosPage},     {'C', kConnectionsPage},
        {'S', kStatisticsPage},  {'B', -1},               {'Z', -1},  // About has no letter
    };
    for (const auto& [letter, page] : rows) {
        SCOPED_TRACE(letter);
        EXPECT_EQ(PageIndexForLetter(letter), page);
        EXPECT_EQ(PageIndexForLetter(static_cast<char>(letter - 'A' + 'a')), page);
    }
    for (const char other : {' ', '\0', '7', '\xe9'}) EXPECT_EQ(PageIndexForLetter(other), -1) << int{other};
}

TEST(PageCreationOrder, CreatesEveryDiagnosticPageOnceAndTracertBeforeLookup) {
    auto sorted = kPageCreationOrder;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (decltype(sorted){kPingPage, kTracertPage, kLookupPage, kRoutesPage, kArpPage, kNetbiosPage,
                                        kConnectionsPage, kStatisticsPage}));  // never About
    const auto at = [](int page) { return std::find(kPageCreationOrder.begin(), kPageCreationOrder.end(), page); };
    EXPECT_LT(at(kTracertPage), at(kLookupPage));
    EXPECT_EQ(kPageCreationOrder.back(), kPingPage);  // the start page ends up active
}

}  // namespace tracewick
