#include "core/settings_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace tracewick {

TEST(SettingsWriter, WritesEveryLineWithCrCrLf) {
    SettingsWriter writer;
    writer.Number(INT_MIN);
    writer.Number(INT_MAX);
    writer.Flag(true);
    writer.Flag(false);
    writer.Text("host name ");
    writer.Text("");
    EXPECT_EQ(writer.Bytes(), "-2147483648\r\r\n2147483647\r\r\nTRUE\r\r\nFALSE\r\r\nhost name \r\r\n\r\r\n");
    EXPECT_FALSE(writer.Refused());
    // A value with a line break would read back as two: the file is refused.
    for (const char* value : {"gw\r\nother", "a\nb", "a\r"}) {
        SettingsWriter broken;
        broken.Text(value);
        EXPECT_TRUE(broken.Refused()) << value;
    }
}

TEST(SettingsReader, NumberLines) {
    const std::tuple<const char*, bool, int> rows[] = {  // bytes, a line read, the value
        {"8\r\r\n", true, 8},
        {"8\r\n", true, 8},  // edited by hand: the whole value still reads
        {"8", true, 8},      // no line end at all
        {"", false, 0},      // empty file: the caller's default stands
        {"text\r\r\n", true, 0},
        {"  +5x\r\r\n", true, 5},  // as atoi reads it
        {"-2147483648\r\r\n", true, INT_MIN},
        {"2147483647\r\r\n", true, INT_MAX},
        {"99999999999999\r\r\n", true, INT_MAX},
        {"-99999999999999\r\r\n", true, INT_MIN},
    };
    for (const auto& [bytes, has_line, expected] : rows) {
        SettingsReader reader(bytes);
        int value = 0;
        EXPECT_EQ(reader.Number(value), has_line) << bytes;
        EXPECT_EQ(value, expected) << bytes;
    }
}

TEST(SettingsReader, FlagsAreExactlyTrue) {
    const std::pair<const char*, bool> rows[] = {
        {"TRUE\r\r\n", true},   {"TRUE\r\n", true},     {"FALSE\r\r\n", false},
        {"true\r\r\n", false},  {"TRUEX\r\r\n", false}, {" TRUE\r\r\n", false},
    };
    for (const auto& [bytes, expected] : rows) {
        SettingsReader reader(bytes);
        bool value = !expected;
        ASSERT_TRUE(reader.Flag(value)) << bytes;
        EXPECT_EQ(value, expected) << bytes;
    }
}

}  // namespace tracewick
