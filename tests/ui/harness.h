// UI test harness: starts the real Tracewick.exe and drives it from the test
// driver's own process, the way a user would, through window messages.
// Everything here runs on the driver's single test thread.
//
// Conventions: waits take a timeout in milliseconds and poll with short
// waits on the process handle, never a bare sleep; a function that fails
// returns an empty value (null HWND, empty optional, -1 count) and leaves its
// outputs untouched.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tracewick::ui {

// Timeouts long enough for a loaded build machine, short enough that a hang
// fails well inside the test's own time limit.
inline constexpr DWORD kWindowTimeoutMs = 10000;
inline constexpr DWORD kExitTimeoutMs = 10000;

// The tab captions of the sheet, by logical page index. A build may have only
// some of the pages; positions are found from the tab texts.
inline constexpr const char* kPageTabCaptions[] = {
    "Ping", "Trace Route", "Lookup", "Routes", "ARP", "NetBIOS", "Connections", "Statistics", "About",
};
inline constexpr int kLogicalPageCount = 9;
inline constexpr int kAboutLogicalIndex = 8;

// The sheet's standard buttons and the system menu's About command.
inline constexpr int kOkButtonId = IDOK;         // hidden
inline constexpr int kExitButtonId = IDCANCEL;   // relabelled "Exit"
inline constexpr int kHelpButtonId = 9;
inline constexpr int kApplyButtonId = 12321;     // hidden
inline constexpr UINT kAboutSysCommand = 16;

// ---------------------------------------------------------------- waiting

// Polls `condition` every few milliseconds until it holds or `timeout_ms`
// passes; returns whether it held. Waits on `process` (when given) between
// polls, so a process that dies ends the wait early with a false result
// unless the condition already holds.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms, HANDLE process = nullptr);

// ---------------------------------------------------------------- windows

std::string ClassNameOf(HWND hwnd);
// Window text read with WM_GETTEXT, which Wine marshals across processes
// (GetWindowText does not read another process's controls).
std::string TextOf(HWND hwnd);
std::string ControlText(HWND parent, int id);
DWORD ProcessIdOf(HWND hwnd);
RECT ScreenRectOf(HWND hwnd);
bool IsVisible(HWND hwnd);

// How often `needle` stands in `text`, not overlapping.
std::size_t CountOf(const std::string& text, const std::string& needle);
// Control characters made visible, for failure messages.
std::string Visible(const std::string& text);
bool IsEnabled(HWND hwnd);

// Top-level windows of process `pid`, optionally filtered by class and exact
// caption; visible ones only unless `include_hidden`.
std::vector<HWND> TopLevelWindows(DWORD pid, const char* class_name = nullptr,
                                  const char* caption = nullptr, bool include_hidden = false);
// Direct and indirect children of `parent` with the given class.
std::vector<HWND> ChildWindowsOfClass(HWND parent, const char* class_name);

// A property sheet is the "#32770" dialog that holds a tab control; the
// splash and every other dialog of the program have none.
bool IsPropertySheet(HWND hwnd);

// ---------------------------------------------------------------- input

// BM_CLICK, sent: returns when the button's handler has run. Use
// PostClick for a button whose handler opens a modal dialog.
void Click(HWND button);
bool PostClick(HWND button);
// WM_COMMAND as a button's click would send it to its parent, posted.
bool PostCommand(HWND target, int id);
bool SendCommand(HWND target, int id);
bool PostSysCommand(HWND target, UINT command);
// The window that has the keyboard focus in `top_level`'s thread.
HWND FocusWindowOf(HWND top_level);
// Key down, character (for keys that have one) and key up posted to `target`.
bool PostKey(HWND target, WORD virtual_key);
// A real keystroke through the input queue: brings `top_level` to the
// foreground and injects key down and up with SendInput.
bool SendRealKey(HWND top_level, WORD virtual_key);

// ---------------------------------------------------------------- other process's memory

// A block in another process, for messages whose parameters point to
// memory that Wine does not marshal (tab items, private probes).
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, std::size_t length);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool valid() const { return address_ != nullptr; }
    void* address() const { return address_; }
    bool Write(std::size_t offset, const void* data, std::size_t length);
    bool Read(std::size_t offset, void* data, std::size_t length) const;

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    std::size_t length_ = 0;
};

// A process handle that allows reading and writing another process's memory.
HANDLE OpenProcessForMemory(DWORD pid);

// ---------------------------------------------------------------- tabs, lists, menus

// Tab captions of a tab control in another process (TCM_GETITEMA through a
// block allocated in that process). Empty on failure.
std::vector<std::string> TabTexts(HWND tab_control);
int TabCount(HWND tab_control);

