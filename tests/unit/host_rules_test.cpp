#include "core/host_rules.h"

#include <gtest/gtest.h>

namespace tracewick {

TEST(HostRules, DuplicateTestIgnoresCaseOnly) {
    const std::vector<std::string> list = {"localhost", "server1", "Server10 "};
    EXPECT_TRUE(ListHoldsHost(list, "SERVER1"));
    EXPECT_TRUE(ListHoldsHost(list, "LocalHost"));
    EXPECT_FALSE(ListHoldsHost(list, "server"));
    EXPECT_FALSE(ListHoldsHost(list, "server10"));   // the trailing blank counts
    EXPECT_TRUE(ListHoldsHost(list, "server10 "));
    EXPECT_FALSE(ListHoldsHost({}, "a"));
}

TEST(HostRules, PushSelectsFirstEntryBeginningWithTheText) {
    const std::vector<std::string> list = {"alpha", "Beta", "beta2", "gamma"};
    EXPECT_EQ(PushedEntry(list, "BET"), 1);
    EXPECT_EQ(PushedEntry(list, "beta2"), 2);
    EXPECT_EQ(PushedEntry(list, "delta"), -1);
    EXPECT_EQ(PushedEntry(list, "alphabet"), -1);
    EXPECT_EQ(PushedEntry(list, ""), -1);  // an empty host shows an empty field
    EXPECT_EQ(PushedEntry({}, ""), -1);
}

}  // namespace tracewick
