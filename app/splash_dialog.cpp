#include "app/splash_dialog.h"

#include "app/pictures.h"
#include "res/resource.h"

namespace tracewick {

namespace {

constexpr UINT_PTR kSplashTimerId = 4;
constexpr UINT kSplashMilliseconds = 5000;

}  // namespace

const MessageEntry<SplashDialog> SplashDialog::kMessageMap[] = {
    OnMsg<SplashDialog>(WM_TIMER, &SplashDialog::OnTimer),
    EndOfMessageMap<SplashDialog>(),
};

SplashDialog::SplashDialog() : WithMessageMap(IDD_SPLASH), timer_(kSplashTimerId) {}

BOOL SplashDialog::OnInitDialog() {
    ChoosePictureForScreen(Hwnd());
    // Without its timer the splash would wait for a click: none at all then.
    if (!timer_.Start(Hwnd(), kSplashMilliseconds)) ::PostMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    return TRUE;
}

INT_PTR SplashDialog::OnTimer(WPARAM, LPARAM) {
    ::SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    return 0;
}

void SplashDialog::OnOK() {
    timer_.Stop();
    Dialog::OnOK();
}

}  // namespace tracewick
