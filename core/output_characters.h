// Where a command's output may be cut so that no character is broken: the
// output arrives in reads of a fixed size, and a character of a double-byte
// or UTF-8 code page may be split over two of them. The pane decodes only
// whole characters. Portable: no <windows.h>.
#pragma once

#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tracewick {

// How the characters of a code page are made of bytes.
struct CharacterForm {
    enum class Kind {
        kSingleByte,  // one byte, one character
        kDoubleByte,  // a lead byte takes the byte after it along
        kUtf8,
    };
    Kind kind = Kind::kSingleByte;
    std::bitset<256> lead_bytes = {};  // kDoubleByte only

    // A double-byte code page with these lead byte ranges (both ends included).
    [[nodiscard]] static CharacterForm DoubleByte(const std::vector<std::pair<unsigned, unsigned>>& ranges);
};

// Passes on a stream of output bytes in pieces that each end on a whole
// character, holding an unfinished one back for the next chunk. A lead byte
// followed by a byte that no double-byte code page takes as a second byte
// (a line end, a digit, a blank: anything below 0x40) is a broken character
// and passes as '?', so that it never swallows a line end.
class WholeCharacters {
public:
    explicit WholeCharacters(CharacterForm form) : form_(std::move(form)) {}

    // What the held bytes and `chunk` hold up to their last whole character.
    [[nodiscard]] std::string Feed(std::string_view chunk);
    // The character still unfinished when the output ends (a double-byte
    // code page's: as '?'; UTF-8's as it came, for the decoder to replace).
    [[nodiscard]] std::string Flush();
    void Reset() noexcept { held_.clear(); }

private:
    [[nodiscard]] std::string FeedDoubleByte(std::string_view bytes);
    [[nodiscard]] std::string FeedUtf8(std::string_view bytes);

    CharacterForm form_;
    std::string held_;
};

}  // namespace tracewick
