// The help window: modeless, resizable, read-only text, opened at a topic.
// The main sheet owns it and closes it when it goes; while it exists, any
// dialog reaches it through ShowHelpTopic (framework/help_request.h).
// UI thread only.
#pragma once

#include <string>
#include <string_view>

#include "framework/dialog.h"
#include "framework/message_map.h"

namespace tracewick {

class HelpWindow : public WithMessageMap<HelpWindow, Dialog> {
public:
    HelpWindow();
    ~HelpWindow() override;

    static const MessageEntry<HelpWindow> kMessageMap[];

    // The window it always opens over (the sheet), wherever help is asked for.
    void SetOwner(HWND owner) noexcept { owner_ = owner; }
    // Opens the window (or brings it forward) with `topic` at the top.
    void ShowTopic(std::string_view topic);
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
    HWND owner_ = nullptr;
};

}  // namespace tracewick