// Items of a combo box or list box, read with the "W" messages into a wide
// buffer (the "A" ones overrun their buffer across processes under Wine),
// then converted to the ANSI code page.
std::vector<std::string> ComboItems(HWND combo);
std::vector<std::string> ListItems(HWND list);

// Rich edit or edit text, whole: WM_GETTEXTLENGTH, then WM_GETTEXT.
std::string PaneText(HWND pane);

struct MenuItem {
    UINT id = 0;           // command id; 0 for a separator
    UINT type = 0;         // MFT_* flags (MFT_SEPARATOR, MFT_STRING)
    UINT state = 0;        // MFS_* flags
    std::string text;      // as the menu reports it, with its '&'
    bool separator() const { return (type & MFT_SEPARATOR) != 0; }
};
// The system menu of a top-level window of another process. Wine keeps menus
// in the owning process, so the items are read there by a probe library that
// a call-window-procedure hook loads into that process; see harness.cpp.
std::optional<std::vector<MenuItem>> SystemMenuItems(HWND top_level);

// ---------------------------------------------------------------- the sheet

// View of the program's main property sheet.
class Sheet {
public:
    Sheet() = default;
    explicit Sheet(HWND hwnd) : hwnd_(hwnd) {}

    HWND hwnd() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }

    HWND TabControl() const;
    int PageCount() const;                       // tabs
    std::vector<std::string> TabCaptions() const;
    HWND ActivePage() const;                     // PSM_GETCURRENTPAGEHWND
    int ActivePosition() const;                  // tab position, -1 on failure
    HWND PageAtPosition(int position) const;     // PSM_INDEXTOHWND
    // Position of a logical page (0 Ping .. 8 About) in this build, or -1
    // when the build has no such page.
    int PositionOfLogical(int logical_index) const;
    // Logical index of the active page, -1 when its tab is not known.
    int ActiveLogicalIndex() const;
    std::string ActiveTabCaption() const;
    bool SelectPosition(int position) const;     // PSM_SETCURSEL, sent
    HWND Button(int id) const { return GetDlgItem(hwnd_, id); }
    HWND ActivePageControl(int id) const { return GetDlgItem(ActivePage(), id); }

private:
    HWND hwnd_ = nullptr;
};

// ---------------------------------------------------------------- files

struct SeedFile {
    std::string name;            // relative to the working directory
    std::string bytes;
    DWORD attributes = 0;        // FILE_ATTRIBUTE_*; 0 for normal
    bool directory = false;      // a folder of that name instead (bytes unused)
};

struct FileState {
    std::string bytes;
    DWORD attributes = 0;
    bool hidden() const { return (attributes & FILE_ATTRIBUTE_HIDDEN) != 0; }
};

// ---------------------------------------------------------------- the program

// A command that the stand-in (tests/fake) plays: copied as <name>.exe into
// the bin folder, beside its script <name>.script.
struct StandInCommand {
    std::string name;            // "ping", "tracert", ...
    std::string script;          // in the stand-in's script language
};

// What plays the spawner in a bin folder.
enum class Spawner {
    kReal,                       // conspawn.exe as built, from beside the program
    kMissing,                    // none, so no run can start
    kStandIn,                    // the stand-in as conspawn.exe: it ignores the stop request
};

// A private folder the program is started from, so that the commands it
// runs are the stand-in's copies and never the system's. The working
// directory stays the separate folder with the seed files.
struct BinFolder {
    Spawner spawner = Spawner::kReal;
    std::string spawner_script;  // what the stand-in plays as conspawn.exe
    std::vector<StandInCommand> commands;
    std::vector<SeedFile> files; // anything else to put in the folder
    std::string fake_exe;        // the stand-in; empty for TRACEWICK_FAKE_EXE
};

struct LaunchOptions {
    std::vector<std::string> args;
    std::vector<SeedFile> files;
    std::string exe;             // Windows or Unix path; empty for TRACEWICK_EXE
    std::optional<BinFolder> bin = std::nullopt;  // none: the program runs where it was built
};

// The program's path from the environment (TRACEWICK_EXE, a Windows path).
std::string TracewickExePath();
// The stand-in's path from the environment (TRACEWICK_FAKE_EXE, a Windows path).
std::string FakeExePath();
// A Unix path as Wine sees it (drive Z:); a Windows path unchanged.
std::string ToWindowsPath(std::string path);
// One argument quoted as the C runtime splits command lines.
std::string QuoteArgument(const std::string& arg);

// One run of a program in a fresh temporary working directory. The
// destructor kills the program if it still runs and removes the directory.
class AppProcess {
public:
    AppProcess() = default;
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    // Creates the directory (and the bin folder when asked), writes the seed
    // files and starts the program. On failure `error` says why.
    [[nodiscard]] bool Start(const LaunchOptions& options, std::string* error);
    // Starts the same program again, from the same folders, once the last
    // start has ended (it is killed if it still runs): the next session of
    // a user, reading what the last one saved.
    [[nodiscard]] bool Restart(const std::vector<std::string>& args, std::string* error);

