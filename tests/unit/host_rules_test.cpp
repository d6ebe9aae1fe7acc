#include "core/host_rules.h"

#include <gtest/gtest.h>

namespace tracewick {

TEST(HostRules, PushSelectsFirstEntryBeginningWithTheText) {
    const std::vector<std::string> list = {"alpha", "Beta", "beta2", "gamma"};
    // An empty host shows an empty field.
    const std::pair<const char*, int> rows[] = {{"BET", 1}, {"beta2", 2}, {"delta", -1}, {"alphabet", -1}, {"", -1}};
    for (const auto& [text, entry] : rows) EXPECT_EQ(PushedEntry(list, text), entry) << text;
}

// The combo box halves the list and stops at the first equal entry it meets.
TEST(HostRules, SortedPlaceIsWhereTheComboPutsAHost) {
    const std::vector<std::string> list = {"alpha", "beta", "Beta", "BETA", "delta"};
    const std::pair<const char*, std::size_t> rows[] = {
        {"", 0}, {"Alpha", 0}, {"alphabet", 1}, {"beTa", 2}, {"charlie", 4}, {"delta", 4}, {"zulu", 5}};
    for (const auto& [host, place] : rows) EXPECT_EQ(SortedPlace(list, host), place) << host;
    // Bytes above 127 order after ASCII letters, not before them.
    EXPECT_EQ(SortedPlace({"a", "z"}, "\xE4"), 2u);
}

TEST(HostEntries, CommitAddsOnlyNewHostsInTheirPlace) {
    HostEntries entries;
    EXPECT_EQ(entries.Items(), std::vector<std::string>{"localhost"});
    struct Row { const char* host; std::optional<std::size_t> place; };
    // Held ignoring case, or empty: nothing is added; a trailing blank makes
    // another host.
    for (const Row& row : {Row{"zulu", 1}, Row{"Alpha", 0}, Row{"LOCALHOST", std::nullopt}, Row{"ALPHA", std::nullopt},
                           Row{"", std::nullopt}, Row{"mike ", 2}, Row{"mike", 2}}) {
        EXPECT_EQ(entries.Commit(row.host), row.place) << row.host;
    }
    EXPECT_EQ(entries.Items(), (std::vector<std::string>{"Alpha", "localhost", "mike", "mike ", "zulu"}));
    EXPECT_EQ(entries.PushedEntry("MI"), 2);
}

// As adding the file's lines one by one to an emptied sorted combo: case
// twins end up in the combo's order, exact duplicates stay, none is added.
TEST(HostEntries, ReplaceSortsLikeTheCombo) {
    HostEntries entries;
    entries.Replace({"zeta", "Coop", "coop", "COOP", "beta", "Beta", "beta", "alpha"});
    EXPECT_EQ(entries.Items(), (std::vector<std::string>{"alpha", "Beta", "beta", "beta", "coop", "COOP", "Coop", "zeta"}));
    entries.Replace({});
    EXPECT_TRUE(entries.Items().empty());
    EXPECT_EQ(entries.Commit("x"), 0u);
}

}  // namespace tracewick
