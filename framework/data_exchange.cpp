#include "framework/data_exchange.h"

#include "core/dialog_values.h"
#include "core/text.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"

namespace tracewick {

std::string ControlText(HWND control) {
    const int length = ::GetWindowTextLengthA(control);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

namespace {

// Read as wide text: the ANSI messages overrun their buffer under Wine once
// an entry passes about 512 characters. Each text is as long as the text
// call says, not as the length call guessed (it over-reports on double-byte
// code pages, which would put NULs into the settings).
std::vector<std::string> Entries(HWND control, UINT count_message, UINT length_message, UINT text_message) {
    std::vector<std::string> entries;
    const LRESULT count = ::SendMessageW(control, count_message, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = ::SendMessageW(control, length_message, static_cast<WPARAM>(i), 0);
        if (length < 0) continue;
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT got = ::SendMessageW(control, text_message, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
        if (got < 0) continue;
        entries.push_back(Encode(std::wstring_view(wide.data(), static_cast<std::size_t>(got)), CP_ACP));
    }
    return entries;
}

}  // namespace

std::vector<std::string> ComboEntries(HWND combo) { return Entries(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT); }

std::vector<std::string> ListBoxEntries(HWND list) { return Entries(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT); }

void DataExchange::Refuse(int id, const std::string& text) {
    failed_ = true;
    AppMessageBox(dialog_, text);
    HWND control = ::GetDlgItem(dialog_, id);
    ::SetFocus(control);
    ::SendMessageA(control, EM_SETSEL, 0, -1);
}

void DataExchange::Int(int id, int& value, int minimum, int maximum) {
    if (failed_) return;
    HWND control = ::GetDlgItem(dialog_, id);
    if (!save_) {
        ::SetWindowTextA(control, std::to_string(value).c_str());
        return;
    }
    const std::optional<int> parsed = ParseDialogInteger(ControlText(control));
    if (!parsed) {
        Refuse(id, std::string(kEnterIntegerText));
        return;
    }
    if (*parsed < minimum || *parsed > maximum) {
        Refuse(id, IntegerRangeRefusal(minimum, maximum));
        return;
    }
    value = *parsed;
}

void DataExchange::Check(int id, bool& value) {
    if (failed_) return;
    HWND control = ::GetDlgItem(dialog_, id);
    if (save_) {
        value = ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    } else {
        ::SendMessageA(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void DataExchange::Text(int id, std::string& value, std::size_t max_chars) {
    if (failed_) return;
    HWND control = ::GetDlgItem(dialog_, id);
    if (!save_) {
        if (max_chars > 0) ::SendMessageA(control, EM_LIMITTEXT, max_chars, 0);
        ::SetWindowTextA(control, value.c_str());
        return;
    }
    std::string text = WithoutLineBreaks(ControlText(control));
    if (max_chars > 0 && text.size() > max_chars) {
        Refuse(id, "Enter no more than " + std::to_string(max_chars) + " characters.");
        return;
    }
    value = std::move(text);
}

}  // namespace tracewick
