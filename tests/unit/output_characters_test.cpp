#include "core/output_characters.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tracewick {
namespace {

// Code page 932's lead bytes; 0xC4 is a half-width katakana there, no lead.
const CharacterForm kShiftJis = CharacterForm::DoubleByte({{0x81, 0x9F}, {0xE0, 0xFC}});
const CharacterForm kUtf8{CharacterForm::Kind::kUtf8};

std::string Passed(const CharacterForm& form, const std::vector<std::string>& chunks, std::vector<std::string>* pieces = nullptr) {
    WholeCharacters cut(form);
    std::string text;
    for (const std::string& chunk : chunks) {
        const std::string piece = cut.Feed(chunk);
        if (pieces) pieces->push_back(piece);
        text += piece;
    }
    return text + cut.Flush();
}

TEST(WholeCharacters, HoldsAnUnfinishedCharacterForTheNextChunk) {
    const struct {
        const char* name;
        const CharacterForm& form;
        std::vector<std::string> chunks, pieces;
        std::string flushed;
    } rows[] = {
        {"932: a character split after its lead byte", kShiftJis, {"ab\x93", "\xFA\x96\x7B\r\n"}, {"ab", "\x93\xFA\x96\x7B\r\n"}, ""},
        {"932: a second byte in the lead range", kShiftJis, {"\x81\x81", "A"}, {"\x81\x81", "A"}, ""},
        {"932: half-width katakana and 0xC4 stand alone", kShiftJis, {"\xC4\xB1", "\xC4"}, {"\xC4\xB1", "\xC4"}, ""},
        {"932: a lead byte before a line end is broken", kShiftJis, {"x\x93\r\n", "\x93", "\n"}, {"x?\r\n", "", "?\n"}, ""},
        {"932: the output ends inside a character", kShiftJis, {"end\x93"}, {"end"}, "?"},
        {"single byte: every byte as it comes", CharacterForm{}, {"\xC4\xC4\x81", "\x93"}, {"\xC4\xC4\x81", "\x93"}, ""},
        {"UTF-8: a two-byte character split", kUtf8, {"\xC3", "\xBC" "ber"}, {"", "\xC3\xBC" "ber"}, ""},
        {"UTF-8: a three-byte character split twice", kUtf8, {"a\xE2", "\x94", "\x80"}, {"a", "", "\xE2\x94\x80"}, ""},
        {"UTF-8: a four-byte character split", kUtf8, {"\xF0\x9F\x98", "\x80"}, {"", "\xF0\x9F\x98\x80"}, ""},
        {"UTF-8: a stray continuation byte is the decoder's", kUtf8, {"a\x80"}, {"a\x80"}, ""},
        {"UTF-8: the output ends inside a character", kUtf8, {"z\xE2\x94"}, {"z"}, "\xE2\x94"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WholeCharacters cut(row.form);
        std::vector<std::string> pieces;
        for (const std::string& chunk : row.chunks) pieces.push_back(cut.Feed(chunk));
        EXPECT_EQ(pieces, row.pieces);
        EXPECT_EQ(cut.Flush(), row.flushed);
        EXPECT_EQ(cut.Feed("x"), "x") << "nothing is held after a flush";
    }
}

// Whole output cut at random places gives what it gives in one chunk, and
// no piece ever ends inside a character.
TEST(WholeCharacters, ChunksCutAnywhereGiveTheWholeOutput) {
    const std::pair<const CharacterForm*, std::string> outputs[] = {
        {&kShiftJis, "\x93\xFA\x96\x7B\x8C\xEA\r\n\xC4\xC4 ping \x82\xA0\x82\xA2\r\n\x81\x40"},
        {&kUtf8, "\xD0\x9F\xD1\x80\xD0\xB8 \xE2\x94\x80\xE2\x94\x80 \xF0\x9F\x98\x80 \xC3\xBC\r\n"},
    };
    std::mt19937 random(19);
    for (const auto& [form, output] : outputs) {
        for (int round = 0; round < 200; ++round) {
            std::vector<std::string> chunks;
            for (std::size_t at = 0; at < output.size();) {
                const std::size_t length = 1 + random() % 4;
                chunks.push_back(output.substr(at, length));
                at += length;
            }
            std::vector<std::string> pieces;
            ASSERT_EQ(Passed(*form, chunks, &pieces), Passed(*form, {output})) << "round " << round;
            std::string so_far;
            for (const std::string& piece : pieces) {
                so_far += piece;
                ASSERT_EQ(Passed(*form, {so_far}), so_far) << "a piece ends inside a character";
            }
        }
    }
}

}  // namespace
}  // namespace tracewick
