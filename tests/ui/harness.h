// UI test harness: starts the real Tracewick.exe in a fresh working folder and
// drives it from the driver's own process through window messages, the way a
// user would. Test thread only. Waits take a deadline and wait on the
// program's process handle between looks, never a bare sleep; a function that
// fails returns an empty value (null HWND, nullopt, false).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"

namespace tracewick::ui {

// Long enough for a loaded build machine, short enough that a hang fails a
// row well inside the suite's time limit.
inline constexpr DWORD kWaitMs = 10000;

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms = kWaitMs, HANDLE process = nullptr);

// ---------------------------------------------------------------- windows

// A message sent with a deadline, so a stuck program fails instead of hanging.
LRESULT Send(HWND hwnd, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0, bool* ok = nullptr);
// WM_GETTEXT, which Wine marshals across processes (GetWindowText does not).
std::string TextOf(HWND hwnd);
std::string ClassOf(HWND hwnd);
std::vector<HWND> Children(HWND parent, const char* class_name);
// Entries of a combo or list box, read with the "W" messages: the "A" ones
// overrun their buffer across processes under Wine.
std::vector<std::string> Items(HWND combo_or_list);
bool SetText(HWND control, const std::string& text);
// Text into a combo's edit field as if typed, without moving the focus.
bool TypeInto(HWND combo, const std::string& text);
bool IsChecked(HWND button);
bool IsEnabled(HWND hwnd);
// Sent: returns once the handler ran. Posted: for one that opens a modal dialog.
bool Click(HWND button);
bool PostClick(HWND button);
// A real keystroke through the input queue, with `top_level` in front.
bool RealKey(HWND top_level, WORD virtual_key);

// ---------------------------------------------------------------- text

// The pane with each run header line replaced by "<header>".
std::string MaskHeaders(const std::string& pane);
// Control characters written out, for failure messages.
std::string Visible(const std::string& text);
std::size_t CountOf(const std::string& text, const std::string& needle);
// Values as a settings file holds them: each followed by CR CR LF.
std::string SettingsLines(const std::vector<std::string>& values);
// EXPECT_EQ for long texts: CR and LF shown, and where they part.
void ExpectText(const std::string& expected, const std::string& actual);

// ---------------------------------------------------------------- the program

struct SeedFile {
    std::string name = {};       // relative to its folder
    std::string bytes = {};
    DWORD attributes = 0;        // FILE_ATTRIBUTE_*
    enum Kind { kFile, kFolder, kFullDevice } kind = kFile;  // full device: every write fails
};

struct FileState {
    std::string bytes;
    DWORD attributes = 0;
};

enum class Spawner { kReal, kMissing, kStandIn /* ignores the stop request */ };

// A private folder the program is started from, so the commands it runs are
// the stand-in's copies (tests/fake) playing the given scripts.
struct BinFolder {
    Spawner spawner = Spawner::kReal;
    std::string spawner_script = {};
    std::vector<std::pair<std::string, std::string>> commands = {};  // name, script
    std::vector<SeedFile> files = {};
    std::string fake_exe = {};       // empty: TRACEWICK_FAKE_EXE
};

struct LaunchOptions {
    std::vector<std::string> args = {};
    std::vector<SeedFile> files = {};  // in the working folder
    std::string exe = {};              // empty: TRACEWICK_EXE
    std::optional<BinFolder> bin = {};
};

std::string ToWindowsPath(std::string path);

// One session of the program; the destructor ends it and whatever it started
// from the bin folder, and removes both folders.
class AppProcess {
public:
    AppProcess() = default;
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    [[nodiscard]] bool Start(const LaunchOptions& options, std::string* error);
    // The next session from the same folders, once this one has ended.
    [[nodiscard]] bool Restart(const std::vector<std::string>& args, std::string* error);
    HANDLE process() const { return process_; }
    const std::string& bin_dir() const { return bin_dir_; }
    bool IsRunning() const;
    [[nodiscard]] bool WaitForExit(DWORD timeout_ms, DWORD* exit_code = nullptr) const;
    void Kill();
    void KillBinProcesses() const;
    // Live processes started from the bin folder named `exe_name`, or any.
    std::vector<DWORD> BinProcesses(const std::string& exe_name = "") const;

    HWND FocusedWindow() const;
    HWND Find(const std::function<bool(HWND)>& match) const;  // visible top-level windows
    HWND WaitFor(const std::function<bool(HWND)>& match, DWORD timeout_ms = kWaitMs) const;
    HWND WaitForSheet(DWORD timeout_ms = kWaitMs) const;
    HWND FindSplash() const;
    HWND WaitForDialog(const std::string& caption) const;
    bool WaitGone(HWND hwnd, DWORD timeout_ms = kWaitMs) const;
    // Presses `button` on the program's message box; its text, or nothing
    // when none came.
    std::optional<std::string> AnswerMessageBox(int button = IDOK) const;
    HWND FindMessageBox() const;
    std::optional<FileState> ReadFile(const std::string& name) const;

private:
    bool Launch(const std::vector<std::string>& args, std::string* error);

    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    std::string exe_, work_dir_, bin_dir_;
};

// ---------------------------------------------------------------- the sheet

bool IsSheet(HWND hwnd);
HWND ActivePage(HWND sheet);
HWND PageAt(HWND sheet, int position);
// Position of the page with this tab caption, -1 when the build lacks it.
int PositionOf(HWND sheet, const std::string& caption);
bool SelectPage(HWND sheet, int position);

// A failing test leaves a screenshot under TRACEWICK_UI_ARTIFACTS.
void InstallFailureListener();

}  // namespace tracewick::ui
