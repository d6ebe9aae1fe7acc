#include "core/dialog_values.h"

#include <gtest/gtest.h>

#include <climits>

namespace tracewick {

TEST(DialogInteger, SignedDigitsWithBlanksAroundAndNothingElse) {
    const std::pair<const char*, std::optional<int>> rows[] = {
        {"0", 0},      {"25", 25},    {" 7 ", 7},    {"\t-3", -3},  {"+12", 12},   {"007", 7},
        {"2147483647", INT_MAX},      {"-2147483648", INT_MIN},
        {"", {}},      {" ", {}},     {"-", {}},     {"+", {}},     {"--1", {}},   {"12a", {}},
        {"a12", {}},   {"1 2", {}},   {"1.5", {}},   {"0x10", {}},
        {"2147483648", {}},           {"-2147483649", {}},          {"99999999999999999999", {}},
    };
    for (const auto& [text, value] : rows) EXPECT_EQ(ParseDialogInteger(text), value) << text;
}

}  // namespace tracewick
