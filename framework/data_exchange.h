// Data exchange: moves values between a dialog's controls and its members,
// both ways, with the validators for integer ranges and text length. A
// refused value is reported with the standard text in the application
// message box and the focus goes back to the field. UI thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tracewick {

class DataExchange {
public:
    DataExchange(HWND dialog, bool save) noexcept : dialog_(dialog), save_(save) {}

    [[nodiscard]] bool Saving() const noexcept { return save_; }
    // True once a validator has refused a value; later calls do nothing.
    [[nodiscard]] bool Failed() const noexcept { return failed_; }

    // An integer in [minimum, maximum].
    void Int(int id, int& value, int minimum, int maximum);
    // A check box or radio button.
    void Check(int id, bool& value);
    // A single-line text field, without line breaks; with `max_chars` the
    // field takes no more, and a longer text is refused.
    void Text(int id, std::string& value, std::size_t max_chars = 0);

private:
    void Refuse(int id, const std::string& text);

    HWND dialog_;
    bool save_;
    bool failed_ = false;
};

// Text of a control of this process.
[[nodiscard]] std::string ControlText(HWND control);
// Every entry of a combo box's list, or of a list box, in order.
[[nodiscard]] std::vector<std::string> ComboEntries(HWND combo);
[[nodiscard]] std::vector<std::string> ListBoxEntries(HWND list);

}  // namespace tracewick
