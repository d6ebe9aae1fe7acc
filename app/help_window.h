// Tracewick's help window: modeless, resizable, read-only text, opened at a
// topic. The sheet owns it and closes it when it goes. UI thread only.
#pragma once

#include <string>
#include <string_view>

#include "framework/dialog.h"
#include "framework/message_map.h"

namespace tracewick {

class HelpWindow : public WithMessageMap<HelpWindow, Dialog> {
public:
    HelpWindow();

    static const MessageEntry<HelpWindow> kMessageMap[];

    // Opens the window (or brings it forward) with `topic` at the top.
    void ShowTopic(HWND owner, std::string_view topic);
    void Close();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}  // Enter in the text does not close the window
    void OnCancel() override { Close(); }

private:
    INT_PTR OnSize(WPARAM, LPARAM);
    INT_PTR OnGetMinMaxInfo(WPARAM, LPARAM);
    INT_PTR OnCtlColorStatic(WPARAM, LPARAM);

    std::string text_;  // the help text with CR LF line ends
};

}  // namespace tracewick
