// uictl: drives a running Tracewick from outside for scripts/run: waits for
// the sheet, waits for the active page's run to end, tells where the sheet is
// on the screen and how the active page's pane draws its text, and leaves
// through Exit. Works from its own process, as any other program could.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "res/resource.h"
#include "tools/drive/window_drive.h"

namespace {

using namespace tracewick::ui;

constexpr int kPaneIds[] = {IDC_PANE, IDC_TRACERT_PANE, IDC_NET_PANE};

HWND FindSheet() {
    return FindTopWindow(0, [](HWND window) { return IsSheet(window) && TextOf(window) == "Tracewick"; });
}

bool RunEnded(HWND sheet) {
    const HWND page = ActivePage(sheet), run = GetDlgItem(page, IDC_RUN), cancel = GetDlgItem(page, IDC_CANCEL_RUN);
    return IsEnabled(run) && !IsEnabled(cancel);
}

HWND ActivePane(HWND sheet) {
    const HWND page = ActivePage(sheet);
    for (int id : kPaneIds) {
        if (HWND pane = GetDlgItem(page, id)) return pane;
    }
    return nullptr;
}

// Where character `index` of the pane is drawn, in the pane's client pixels.
bool CharPosition(HWND pane, LONG index, POINTL& at) {
    return SendPointer(pane, EM_POSFROMCHAR, At(0), {index}, &at, sizeof at);
}

// One line: the character format's face, pitch and family and height (in
// twips and in pixels at the screen's dots per inch), then what the pane
// draws: the distance between its first two lines and the advance of each
// of the first line's first 16 characters.
int PrintPaneFont(HWND sheet) {
    const HWND pane = ActivePane(sheet);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    if (!SendPointer(pane, EM_GETCHARFORMAT, {SCF_DEFAULT}, At(0), &format, sizeof format)) {
        std::fprintf(stderr, "uictl: cannot reach the active page's pane\n");
        return 1;
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    std::printf("face=%s pitch-family=0x%02X twips=%ld pixels=%d dpi=%d", format.szFaceName, format.bPitchAndFamily,
                format.yHeight, ::MulDiv(format.yHeight, dpi, 1440), dpi);
    POINTL first{}, second{};
    const LONG second_line = static_cast<LONG>(::SendMessageA(pane, EM_LINEINDEX, 1, 0));
    if (second_line > 0 && CharPosition(pane, 0, first) && CharPosition(pane, second_line, second)) {
        std::printf(" line-height=%ld advances=", second.y - first.y);
        POINTL previous = first;
        for (LONG i = 1; i < 17 && i < second_line - 1; ++i) {
            POINTL at{};
            if (!CharPosition(pane, i, at)) break;
            std::printf("%s%ld", i > 1 ? "," : "", at.x - previous.x);
            previous = at;
        }
    }
    std::printf("\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: uictl wait-sheet|wait-run|exit [timeout-ms] | sheet-rect | pane-font\n");
        return 2;
    }
    const DWORD timeout = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 60000;
    const char* verb = argv[1];
    if (std::strcmp(verb, "wait-sheet") == 0) {
        return WaitUntil([] { return FindSheet() != nullptr; }, timeout) ? 0 : 1;
    }
    HWND sheet = FindSheet();
    if (!sheet) {
        std::fprintf(stderr, "uictl: no Tracewick sheet is open\n");
        return 1;
    }
    if (std::strcmp(verb, "wait-run") == 0) {
        // The run may take a moment to start after the sheet shows.
        WaitUntil([&] { return !RunEnded(sheet); }, 1000);
        return WaitUntil([&] { return RunEnded(sheet); }, timeout) ? 0 : 1;
    }
    if (std::strcmp(verb, "sheet-rect") == 0) {
        // As ImageMagick's geometry: WxH+X+Y.
        RECT rect{};
        ::GetWindowRect(sheet, &rect);
        std::printf("%ldx%ld%+ld%+ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
        return 0;
    }
    if (std::strcmp(verb, "pane-font") == 0) return PrintPaneFont(sheet);
    if (std::strcmp(verb, "exit") == 0) {
        ::PostMessageA(::GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
        return WaitUntil([&] { return !::IsWindow(sheet); }, timeout) ? 0 : 1;
    }
    std::fprintf(stderr, "uictl: unknown command %s\n", verb);
    return 2;
}
