// The start-up picture shown for up to five seconds before the sheet.
// UI thread only.
#pragma once

#include "framework/dialog.h"
#include "framework/message_map.h"
#include "framework/timer.h"

namespace tracewick {

class SplashDialog : public WithMessageMap<SplashDialog, Dialog> {
public:
    SplashDialog();

    static const MessageEntry<SplashDialog> kMessageMap[];

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    INT_PTR OnTimer(WPARAM, LPARAM);

    WindowTimer timer_;
};

}  // namespace tracewick