    DWORD pid() const { return pid_; }
    HANDLE process() const { return process_; }
    const std::string& work_dir() const { return work_dir_; }
    // The private bin folder; empty when the program runs where it was built.
    const std::string& bin_dir() const { return bin_dir_; }
    DWORD start_tick() const { return start_tick_; }

    bool IsRunning() const;
    // Exit code through `exit_code` when the process ends in time.
    [[nodiscard]] bool WaitForExit(DWORD timeout_ms, DWORD* exit_code = nullptr) const;
    void Kill();
    // Ends every process started from the bin folder (spawners and commands
    // that outlived the program, or a spawner that ignores the stop request).
    void KillBinProcesses() const;
    // Ids of the live processes started from the bin folder whose file name
    // is `exe_name` (e.g. "ping.exe").
    std::vector<DWORD> BinProcesses(const std::string& exe_name) const;

    // The window with the keyboard focus on the program's user-interface
    // thread (GetGUIThreadInfo), null when there is none.
    HWND FocusedWindow() const;
    // Waits for the program's message box (caption "Tracewick"), presses
    // `button` and waits until it is gone. Its text, or nothing when no box
    // came in time.
    std::optional<std::string> AnswerMessageBox(int button = IDOK, DWORD timeout_ms = kWindowTimeoutMs) const;
    HWND FindMessageBox() const;

    // The first visible top-level window satisfying `match`, waited for.
    HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeout_ms = kWindowTimeoutMs) const;
    HWND WaitForSheet(DWORD timeout_ms = kWindowTimeoutMs) const;
    HWND WaitForSplash(DWORD timeout_ms = kWindowTimeoutMs) const;
    HWND FindSheet() const;
    HWND FindSplash() const;
    // A visible "#32770" of the process that is neither the sheet nor
    // `except` (an about box or a message box), by caption when given.
    HWND WaitForDialog(const char* caption = nullptr, DWORD timeout_ms = kWindowTimeoutMs) const;
    HWND FindDialog(const char* caption = nullptr) const;
    // Waits until `hwnd` is gone or hidden.
    bool WaitForWindowGone(HWND hwnd, DWORD timeout_ms = kWindowTimeoutMs) const;

    std::optional<FileState> ReadFile(const std::string& name) const;

private:
    bool WriteSeedFile(const std::string& dir, const SeedFile& file, std::string* error) const;
    bool MakeBinFolder(const BinFolder& bin, const std::string& exe, std::string* error);
    bool Launch(const std::vector<std::string>& args, std::string* error);
    void RemoveDirs();

    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    DWORD start_tick_ = 0;
    std::string exe_;            // what Start and Restart run
    std::string work_dir_;
    std::string bin_dir_;
};

// Text of a message box: its static text (item 0xFFFF).
std::string MessageBoxText(HWND box);

// ---------------------------------------------------------------- pages that run commands

// Text into a combo box's edit field (WM_SETTEXT on its edit child), as if
// typed; the combo's own text limit does not apply. False when there is no
// edit child or the text did not take.
bool TypeIntoCombo(HWND combo, const std::string& text);
// WM_SETTEXT on an edit field of another process.
bool SetText(HWND control, const std::string& text);
bool IsChecked(HWND button);
// Waits until the page's Run button (1042) is enabled: the run has ended
// and no repeat is pending.
bool WaitForRunEnd(HWND page, DWORD timeout_ms, HANDLE process = nullptr);
// Waits until the text of `pane` contains `needle`.
bool WaitForPaneText(HWND pane, const std::string& needle, DWORD timeout_ms, HANDLE process = nullptr);

// Sends Close (WM_SYSCOMMAND SC_CLOSE) to the sheet and returns the items of
// `combo` as they stood when the sheet had handled it, that is after Close
// committed the typed host and saved, before the windows went. The items
// are read inside the program by the probe library (menu_probe.cpp), since
// the combo is gone by the time the test could look. Nothing when the probe
// did not answer.
std::optional<std::vector<std::string>> CloseAndReadCombo(HWND sheet, HWND combo);

// ---------------------------------------------------------------- failure artifacts

// The process whose windows a failing test's artifacts describe; the
// listener reads it. Set by the fixture, cleared when the program ends.
void SetProcessUnderTest(const AppProcess* process);
// Saves a 24-bit BMP of the screen and the texts of the program's windows
// and controls into TRACEWICK_UI_ARTIFACTS/<name>. Returns the folder.
std::string SaveFailureArtifacts(const std::string& name);
// Installs the gtest listener that calls SaveFailureArtifacts when a test
// fails (once per test). Call from main or a global environment.
void InstallFailureListener();

}  // namespace tracewick::ui
