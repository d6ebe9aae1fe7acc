// The start-up picture's choice by screen colour depth, shared by the splash
// and the About page. UI thread only.
#pragma once

#include <windows.h>

#include "framework/handles.h"
#include "res/resource.h"

namespace tracewick {

// Shows the 256-colour picture (control 1098) instead of the 16-colour one
// (1097) on a screen of 16, 24 or 32 bits per pixel.
inline void ChoosePictureForScreen(HWND dialog) {
    const UniqueDC dc(dialog);
    const int bits = dc ? ::GetDeviceCaps(dc.Get(), BITSPIXEL) : 0;
    if (bits == 16 || bits == 24 || bits == 32) {
        ::ShowWindow(::GetDlgItem(dialog, IDC_PICTURE16), SW_HIDE);
        ::ShowWindow(::GetDlgItem(dialog, IDC_PICTURE256), SW_SHOW);
    }
}

}  // namespace tracewick
