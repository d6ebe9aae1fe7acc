#include "framework/data_exchange.h"

#include "core/dialog_values.h"
#include "framework/message_box.h"

namespace tracewick {

std::string ControlText(HWND control) {
    const int length = ::GetWindowTextLengthA(control);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void DataExchange::Refuse(int id, const std::string& text) {
    failed_ = true;
    AppMessageBox(dialog_, text);
    HWND control = ::GetDlgItem(dialog_, id);
    ::SetFocus(control);
    ::SendMessageA(control, EM_SETSEL, 0, -1);
}

void DataExchange::Text(int id, std::string& value, int max_chars) {
    if (failed_) return;
    HWND control = ::GetDlgItem(dialog_, id);
    if (!save_) {
        if (max_chars >= 0) ::SendMessageA(control, EM_LIMITTEXT, static_cast<WPARAM>(max_chars), 0);
        ::SetWindowTextA(control, value.c_str());
        return;
    }
    std::string text = ControlText(control);
    if (max_chars >= 0 && text.size() > static_cast<std::size_t>(max_chars)) {
        Refuse(id, MaxCharsRefusal(max_chars));
        return;
    }
    value = std::move(text);
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

}  // namespace tracewick
