#include "core/autorun.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/pages.h"

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

TEST(AutoRunLetter, SelectsPagesInEitherCase) {
    const std::pair<char, int> rows[] = {
        {'P', kPingPage},        {'T', kTracertPage},     {'L', kLookupPage}, {'R', kRoutesPage},
        {'A', kArpPage},         {'N', kNetbiosPage},     {'C', kConnectionsPage},
        {'S', kStatisticsPage},  {'B', -1},               {'Z', -1},  // About has no letter
    };
    for (const auto& [letter, page] : rows) {
        EXPECT_EQ(PageIndexForLetter(letter), page) << letter;
        EXPECT_EQ(PageIndexForLetter(static_cast<char>(letter - 'A' + 'a')), page) << letter;
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
