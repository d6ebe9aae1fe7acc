#include "app/main_app.h"

#include <commctrl.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "app/main_sheet.h"
#include "app/program.h"
#include "core/autorun.h"
#include "runner/output_pane.h"

namespace tracewick {

namespace {

ProgramValues g_program;

}  // namespace

const ProgramValues& Program() noexcept { return g_program; }

BOOL MainApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    // Every output pane is a rich edit. A failure shows later as a pane
    // that does not appear.
    LoadPaneLibrary();

    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (::GetVersionExA(&version)) g_program.nt_platform = version.dwPlatformId == VER_PLATFORM_WIN32_NT;

    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
    g_program.autorun_letter = AutoRunLetterFromArgs(args);

    CAllControlsSheet sheet(g_program.autorun_letter);
    sheet.DoModal(nullptr);
    return FALSE;
}

}  // namespace tracewick

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static tracewick::MainApp app;
    try {
        app.InitInstance();
    } catch (...) {
        return 1;
    }
    return 0;
}
