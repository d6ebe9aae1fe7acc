#include "core/host_rules.h"

#include <gtest/gtest.h>

namespace tracewick {

TEST(HostRules, DuplicateTestIgnoresCaseOnly) {
    const std::vector<std::string> list = {"localhost", "server1", "Server10 "};
    for (const char* host : {"SERVER1", "LocalHost", "server10 "}) EXPECT_TRUE(ListHoldsHost(list, host)) << host;
    // A trailing blank counts.
    for (const char* host : {"server", "server10"}) EXPECT_FALSE(ListHoldsHost(list, host)) << host;
    EXPECT_FALSE(ListHoldsHost({}, "a"));
}

TEST(HostRules, PushSelectsFirstEntryBeginningWithTheText) {
    const std::vector<std::string> list = {"alpha", "Beta", "beta2", "gamma"};
    // An empty host shows an empty field.
    const std::pair<const char*, int> rows[] = {{"BET", 1}, {"beta2", 2}, {"delta", -1}, {"alphabet", -1}, {"", -1}};
    for (const auto& [text, entry] : rows) EXPECT_EQ(PushedEntry(list, text), entry) << text;
    EXPECT_EQ(PushedEntry({}, ""), -1);
}

}  // namespace tracewick
