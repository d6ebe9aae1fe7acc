#include "core/output_characters.h"

namespace tracewick {

namespace {

// No double-byte code page has a second byte below this.
constexpr unsigned char kLowestTrailByte = 0x40;

// The length of the UTF-8 sequence that `lead` starts; 0 for a byte that
// starts none (a continuation byte, or one UTF-8 never uses).
std::size_t Utf8Length(unsigned char lead) noexcept {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool IsContinuation(unsigned char byte) noexcept { return (byte & 0xC0) == 0x80; }

}  // namespace

CharacterForm CharacterForm::DoubleByte(const std::vector<std::pair<unsigned, unsigned>>& ranges) {
    CharacterForm form;
    form.kind = Kind::kDoubleByte;
    for (const auto& [first, last] : ranges) {
        for (unsigned byte = first; byte <= last && byte < 256; ++byte) form.lead_bytes.set(byte);
    }
    return form;
}

std::string WholeCharacters::Feed(std::string_view chunk) {
    if (form_.kind == CharacterForm::Kind::kSingleByte) return std::string(chunk);
    std::string bytes = std::move(held_);
    held_.clear();
    bytes += chunk;
    return form_.kind == CharacterForm::Kind::kDoubleByte ? FeedDoubleByte(bytes) : FeedUtf8(bytes);
}

std::string WholeCharacters::FeedDoubleByte(std::string_view bytes) {
    std::string whole;
    whole.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (!form_.lead_bytes.test(byte)) {
            whole += bytes[at];
        } else if (at + 1 == bytes.size()) {
            held_.assign(1, bytes[at]);
        } else if (static_cast<unsigned char>(bytes[at + 1]) < kLowestTrailByte) {
            whole += '?';  // the byte after it is read on its own
        } else {
            whole.append(bytes.substr(at, 2));
            ++at;
        }
    }
    return whole;
}

// Only the end can hold an unfinished sequence; a broken one inside is the
// decoder's to replace.
std::string WholeCharacters::FeedUtf8(std::string_view bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if (IsContinuation(byte)) continue;
        if (Utf8Length(byte) > back) {
            held_.assign(bytes.substr(size - back));
            return std::string(bytes.substr(0, size - back));
        }
        break;
    }
    return std::string(bytes);
}

std::string WholeCharacters::Flush() {
    std::string held = std::move(held_);
    held_.clear();
    if (form_.kind == CharacterForm::Kind::kDoubleByte && !held.empty()) return "?";
    return held;
}

}  // namespace tracewick
