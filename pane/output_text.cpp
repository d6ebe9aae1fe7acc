#include "pane/output_text.h"

namespace tracewick {

CharacterForm FormOf(UINT code_page) {
    if (code_page == CP_UTF8) return CharacterForm{CharacterForm::Kind::kUtf8};
    CPINFO info{};
    if (!::GetCPInfo(code_page, &info) || info.MaxCharSize < 2) return CharacterForm{};
    CharacterForm form{CharacterForm::Kind::kDoubleByte};
    // Pairs of range ends, up to a pair of zeros.
    for (int at = 0; at + 1 < MAX_LEADBYTES && info.LeadByte[at] != 0; at += 2) {
        for (unsigned byte = info.LeadByte[at]; byte <= info.LeadByte[at + 1]; ++byte) form.lead_bytes.set(byte);
    }
    return form;
}

}  // namespace tracewick
