// Base fixture of the UI tests: one session of the program per test or row,
// ended when the next starts or the test ends.
#pragma once

#include <windows.h>
#include <prsht.h>
#include <gtest/gtest.h>

#include <memory>

#include "tests/ui/harness.h"

namespace tracewick::ui {

class ProgramTest : public ::testing::Test {
protected:
    // Starts the program and, unless told not to, waits for its sheet; false,
    // with the failure recorded, when either does not come.
    bool Start(const LaunchOptions& options, bool sheet = true) {
        app_ = std::make_unique<AppProcess>();
        std::string error;
        if (!app_->Start(options, &error)) return ADD_FAILURE() << error, false;
        return !sheet || FindSheet();
    }

    // The start page's field takes the focus once the sheet is active; a
    // test that typed before would see that field commit late, over its text.
    bool FindSheet() {
        sheet_ = app_->WaitForSheet();
        if (!sheet_ || !Wait([&] { return app_->FocusedWindow() != nullptr; }))
            return ADD_FAILURE() << "no sheet with the focus", false;
        return Settle();
    }

    // Until `condition` holds or the program ends.
    bool Wait(const std::function<bool()>& condition, DWORD timeout_ms = kWaitMs) const {
        return WaitUntil(condition, timeout_ms, app_->process());
    }

    // Returns once the program has handled everything sent to it so far.
    bool Settle() const {
        bool ok = false;
        Send(sheet_, WM_NULL, 0, 0, &ok);
        return ok;
    }

    HWND Page(const std::string& caption) const { return PageAt(sheet_, PositionOf(sheet_, caption)); }

    // Opens a page as a click on its tab does: the tab takes the focus, so a
    // host field left on the way commits now, not at some later click.
    bool Show(const std::string& caption) const {
        const int position = PositionOf(sheet_, caption);
        Send(sheet_, PSM_SETCURSEL, static_cast<WPARAM>(position));
        if (position < 0 || ActivePage(sheet_) != PageAt(sheet_, position))
            return ADD_FAILURE() << "cannot open " << caption << " (open " << TextOf(ActivePage(sheet_)) << ")", false;
        Send(sheet_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Child(sheet_, "SysTabControl32")), TRUE);
        return Settle();
    }

    // The dialog a click on `button` opens, posted as the dialog is modal; null when none comes.
    HWND Open(HWND button, const std::string& caption) const {
        return PostClick(button) ? app_->WaitForDialog(caption) : nullptr;
    }
    bool Press(HWND dialog, int button) const { return PostClick(GetDlgItem(dialog, button)) && app_->WaitGone(dialog); }

    // Exit, Close or Escape; the program must end with 0.
    void Leave(const std::string& how) {
        const bool sent = how == "exit"    ? PostClick(GetDlgItem(sheet_, IDCANCEL))
                          : how == "close" ? PostMessageA(sheet_, WM_SYSCOMMAND, SC_CLOSE, 0) != 0
                                           : PostMessageA(sheet_, WM_COMMAND, IDCANCEL, 0) != 0;
        ASSERT_EQ(0u, sent ? ExitCode() : kNoExit) << "the program did not end with 0";
    }

    // The code the program ends with by itself; kNoExit when it does not end in time.
    static constexpr DWORD kNoExit = 0xFFFFFFFF;
    DWORD ExitCode(DWORD timeout_ms = kWaitMs) const {
        DWORD code = kNoExit;
        return app_->WaitForExit(timeout_ms, &code) ? code : kNoExit;
    }
    // A file of the working folder; empty when there is none.
    std::string Bytes(const std::string& name) const { return app_->ReadFile(name).value_or(FileState{}).bytes; }

    std::unique_ptr<AppProcess> app_;
    HWND sheet_ = nullptr;
};

}  // namespace tracewick::ui
