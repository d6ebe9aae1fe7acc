#include "core/pane_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tracewick {
namespace {

std::tm Time(int year, int month, int day, int wday, int h, int m, int s) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_wday = wday;
    t.tm_hour = h;
    t.tm_min = m;
    t.tm_sec = s;
    return t;
}

// The text a fresh repair gives for output arriving in these chunks.
std::string Repaired(const std::vector<std::string>& chunks) {
    LineEndRepair repair;
    std::string text;
    for (const std::string& chunk : chunks) text += repair.Feed(chunk);
    return text + repair.Flush();
}

TEST(RunHeader, EnglishStampWithTwoDigitDay) {
    const std::tm t = Time(1998, 2, 2, 1, 14, 5, 9);
    EXPECT_EQ(RunHeader(t, false), "Monday, February 02, 1998 at 14:05:09\r\n");
    EXPECT_EQ(RunHeader(t, true), "\r\n\r\nMonday, February 02, 1998 at 14:05:09\r\n");
    EXPECT_EQ(RunHeader(Time(2027, 1, 3, 0, 23, 59, 59), false), "Sunday, January 03, 2027 at 23:59:59\r\n");
    EXPECT_EQ(SavedOutputName("Trace Route", t), "Tracewick Trace Route 1998-02-02 14-05-09.txt");
    EXPECT_EQ(SavedOutputName("a/b:c", t), "Tracewick a-b-c 1998-02-02 14-05-09.txt");  // no folder, no stream
}

TEST(TailScroll, KeepsTheLastLineWithinTheMargin) {
    const int rows[][4] = {  // lines, first visible, margin, lines scrolled
        {14, 0, 14, 0}, {15, 0, 14, 1}, {40, 0, 14, 26}, {40, 20, 13, 7},
        {40, 30, 14, 0},  // never scrolls up
        {0, 0, 14, 0},
    };
    for (const auto [lines, first, margin, scroll] : rows)
        EXPECT_EQ(TailScrollLines(lines, first, margin), scroll) << lines << "/" << first << "/" << margin;
}

TEST(LineEndRepair, CrCrLfBecomesOneLineEnd) {
    const std::pair<const char*, const char*> rows[] = {
        {"a\r\r\nb", "a\r\nb"},
        {"a\r\nb", "a\r\nb"},
        {"a\rb", "a\rb"},            // a lone CR is left as it is
        {"a\r\r\r\nb", "a\r\nb"},
        {"a\r\rb", "a\r\rb"},
        {"\r\r\n\r\r\n", "\r\n\r\n"},
        {"a\r\r", "a\r\r"},          // CRs held at the end come out as they came
    };
    for (const auto& [in, out] : rows) EXPECT_EQ(Repaired({in}), out) << in;
}

TEST(LineEndRepair, SameTextWhereverTheChunksSplit) {
    std::mt19937 random(4242);
    const char alphabet[] = {'a', 'b', ' ', '\r', '\n', '\r', 'x'};
    for (int round = 0; round < 200; ++round) {
        std::string output(static_cast<std::size_t>(random() % 200), 'a');
        for (char& c : output) c = alphabet[random() % sizeof alphabet];
        const std::string expected = Repaired({output});
        // Every single split point, then one byte at a time.
        for (std::size_t cut = 0; cut <= output.size(); ++cut)
            ASSERT_EQ(Repaired({output.substr(0, cut), output.substr(cut)}), expected) << "cut at " << cut;
        std::vector<std::string> bytes;
        for (char c : output) bytes.emplace_back(1, c);
        ASSERT_EQ(Repaired(bytes), expected);
    }
}

}  // namespace
}  // namespace tracewick
