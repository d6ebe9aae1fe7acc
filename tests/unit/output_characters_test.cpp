#include "core/output_characters.h"

#include <gtest/gtest.h>

#include <random>

namespace tracewick {
namespace {

// Code page 932's lead bytes; 0xC4 is a half-width katakana there, no lead.
const CharacterForm kShiftJis = CharacterForm::DoubleByte({{0x81, 0x9F}, {0xE0, 0xFC}});
const CharacterForm kUtf8{CharacterForm::Kind::kUtf8};
using Pieces = std::vector<std::string>;

// What each chunk lets through, then what the end flushes.
Pieces Passed(const CharacterForm& form, const Pieces& chunks) {
    WholeCharacters cut(form);
    Pieces pieces;
    for (const std::string& chunk : chunks) pieces.push_back(cut.Feed(chunk));
    pieces.push_back(cut.Flush());
    return pieces;
}

TEST(WholeCharacters, HoldsAnUnfinishedCharacterForTheNextChunk) {
    const struct { const char* name; const CharacterForm& form; Pieces chunks, pieces; } rows[] = {
        {"932: split after its lead byte", kShiftJis, {"ab\x93", "\xFA\x96\x7B\r\n"}, {"ab", "\x93\xFA\x96\x7B\r\n", ""}},
        {"932: a second byte in the lead range", kShiftJis, {"\x81\x81", "A"}, {"\x81\x81", "A", ""}},
        {"932: 0xC4 stands alone", kShiftJis, {"\xC4\xB1", "\xC4"}, {"\xC4\xB1", "\xC4", ""}},
        {"932: a lead byte before a line end", kShiftJis, {"x\x93\r\n", "\x93", "\n"}, {"x?\r\n", "", "?\n", ""}},
        {"932: the output ends inside one", kShiftJis, {"end\x93"}, {"end", "?"}},
        {"UTF-8: split twice", kUtf8, {"a\xE2", "\x94", "\x80\xC3", "\xBC"}, {"a", "", "\xE2\x94\x80", "\xC3\xBC", ""}},
        {"UTF-8: the output ends inside one", kUtf8, {"z\xF0\x9F\x98"}, {"z", "\xF0\x9F\x98"}},
    };
    for (const auto& row : rows) EXPECT_EQ(Passed(row.form, row.chunks), row.pieces) << row.name;
}

// Output cut at random places passes as it does whole, each piece ending
// on a whole character.
TEST(WholeCharacters, ChunksCutAnywhereGiveTheWholeOutput) {
    const std::pair<const CharacterForm*, std::string> outputs[] = {
        {&kShiftJis, "\x93\xFA\x96\x7B\x8C\xEA\r\n\xC4\xC4 ping \x82\xA0\x82\xA2\r\n\x81\x40"},
        {&kUtf8, "\xD0\x9F\xD1\x80 \xE2\x94\x80\xE2\x94\x80 \xF0\x9F\x98\x80 \xC3\xBC\r\n"},
    };
    std::mt19937 random(19);
    for (const auto& [form, output] : outputs) {
        for (int round = 0; round < 200; ++round) {
            Pieces chunks;
            for (std::size_t at = 0; at < output.size(); at += chunks.back().size()) chunks.push_back(output.substr(at, 1 + random() % 4));
            std::string so_far;
            for (const std::string& piece : Passed(*form, chunks)) {
                so_far += piece;
                ASSERT_EQ(Passed(*form, {so_far}).back(), "") << "a piece ends inside a character, round " << round;
            }
            ASSERT_EQ(so_far, output) << "round " << round;
        }
    }
}

}  // namespace
}  // namespace tracewick
