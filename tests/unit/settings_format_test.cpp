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
    struct Row {
        const char* bytes;
        bool has_line;
        int value;
    };
    const Row rows[] = {
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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        SettingsReader reader(row.bytes);
        int value = 0;
        EXPECT_EQ(reader.Number(value), row.has_line);
        EXPECT_EQ(value, row.value);
    }
}

TEST(SettingsReader, FlagsAreExactlyTrue) {
    const std::pair<const char*, bool> rows[] = {
        {"TRUE\r\r\n", true},   {"TRUE\r\n", true},     {"FALSE\r\r\n", false},
        {"true\r\r\n", false},  {"TRUEX\r\r\n", false}, {" TRUE\r\r\n", false},
    };
    for (const auto& [bytes, expected] : rows) {
        SCOPED_TRACE(bytes);
        SettingsReader reader(bytes);
        bool value = !expected;
        ASSERT_TRUE(reader.Flag(value));
        EXPECT_EQ(value, expected);
    }
}

TEST(SettingsReader, EmptyTextKeepsThePreviousValueAndLinesStayInStep) {
    const std::string bytes = "\r\r\nabc\r\r\n" + std::string(300, 'x') + "\r\r\n7\r\r\n";
    SettingsReader reader(bytes);
    std::string first = "before", second, third;
    int fourth = 0;
    ASSERT_TRUE(reader.Text(first) && reader.Text(second) && reader.Text(third) && reader.Number(fourth));
    // An over-long line is one value: it never shifts the lines after it.
    EXPECT_EQ(std::tie(first, second, third, fourth), std::make_tuple("before", "abc", std::string(300, 'x'), 7));
    EXPECT_FALSE(reader.Text(third));  // past the end the value stays
    EXPECT_EQ(third, std::string(300, 'x'));
}

}  // namespace tracewick
