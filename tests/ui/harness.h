// UI test harness: starts the real Tracewick.exe in a fresh working folder and
// drives it from the driver's own process through window messages, as a user
// would. Test thread only. Waits have a deadline and wait on the program's
// process between looks; a function that fails returns an empty value.
#pragma once
#include <windows.h>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include "framework/handles.h"
#include "res/resource.h"
#include "tools/drive/window_drive.h"

namespace tracewick::ui {
// The pane, or a file's text after its byte order mark, with each run header
// line replaced by "<header>".
std::string MaskHeaders(const std::string& pane);
std::string Visible(const std::string& text);  // control characters written out
std::size_t CountOf(const std::string& text, const std::string& needle);
// Values as a settings file holds them: each followed by CR CR LF.
std::string SettingsLines(const std::vector<std::string>& values);
// A failure showing CR and LF, and where long texts part.
void ExpectText(const std::string& expected, const std::string& actual);

struct SeedFile {
    std::string name = {}, bytes = {};
    DWORD attributes = 0;
    enum Kind { kFile, kFolder, kFullDevice /* every write to it fails */ } kind = kFile;
};
struct FileState {
    std::string bytes;
    DWORD attributes = 0;
};
enum class Spawner { kReal, kMissing, kStandIn /* ignores the stop request */ };
// A private folder the program starts from, so that the commands it runs are
// copies of the stand-in (tests/fake) playing the given scripts.
struct BinFolder {
    Spawner spawner = Spawner::kReal;
    std::string spawner_script = {};
    std::vector<std::pair<std::string, std::string>> commands = {};  // name, script
    std::vector<SeedFile> files = {};
    std::string fake_exe = {};  // empty: TRACEWICK_FAKE_EXE
};
struct LaunchOptions {
    std::vector<std::string> args = {};
    std::vector<SeedFile> files = {};  // in the working folder
    std::string exe = {};              // empty: TRACEWICK_EXE
    std::optional<BinFolder> bin = {};
};

// A Unix path as Wine sees it, on drive Z:.
std::string ToWindowsPath(std::string path);
// One session of the program. The destructor ends it and whatever it started
// from the bin folder, and removes both folders.
class AppProcess {
public:
    ~AppProcess();  // not copyable: it owns the process
    [[nodiscard]] bool Start(const LaunchOptions& options, std::string* error);
    // The next session, from the same folders; Start gives the first.
    [[nodiscard]] bool Restart(const std::vector<std::string>& args, std::string* error);
    HANDLE process() const { return process_.Get(); }
    const std::string& bin_dir() const { return bin_dir_; }
    const std::string& work_dir() const { return work_dir_; }
    [[nodiscard]] bool WaitForExit(DWORD timeout_ms, DWORD* exit_code = nullptr) const;
    void Kill();
    void KillBinProcesses() const;
    // Live processes started from the bin folder, but the program.
    std::vector<DWORD> BinProcesses() const;

    HWND FocusedWindow() const;
    HWND Find(const std::function<bool(HWND)>& match) const;  // a visible top-level window
    HWND WaitFor(const std::function<bool(HWND)>& match, DWORD timeout_ms = kWaitMs) const;
    HWND WaitForSheet(DWORD timeout_ms = kWaitMs) const;
    HWND WaitForDialog(const std::string& caption) const;
    // A dialog of the system's (its caption is in the system's language) by a control it has.
    HWND WaitForDialogWith(int control) const;
    bool WaitGone(HWND hwnd, DWORD timeout_ms = kWaitMs) const;
    // Presses `button` on the message box: its text, or nothing when none came.
    std::optional<std::string> AnswerMessageBox(int button = IDOK) const;
    std::optional<FileState> ReadFile(const std::string& name) const;
private:
    UniqueKernelHandle process_;
    DWORD pid_ = 0;
    std::string exe_, work_dir_, bin_dir_;
};

// A failing test leaves a screenshot under TRACEWICK_UI_ARTIFACTS.
void InstallFailureListener();

}  // namespace tracewick::ui
