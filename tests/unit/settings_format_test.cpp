#include "core/settings_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace tracewick {
namespace {

TEST(SettingsWriter, WritesEveryLineWithCrCrLf) {
    SettingsWriter writer;
    writer.Number(8);
    EXPECT_EQ(writer.Bytes(), std::string("8\r\r\n"));

    SettingsWriter all;
    all.Number(-12);
    all.Number(0);
    all.Flag(true);
    all.Flag(false);
    all.Text("host name ");
    all.Text("");
    EXPECT_EQ(all.Bytes(), std::string("-12\r\r\n0\r\r\nTRUE\r\r\nFALSE\r\r\nhost name \r\r\n\r\r\n"));
}

TEST(SettingsWriter, ExtremeNumbersRoundTrip) {
    for (int value : {INT_MIN, -1, 0, 1, INT_MAX}) {
        SCOPED_TRACE(value);
        SettingsWriter writer;
        writer.Number(value);
        SettingsReader reader(writer.Bytes());
        int read = 12345;
        ASSERT_TRUE(reader.Number(read));
        EXPECT_EQ(read, value);
        EXPECT_TRUE(reader.AtEnd());
    }
}

TEST(SettingsReader, ActivePageFileForms) {
    struct Row {
        const char* bytes;
        bool has_line;
        int value;
    };
    const Row rows[] = {
        {"8\r\r\n", true, 8},
        {"8\r\n", true, 8},     // edited by hand: the whole value still reads
        {"8", true, 8},         // no line end at all
        {"3\n", true, 3},
        {"", false, 0},         // empty file: the caller's default stands
        {"text\r\r\n", true, 0},
        {"  +5x\r\r\n", true, 5},  // as atoi reads it
        {"-2\r\r\n", true, -2},
        {"\r\r\n", true, 0},
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
        {"TRUE\r\r\n", true}, {"TRUE\r\n", true},   {"FALSE\r\r\n", false},
        {"true\r\r\n", false}, {"True\r\r\n", false}, {"TRUEX\r\r\n", false},
        {" TRUE\r\r\n", false}, {"\r\r\n", false},
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
    std::string text = "before";
    ASSERT_TRUE(reader.Text(text));
    EXPECT_EQ(text, "before");
    ASSERT_TRUE(reader.Text(text));
    EXPECT_EQ(text, "abc");
    // An over-long line is one value: it never shifts the lines after it.
    ASSERT_TRUE(reader.Text(text));
    EXPECT_EQ(text, std::string(300, 'x'));
    int number = 0;
    ASSERT_TRUE(reader.Number(number));
    EXPECT_EQ(number, 7);
    EXPECT_FALSE(reader.Text(text));
    EXPECT_EQ(text, std::string(300, 'x'));
}

TEST(SettingsReader, RandomBytesNeverEscapeTheInput) {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 400);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(static_cast<std::size_t>(length(random)), '\0');
        for (char& c : bytes) {
            const int b = byte(random);
            c = static_cast<char>(b < 40 ? "\r\n"[b % 2] : b);
        }
        SettingsReader reader(bytes);
        std::size_t total = 0;
        std::string line;
        while (reader.Line(line)) {
            total += line.size();
            ASSERT_LE(total, bytes.size());
        }
        EXPECT_TRUE(reader.AtEnd());
    }
}

}  // namespace
}  // namespace tracewick
