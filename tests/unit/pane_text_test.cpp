#include "core/pane_text.h"

#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace tracewick {
namespace {

// The broken-down time `at` seconds after 1970 began, in UTC.
std::tm Utc(std::time_t at) { return *std::gmtime(&at); }

// The text a fresh repair gives for output arriving in these chunks.
std::string Repaired(const std::vector<std::string>& chunks) {
    LineEndRepair repair;
    std::string text;
    for (const std::string& chunk : chunks) text += repair.Feed(chunk);
    return text + repair.Flush();
}

// The stamp without blank lines is checked by the watched host's log.
TEST(RunHeader, EnglishStampWithTwoDigitDay) {
    const std::tm t = Utc(886428309);
    EXPECT_EQ(RunHeader(t, true), "\r\n\r\nMonday, February 02, 1998 at 14:05:09\r\n");
    EXPECT_EQ(RunHeader(Utc(1799020799), false), "Sunday, January 03, 2027 at 23:59:59\r\n");
    EXPECT_EQ(SavedOutputName("Trace Route", t), "Tracewick Trace Route 1998-02-02 14-05-09.txt");
    EXPECT_EQ(SavedOutputName("a/b:c", t), "Tracewick a-b-c 1998-02-02 14-05-09.txt");  // no folder, no stream
}

TEST(TailScroll, KeepsTheLastLineWithinTheMargin) {
    const int rows[][4] = {  // lines, first visible, margin, lines scrolled
        {14, 0, 14, 0}, {15, 0, 14, 1}, {40, 0, 14, 26}, {40, 20, 13, 7},
        {40, 30, 14, 0},  // never scrolls up
    };
    for (const auto [lines, first, margin, scroll] : rows)
        EXPECT_EQ(TailScrollLines(lines, first, margin), scroll) << lines << "/" << first << "/" << margin;
}

TEST(PaneRoom, TakesOutputWhileCapacityAndMemoryLast) {
    constexpr std::uint64_t kGB = 1ull << 30, kMB = 1ull << 20;
    const std::uint64_t cap32 = PaneRoom::CapacityFor(4), cap64 = PaneRoom::CapacityFor(8);
    EXPECT_LT(cap32 * PaneRoom::kBytesPerCharacter + PaneRoom::kReserve, 2 * kGB);  // fits a 32-bit program
    struct Row {
        std::uint64_t capacity, free_address, free_memory, length, adding;
        bool takes;
    } rows[] = {
        {cap32, 2 * kGB, 8 * kGB, cap32 - 10, 10, true},     // up to the capacity exactly
        {cap32, 2 * kGB, 8 * kGB, cap32 - 10, 11, false},
        {cap32, 2 * kGB, 8 * kGB, cap32 + 1, 0, false},      // past it already (cumulative runs)
        {cap64, 2 * kGB, 8 * kGB, 50 * kMB, 65536, true},
        {cap64, 100 * kGB, 1 * kGB, 0, 8 * kMB, false},      // the system's memory runs short first
        {cap64, 260 * kMB, 100 * kGB, 0, 65536, false},      // so does the address space
        {cap64, 260 * kMB, 100 * kGB, 0, 100, true},
        {cap64, ~0ull, ~0ull, 0, ~0ull, false},              // no overflow in the sum
    };
    for (const Row& row : rows) {
        const PaneRoom room{row.capacity, row.free_address, row.free_memory};
        EXPECT_EQ(room.Takes(row.length, row.adding), row.takes) << row.length << "+" << row.adding;
    }
}

TEST(LineEndRepair, CrCrLfBecomesOneLineEnd) {
    const std::pair<const char*, const char*> rows[] = {
        {"a\r\r\nb", "a\r\nb"},
        {"a\r\nb", "a\r\nb"},
        {"a\r\r\r\nb", "a\r\nb"},
        {"a\r\rb", "a\r\rb"},          // CRs before no LF are left as they are
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
