#include "app/main_app.h"

#include <commctrl.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

#include "app/main_sheet.h"
#include "app/unattended.h"
#include "core/autorun.h"
#include "pane/output_pane.h"

namespace tracewick {

BOOL MainApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    // Every output pane is a rich edit. A failure shows later as a pane
    // that does not appear.
    LoadPaneLibrary();

    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
    const AutoRunRequest request = AutoRunRequestFromArgs(args);

    std::optional<UnattendedRun> unattended;
    if (request.Unattended()) unattended.emplace(request);
    CAllControlsSheet sheet(request.letter, unattended ? &*unattended : nullptr);
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
