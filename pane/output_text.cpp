#include "pane/output_text.h"

namespace tracewick {

CharacterForm FormOf(UINT code_page) {
    if (code_page == CP_UTF8) return CharacterForm{CharacterForm::Kind::kUtf8};
    CPINFO info{};
    if (!::GetCPInfo(code_page, &info) || info.MaxCharSize < 2) return CharacterForm{};
    std::vector<std::pair<unsigned, unsigned>> ranges;
    // Pairs of range ends, up to a pair of zeros.
    for (int at = 0; at + 1 < MAX_LEADBYTES && info.LeadByte[at] != 0; at += 2) {
        ranges.emplace_back(info.LeadByte[at], info.LeadByte[at + 1]);
    }
    return CharacterForm::DoubleByte(ranges);
}

}  // namespace tracewick
