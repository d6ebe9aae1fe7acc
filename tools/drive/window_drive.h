// Driving Tracewick's windows from another process through window messages,
// as a user would. Each wait has a deadline and each message a time limit, so
// a stuck program fails the caller instead of hanging it; a function that
// fails returns an empty value. One thread at a time.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tracewick::ui {

// Long enough for a loaded machine, short enough to fail a test inside its limit.
inline constexpr DWORD kWaitMs = 10000;
// Until `condition` holds; with `process`, also until it ends (one last look then).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms = kWaitMs, HANDLE process = nullptr);

// A message sent with a deadline, so a stuck program fails instead of hanging.
LRESULT Send(HWND hwnd, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0, bool* ok = nullptr);
// WM_GETTEXT, which Wine marshals across processes (GetWindowText does not).
std::string TextOf(HWND hwnd);
std::string ClassOf(HWND hwnd);
std::vector<HWND> Children(HWND parent, const char* class_name);
// The first of them; null when there is none (the program may be gone).
HWND Child(HWND parent, const char* class_name);
// Read as "W" messages: the "A" ones overrun their buffer across processes under Wine.
std::vector<std::string> Items(HWND combo_or_list);
bool SetText(HWND control, const std::string& text);
// Into a combo's edit field, as if typed, the focus left where it is.
bool TypeInto(HWND combo, const std::string& text);
bool IsChecked(HWND button);
bool IsEnabled(HWND hwnd);
// Sent: returns once the handler ran. Posted: for one that opens a modal dialog.
bool Click(HWND button);
bool PostClick(HWND button);

// A visible top-level window that `match` takes, of process `pid` (0: of any).
HWND FindTopWindow(DWORD pid, const std::function<bool(HWND)>& match);

// A message's argument: a value or, from At, a pointer `offset` bytes into a block (SendPointer).
struct Arg { LPARAM value = 0; bool pointer = false; };
inline Arg At(std::size_t offset) { return {static_cast<LPARAM>(offset), true}; }
// Sends `message` with a copy of `data` in the memory of the window's process, as Wine carries no
// such structure across processes: each of wParam and lParam a value or, from At, a pointer into
// the copy. `data` then holds what the program left there, `answer` what it returned.
bool SendPointer(HWND hwnd, UINT message, Arg wparam, Arg lparam, void* data, std::size_t size,
                 LRESULT* answer = nullptr);
// A rich edit's text exactly as it holds it (EM_GETTEXTEX in UTF-16), as UTF-8; WM_GETTEXT goes
// through the program's code page and loses what that lacks.
std::string RichText(HWND rich_edit);

// The sheet: the program's dialog with the tabs.
bool IsSheet(HWND hwnd);
HWND ActivePage(HWND sheet);
HWND PageAt(HWND sheet, int position);
// Position of the page with this tab caption; -1 when the build lacks it.
int PositionOf(HWND sheet, const std::string& caption);

}  // namespace tracewick::ui
