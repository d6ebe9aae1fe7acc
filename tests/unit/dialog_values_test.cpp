#include "core/dialog_values.h"

#include <gtest/gtest.h>

#include <climits>

namespace tracewick {
namespace {

TEST(DialogInteger, AcceptsSignedDigitsWithBlanksAround) {
    const std::pair<const char*, int> rows[] = {
        {"0", 0}, {"25", 25}, {" 7 ", 7}, {"\t-3", -3}, {"+12", 12},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"007", 7},
    };
    for (const auto& [text, value] : rows) {
        SCOPED_TRACE(text);
        const std::optional<int> parsed = ParseDialogInteger(text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(*parsed, value);
    }
}

TEST(DialogInteger, RefusesAnythingElse) {
    for (const char* text : {"", " ", "-", "+", "12a", "a12", "1 2", "1.5", "0x10", "2147483648",
                             "-2147483649", "99999999999999999999", "--1"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseDialogInteger(text).has_value());
    }
}

TEST(DialogValues, RefusalTexts) {
    EXPECT_EQ(kEnterIntegerText, "Please enter an integer.");
    EXPECT_EQ(IntegerRangeRefusal(1, 25), "Please enter an integer between 1 and 25.");
    EXPECT_EQ(IntegerRangeRefusal(-5, 0), "Please enter an integer between -5 and 0.");
}

}  // namespace
}  // namespace tracewick
