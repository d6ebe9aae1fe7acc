#include "core/settings_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace tracewick {

// Flags and texts as written are checked by each page's fields both ways.
TEST(SettingsWriter, NumbersWholeAndLineBreaksRefused) {
    SettingsWriter writer;
    writer.Number(INT_MIN);
    writer.Number(INT_MAX);
    EXPECT_EQ(writer.Bytes(), "-2147483648\r\r\n2147483647\r\r\n");
    // A value with a line break would read back as two: the file is refused.
    for (const char* value : {"gw\r\nother", "a\nb", "a\r"}) {
        SettingsWriter broken;
        broken.Text(value);
        EXPECT_TRUE(broken.Refused()) << value;
    }
}

TEST(SettingsReader, NumberLines) {
    const std::tuple<const char*, bool, int> rows[] = {  // bytes, a line read, the value
        {"", false, 8},  // empty file: the caller's default stands
        {"text\r\r\n", true, 0},
        {"  +5x\r\r\n", true, 5},  // as atoi reads it
        {"-2147483648\r\r\n", true, INT_MIN},
        {"2147483647\r\r\n", true, INT_MAX},
        {"99999999999999\r\r\n", true, INT_MAX},
        {"-99999999999999\r\r\n", true, INT_MIN},
    };
    for (const auto& [bytes, has_line, expected] : rows) {
        SettingsReader reader(bytes);
        int value = 8;
        EXPECT_EQ(reader.Number(value), has_line) << bytes;
        EXPECT_EQ(value, expected) << bytes;
    }
}

// TRUE and FALSE as written and with hand-edited line ends read in each
// page's fields both ways and in the damaged files' rows.
TEST(SettingsReader, FlagsAreExactlyTrue) {
    for (const char* bytes : {"true\r\r\n", "TRUEX\r\r\n", " TRUE\r\r\n"}) {
        SettingsReader reader(bytes);
        bool value = true;
        ASSERT_TRUE(reader.Flag(value)) << bytes;
        EXPECT_FALSE(value) << bytes;
    }
}

}  // namespace tracewick
