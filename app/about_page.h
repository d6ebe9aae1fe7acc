// The About tab: the start-up picture and the notice text. UI thread only.
#pragma once

#include "framework/dialog.h"
#include "framework/message_map.h"
#include "framework/property_page.h"

namespace tracewick {

class CAboutPage : public WithMessageMap<CAboutPage, PropertyPage> {
public:
    CAboutPage();

    static const MessageEntry<CAboutPage> kMessageMap[];

protected:
    BOOL OnInitDialog() override;
    void OnSetActive() override;

private:
    INT_PTR OnNoticeFocus(WPARAM, LPARAM);
};

// The small modal "About Tracewick" box of the sheet's system menu.
class AboutDialog : public Dialog {
public:
    AboutDialog();
};

}  // namespace tracewick
