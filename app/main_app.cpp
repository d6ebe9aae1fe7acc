#include "app/main_app.h"

#include <commctrl.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

#include "app/main_sheet.h"
#include "app/program.h"
#include "app/unattended.h"
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
    const AutoRunRequest request = AutoRunRequestFromArgs(args);
    g_program.autorun_letter = request.letter;

    std::optional<UnattendedRun> unattended;
    if (request.Unattended()) unattended.emplace(request);
    CAllControlsSheet sheet(g_program.autorun_letter, unattended ? &*unattended : nullptr);
    sheet.DoModal(nullptr);
    if (unattended) exit_code_ = unattended->ExitCode();
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
    return static_cast<int>(app.ExitCode());
}
