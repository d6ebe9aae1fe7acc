// UI test harness: process control, window lookup and cross-process reads.
// Test thread only. See harness.h for the conventions.
#include "tests/ui/harness.h"

#include <commctrl.h>
#include <prsht.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tracewick::ui {

namespace {

// A cross-process send that cannot hang the test on a stuck program.
constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kPollMs = 10;

LRESULT SendA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    const LRESULT sent = SendMessageTimeoutA(hwnd, msg, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    if (ok) *ok = sent != 0;
    return static_cast<LRESULT>(result);
}

LRESULT SendW(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    const LRESULT sent = SendMessageTimeoutW(hwnd, msg, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    if (ok) *ok = sent != 0;
    return static_cast<LRESULT>(result);
}

std::string GetEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), length, nullptr, nullptr);
    return out;
}

struct EnumState {
    DWORD pid;
    const char* class_name;
    const char* caption;
    bool include_hidden;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lparam) {
    auto* state = reinterpret_cast<EnumState*>(lparam);
    if (ProcessIdOf(hwnd) != state->pid) return TRUE;
    if (!state->include_hidden && !IsWindowVisible(hwnd)) return TRUE;
    if (state->class_name && ClassNameOf(hwnd) != state->class_name) return TRUE;
    if (state->caption && TextOf(hwnd) != state->caption) return TRUE;
    state->found->push_back(hwnd);
    return TRUE;
}

struct ChildState {
    const char* class_name;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lparam) {
    auto* state = reinterpret_cast<ChildState*>(lparam);
    if (!state->class_name || ClassNameOf(hwnd) == state->class_name) state->found->push_back(hwnd);
    return TRUE;
}

bool DeleteTree(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = dir + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    return RemoveDirectoryA(dir.c_str()) != 0;
}

WORD ScanCodeOf(WORD virtual_key) {
    return static_cast<WORD>(MapVirtualKeyA(virtual_key, MAPVK_VK_TO_VSC));
}

// The character a key produces in a dialog, or 0 for keys with none.
WPARAM CharOf(WORD virtual_key) {
    switch (virtual_key) {
        case VK_RETURN: return '\r';
        case VK_ESCAPE: return 0x1B;
        case VK_TAB: return '\t';
        case VK_SPACE: return ' ';
        case VK_BACK: return '\b';
        default:
            if ((virtual_key >= '0' && virtual_key <= '9') || (virtual_key >= 'A' && virtual_key <= 'Z'))
                return virtual_key;
            return 0;
    }
}

}  // namespace

// ---------------------------------------------------------------- waiting

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms, HANDLE process) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeout_ms) return false;
        const DWORD wait = std::min<DWORD>(kPollMs, timeout_ms - elapsed);
        if (process) {
            // A process that ended changes nothing more: one last look.
            if (WaitForSingleObject(process, wait) == WAIT_OBJECT_0) return condition();
        } else {
            Sleep(wait);
        }
    }
}

// ---------------------------------------------------------------- windows

std::string ClassNameOf(HWND hwnd) {
    char name[256] = {};
    const int length = GetClassNameA(hwnd, name, sizeof name);
    return std::string(name, static_cast<std::size_t>(std::max(length, 0)));
}

std::string TextOf(HWND hwnd) {
    if (!hwnd) return {};
    bool ok = false;
    const LRESULT length = SendA(hwnd, WM_GETTEXTLENGTH, 0, 0, &ok);
    if (!ok || length < 0) return {};
    // Slack for a length counted in another unit than the copy.
    std::string buffer(static_cast<std::size_t>(length) * 2 + 2, '\0');
    const LRESULT copied = SendA(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &ok);
    if (!ok || copied < 0) return {};
    buffer.resize(std::min<std::size_t>(static_cast<std::size_t>(copied), std::strlen(buffer.c_str())));
    return buffer;
}

std::string ControlText(HWND parent, int id) { return TextOf(GetDlgItem(parent, id)); }

DWORD ProcessIdOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

RECT ScreenRectOf(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

bool IsVisible(HWND hwnd) { return hwnd && IsWindowVisible(hwnd); }
bool IsEnabled(HWND hwnd) { return hwnd && IsWindowEnabled(hwnd); }

std::vector<HWND> TopLevelWindows(DWORD pid, const char* class_name, const char* caption, bool include_hidden) {
    std::vector<HWND> found;
    EnumState state{pid, class_name, caption, include_hidden, &found};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
    return found;
}

std::vector<HWND> ChildWindowsOfClass(HWND parent, const char* class_name) {
    std::vector<HWND> found;
    ChildState state{class_name, &found};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&state));
    return found;
}

bool IsPropertySheet(HWND hwnd) {
    return hwnd && ClassNameOf(hwnd) == "#32770" && !ChildWindowsOfClass(hwnd, WC_TABCONTROLA).empty();
}

// ---------------------------------------------------------------- input

void Click(HWND button) { SendA(button, BM_CLICK, 0, 0); }

bool PostClick(HWND button) { return button && PostMessageA(button, BM_CLICK, 0, 0); }

bool PostCommand(HWND target, int id) {
    return target && PostMessageA(target, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

bool SendCommand(HWND target, int id) {
    bool ok = false;
    SendA(target, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0, &ok);
    return ok;
}

bool PostSysCommand(HWND target, UINT command) {
    return target && PostMessageA(target, WM_SYSCOMMAND, command, 0);
}

HWND FocusWindowOf(HWND top_level) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top_level, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool PostKey(HWND target, WORD virtual_key) {
    if (!target) return false;
    const LPARAM scan = static_cast<LPARAM>(ScanCodeOf(virtual_key)) << 16;
    const LPARAM down = 1 | scan;
    const LPARAM up = 1 | scan | (1L << 30) | (1L << 31);
    bool ok = PostMessageA(target, WM_KEYDOWN, virtual_key, down);
    if (const WPARAM ch = CharOf(virtual_key)) ok = ok && PostMessageA(target, WM_CHAR, ch, down);
    return ok && PostMessageA(target, WM_KEYUP, virtual_key, up);
}

bool SendRealKey(HWND top_level, WORD virtual_key) {
    if (!top_level) return false;
    SetForegroundWindow(top_level);
    if (!WaitUntil([&] { return GetForegroundWindow() == top_level; }, 2000)) return false;
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtual_key;
        input.ki.wScan = ScanCodeOf(virtual_key);
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

// ---------------------------------------------------------------- other process's memory

HANDLE OpenProcessForMemory(DWORD pid) {
    return OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE,
                       pid);
}

RemoteBuffer::RemoteBuffer(HANDLE process, std::size_t length) : process_(process), length_(length) {
    if (process_)
        address_ = VirtualAllocEx(process_, nullptr, length_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteBuffer::Write(std::size_t offset, const void* data, std::size_t length) {
    if (!address_ || offset > length_ || length > length_ - offset) return false;
    SIZE_T written = 0;
    return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, length, &written) &&
           written == length;
}

bool RemoteBuffer::Read(std::size_t offset, void* data, std::size_t length) const {
    if (!address_ || offset > length_ || length > length_ - offset) return false;
    SIZE_T read = 0;
    return ReadProcessMemory(process_, static_cast<const char*>(address_) + offset, data, length, &read) &&
           read == length;
}

// ---------------------------------------------------------------- tabs, lists, menus

int TabCount(HWND tab_control) {
    bool ok = false;
    const LRESULT count = SendA(tab_control, TCM_GETITEMCOUNT, 0, 0, &ok);
    return ok ? static_cast<int>(count) : -1;
}

std::vector<std::string> TabTexts(HWND tab_control) {
    const int count = TabCount(tab_control);
    if (count <= 0) return {};
    HANDLE process = OpenProcessForMemory(ProcessIdOf(tab_control));
    if (!process) return {};
    std::vector<std::string> texts;
    {
        // TCM_GETITEMA's item and text buffer must be addresses in the tab
        // control's process: Wine passes the pointer through unmarshalled.
        constexpr std::size_t kTextLength = 256;
        RemoteBuffer remote(process, sizeof(TCITEMA) + kTextLength);
        char* const remote_text = static_cast<char*>(remote.address()) + sizeof(TCITEMA);
        for (int i = 0; remote.valid() && i < count; ++i) {
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = remote_text;
            item.cchTextMax = kTextLength;
            const char zero[kTextLength] = {};
            bool ok = remote.Write(0, &item, sizeof item) && remote.Write(sizeof item, zero, sizeof zero);
            ok = ok && SendA(tab_control, TCM_GETITEMA, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(remote.address())) != 0;
            char text[kTextLength] = {};
            TCITEMA back{};
            ok = ok && remote.Read(0, &back, sizeof back);
            if (ok && back.pszText == remote_text) {
                ok = remote.Read(sizeof item, text, sizeof text - 1);
            } else if (ok && back.pszText) {
                // The control may answer with a pointer to its own copy.
                SIZE_T read = 0;
                ok = ReadProcessMemory(process, back.pszText, text, sizeof text - 1, &read) || read > 0;
            }
            if (!ok) {
                texts.clear();
                break;
            }
            texts.emplace_back(text);
        }
    }
    CloseHandle(process);
    return texts;
}

namespace {

std::vector<std::string> WideItems(HWND control, UINT count_msg, UINT length_msg, UINT text_msg) {
    bool ok = false;
    const LRESULT count = SendW(control, count_msg, 0, 0, &ok);
    std::vector<std::string> items;
    if (!ok || count < 0) return items;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendW(control, length_msg, static_cast<WPARAM>(i), 0, &ok);
        if (!ok || length < 0) return {};
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT copied = SendW(control, text_msg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()), &ok);
        if (!ok || copied < 0) return {};
        text.resize(std::min<std::size_t>(static_cast<std::size_t>(copied), wcslen(text.c_str())));
        items.push_back(Narrow(text));
    }
    return items;
}

}  // namespace

std::vector<std::string> ComboItems(HWND combo) {
    return WideItems(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::vector<std::string> ListItems(HWND list) {
    return WideItems(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::string PaneText(HWND pane) { return TextOf(pane); }

namespace {

// The probe library, which sits beside the test driver; null when missing.
HMODULE ProbeLibrary() {
    static const HMODULE probe = [] {
        char self[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
        if (length == 0 || length >= sizeof self) return HMODULE{};
        std::string path(self);
        path = path.substr(0, path.find_last_of("\\/") + 1) + "tracewick_ui_probe.dll";
        return LoadLibraryA(path.c_str());
    }();
    return probe;
}

}  // namespace

std::optional<std::vector<MenuItem>> SystemMenuItems(HWND top_level) {
    HMODULE probe = ProbeLibrary();
    if (!probe) return std::nullopt;
    auto* hook_proc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(probe, "TracewickProbeCallWndProc")));
    const UINT read_menu = RegisterWindowMessageA("Tracewick.UiProbe.ReadSystemMenu");
    if (!hook_proc || !read_menu) return std::nullopt;

    HANDLE process = OpenProcessForMemory(ProcessIdOf(top_level));
    if (!process) return std::nullopt;
    std::optional<std::vector<MenuItem>> result;
    {
        constexpr std::size_t kBlockLength = 16384;
        RemoteBuffer remote(process, kBlockLength);
        const std::uint32_t unanswered = 0xFFFFFFFEu;
        HHOOK hook = remote.valid() && remote.Write(0, &unanswered, sizeof unanswered)
                         ? SetWindowsHookExA(WH_CALLWNDPROC, hook_proc, probe,
                                             GetWindowThreadProcessId(top_level, nullptr))
                         : nullptr;
        if (hook) {
            bool ok = false;
            SendA(top_level, read_menu, kBlockLength, reinterpret_cast<LPARAM>(remote.address()), &ok);
            UnhookWindowsHookEx(hook);
            std::vector<char> block(kBlockLength);
            if (ok && remote.Read(0, block.data(), block.size())) {
                std::uint32_t count = 0;
                std::memcpy(&count, block.data(), sizeof count);
                if (count < 0xFFFFFFFEu) {
                    std::vector<MenuItem> items;
                    std::size_t at = sizeof count;
                    for (std::uint32_t i = 0; i < count; ++i) {
                        std::uint32_t fields[4];
                        if (at + sizeof fields > block.size()) break;
                        std::memcpy(fields, block.data() + at, sizeof fields);
                        at += sizeof fields;
                        if (at + fields[3] > block.size()) break;
                        MenuItem item;
                        item.id = fields[0];
                        item.type = fields[1];
                        item.state = fields[2];
                        item.text.assign(block.data() + at, fields[3]);
                        at += fields[3];
                        items.push_back(std::move(item));
                    }
                    if (items.size() == count) result = std::move(items);
                }
            }
        }
    }
    CloseHandle(process);
    return result;
}

// ---------------------------------------------------------------- the sheet

HWND Sheet::TabControl() const {
    const auto tabs = ChildWindowsOfClass(hwnd_, WC_TABCONTROLA);
    return tabs.empty() ? nullptr : tabs.front();
}

int Sheet::PageCount() const { return TabCount(TabControl()); }

std::vector<std::string> Sheet::TabCaptions() const { return TabTexts(TabControl()); }

HWND Sheet::ActivePage() const { return reinterpret_cast<HWND>(SendA(hwnd_, PSM_GETCURRENTPAGEHWND, 0, 0)); }

int Sheet::ActivePosition() const {
    HWND page = ActivePage();
    if (!page) return -1;
    bool ok = false;
    const LRESULT position = SendA(hwnd_, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0, &ok);
    return ok ? static_cast<int>(position) : -1;
}

HWND Sheet::PageAtPosition(int position) const {
    return reinterpret_cast<HWND>(SendA(hwnd_, PSM_INDEXTOHWND, static_cast<WPARAM>(position), 0));
}

int Sheet::PositionOfLogical(int logical_index) const {
    if (logical_index < 0 || logical_index >= kLogicalPageCount) return -1;
    const auto captions = TabCaptions();
    const auto it = std::find(captions.begin(), captions.end(), kPageTabCaptions[logical_index]);
    return it == captions.end() ? -1 : static_cast<int>(it - captions.begin());
}

std::string Sheet::ActiveTabCaption() const {
    const int position = ActivePosition();
    const auto captions = TabCaptions();
    return position >= 0 && position < static_cast<int>(captions.size()) ? captions[static_cast<std::size_t>(position)]
                                                                         : std::string();
}

int Sheet::ActiveLogicalIndex() const {
    const std::string caption = ActiveTabCaption();
    for (int i = 0; i < kLogicalPageCount; ++i)
        if (caption == kPageTabCaptions[i]) return i;
    return -1;
}

bool Sheet::SelectPosition(int position) const {
    bool ok = false;
    SendA(hwnd_, PSM_SETCURSEL, static_cast<WPARAM>(position), 0, &ok);
    return ok && ActivePosition() == position;
}

// ---------------------------------------------------------------- the program

// CMake hands over Unix paths; Wine maps the Unix root to drive Z:.
std::string ToWindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string TracewickExePath() { return ToWindowsPath(GetEnv("TRACEWICK_EXE")); }

std::string FakeExePath() { return ToWindowsPath(GetEnv("TRACEWICK_FAKE_EXE")); }

std::string QuoteArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
            out += c;
            backslashes = 0;
        } else {
            out.append(backslashes, '\\');
            out += c;
            backslashes = 0;
        }
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

namespace {

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The long form of an existing path, lower case, for comparing paths that
// name the same file in different spellings.
std::string ComparablePath(const std::string& path) {
    char buffer[MAX_PATH * 2] = {};
    const DWORD length = GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
    return LowerCase(length > 0 && length < sizeof buffer ? std::string(buffer, length) : path);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// A fresh folder under the temporary directory, empty on failure.
std::string MakeTempFolder(const char* prefix) {
    char temp[MAX_PATH] = {};
    if (!GetTempPathA(sizeof temp, temp)) return {};
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[80];
        std::snprintf(name, sizeof name, "%s-%lu-%u-%lu", prefix, GetCurrentProcessId(), ++serial, GetTickCount());
        const std::string dir = std::string(temp) + name;
        if (CreateDirectoryA(dir.c_str(), nullptr)) return dir;
    }
    return {};
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(handle);
    return ok;
}

// Image paths of live processes, by id, from a process snapshot.
std::vector<std::pair<DWORD, std::string>> LiveProcessImages() {
    std::vector<std::pair<DWORD, std::string>> images;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return images;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId()) continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (!process) continue;
        char path[MAX_PATH * 2] = {};
        DWORD length = sizeof path;
        const bool named = QueryFullProcessImageNameA(process, 0, path, &length) != 0;
        const bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        CloseHandle(process);
        if (named && alive) images.emplace_back(entry.th32ProcessID, std::string(path, length));
    }
    CloseHandle(snapshot);
    return images;
}

}  // namespace

AppProcess::~AppProcess() {
    Kill();
    KillBinProcesses();
    RemoveDirs();
}

bool AppProcess::WriteSeedFile(const std::string& dir, const SeedFile& file, std::string* error) const {
    const std::string path = dir + "\\" + file.name;
    if (file.directory) {
        if (!CreateDirectoryA(path.c_str(), nullptr)) {
            if (error) *error = "cannot create the folder " + path;
            return false;
        }
    } else if (!WriteWholeFile(path, file.bytes)) {
        if (error) *error = "cannot write " + path;
        return false;
    }
    if (file.attributes != 0 && !SetFileAttributesA(path.c_str(), file.attributes)) {
        if (error) *error = "cannot set attributes of " + path;
        return false;
    }
    return true;
}

bool AppProcess::MakeBinFolder(const BinFolder& bin, const std::string& exe, std::string* error) {
    bin_dir_ = MakeTempFolder("tw-ui-bin");
    if (bin_dir_.empty()) {
        if (error) *error = "cannot create a bin folder";
        return false;
    }
    const std::string fake = bin.fake_exe.empty() ? FakeExePath() : ToWindowsPath(bin.fake_exe);
    const bool wants_fake = bin.spawner == Spawner::kStandIn || !bin.commands.empty();
    if (wants_fake && (fake.empty() || GetFileAttributesA(fake.c_str()) == INVALID_FILE_ATTRIBUTES)) {
        if (error) *error = "no stand-in at \"" + fake + "\" (TRACEWICK_FAKE_EXE)";
        return false;
    }
    const auto copy = [&](const std::string& from, const std::string& name) {
        if (CopyFileA(from.c_str(), (bin_dir_ + "\\" + name).c_str(), TRUE)) return true;
        if (error) *error = "cannot copy " + from + " to " + bin_dir_ + " as " + name;
        return false;
    };
    const auto script = [&](const std::string& name, const std::string& text) {
        if (WriteWholeFile(bin_dir_ + "\\" + name + ".script", text)) return true;
        if (error) *error = "cannot write the script " + name + ".script";
        return false;
    };
    // The program finds conspawn.exe in its own folder, as where it was built.
    if (!copy(exe, FileNameOf(exe))) return false;
    switch (bin.spawner) {
        case Spawner::kReal:
            if (!copy(FolderOf(exe) + "\\conspawn.exe", "conspawn.exe")) return false;
            break;
        case Spawner::kMissing: break;
        case Spawner::kStandIn:
            if (!copy(fake, "conspawn.exe") || !script("conspawn", bin.spawner_script)) return false;
            break;
    }
    for (const StandInCommand& command : bin.commands) {
        if (!copy(fake, command.name + ".exe") || !script(command.name, command.script)) return false;
    }
    for (const SeedFile& file : bin.files)
        if (!WriteSeedFile(bin_dir_, file, error)) return false;
    return true;
}

bool AppProcess::Start(const LaunchOptions& options, std::string* error) {
    if (process_ || !work_dir_.empty()) {
        if (error) *error = "already started";
        return false;
    }
    const std::string exe = options.exe.empty() ? TracewickExePath() : ToWindowsPath(options.exe);
    if (exe.empty()) {
        if (error) *error = "TRACEWICK_EXE is not set";
        return false;
    }
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (error) *error = "no program at " + exe;
        return false;
    }
    work_dir_ = MakeTempFolder("tw-ui");
    if (work_dir_.empty()) {
        if (error) *error = "cannot create a working directory";
        return false;
    }
    for (const SeedFile& file : options.files)
        if (!WriteSeedFile(work_dir_, file, error)) return false;
    exe_ = exe;
    if (options.bin) {
        if (!MakeBinFolder(*options.bin, exe, error)) return false;
        exe_ = bin_dir_ + "\\" + FileNameOf(exe);
    }
    return Launch(options.args, error);
}

bool AppProcess::Restart(const std::vector<std::string>& args, std::string* error) {
    if (exe_.empty()) {
        if (error) *error = "never started";
        return false;
    }
    Kill();
    return Launch(args, error);
}

bool AppProcess::Launch(const std::vector<std::string>& args, std::string* error) {
    std::string command_line = QuoteArgument(exe_);
    for (const std::string& arg : args) command_line += " " + QuoteArgument(arg);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    start_tick_ = GetTickCount();
    if (!CreateProcessA(exe_.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, work_dir_.c_str(),
                        &startup, &info)) {
        if (error) *error = "CreateProcess failed with error " + std::to_string(GetLastError()) + " for " + command_line;
        return false;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    return true;
}

bool AppProcess::IsRunning() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool AppProcess::WaitForExit(DWORD timeout_ms, DWORD* exit_code) const {
    if (!process_ || WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_, &code)) return false;
    if (exit_code) *exit_code = code;
    return true;
}

void AppProcess::Kill() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 0xDEAD);
        WaitForSingleObject(process_, kExitTimeoutMs);
    }
    CloseHandle(process_);
    process_ = nullptr;
}

std::vector<DWORD> AppProcess::BinProcesses(const std::string& exe_name) const {
    std::vector<DWORD> found;
    if (bin_dir_.empty()) return found;
    const std::string folder = ComparablePath(bin_dir_);
    for (const auto& [pid, image] : LiveProcessImages()) {
        const std::string path = ComparablePath(image);
        if (LowerCase(FolderOf(path)) != folder) continue;
        if (exe_name.empty() || FileNameOf(path) == LowerCase(exe_name)) found.push_back(pid);
    }
    return found;
}

void AppProcess::KillBinProcesses() const {
    for (DWORD pid : BinProcesses("")) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!process) continue;
        TerminateProcess(process, 0xDEAD);
        WaitForSingleObject(process, kExitTimeoutMs);
        CloseHandle(process);
    }
}

void AppProcess::RemoveDirs() {
    // An image can stay locked for a moment after its process ended.
    for (std::string* dir : {&work_dir_, &bin_dir_}) {
        if (!dir->empty()) WaitUntil([&] { return DeleteTree(*dir); }, 2000);
        dir->clear();
    }
}

HWND AppProcess::FocusedWindow() const {
    const auto windows = TopLevelWindows(pid_, nullptr, nullptr, true);
    return windows.empty() ? nullptr : FocusWindowOf(windows.front());
}

HWND AppProcess::FindMessageBox() const {
    // The splash shares the caption; it has its pictures and no text item.
    for (HWND hwnd : TopLevelWindows(pid_, "#32770", "Tracewick"))
        if (!IsPropertySheet(hwnd) && GetDlgItem(hwnd, 0xFFFF) && !GetDlgItem(hwnd, 1097)) return hwnd;
    return nullptr;
}

std::optional<std::string> AppProcess::AnswerMessageBox(int button, DWORD timeout_ms) const {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, timeout_ms, process_)) return std::nullopt;
    const std::string text = MessageBoxText(box);
    // Posted: the box's own loop takes it like a click.
    if (!PostCommand(box, button) || !WaitForWindowGone(box, timeout_ms)) return std::nullopt;
    return text;
}

HWND AppProcess::WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeout_ms) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : TopLevelWindows(pid_)) {
                if (match(hwnd)) {
                    found = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeout_ms, process_);
    return found;
}

HWND AppProcess::FindSheet() const {
    for (HWND hwnd : TopLevelWindows(pid_, "#32770"))
        if (IsPropertySheet(hwnd)) return hwnd;
    return nullptr;
}

HWND AppProcess::FindSplash() const {
    // The splash: the program's captioned dialog with the start-up pictures
    // and no tab control.
    for (HWND hwnd : TopLevelWindows(pid_, "#32770", "Tracewick"))
        if (!IsPropertySheet(hwnd) && GetDlgItem(hwnd, 1097) && GetDlgItem(hwnd, IDOK)) return hwnd;
    return nullptr;
}

HWND AppProcess::WaitForSheet(DWORD timeout_ms) const {
    return WaitForWindow([](HWND hwnd) { return ClassNameOf(hwnd) == "#32770" && IsPropertySheet(hwnd); },
                         timeout_ms);
}

HWND AppProcess::WaitForSplash(DWORD timeout_ms) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindSplash()) != nullptr; }, timeout_ms, process_);
    return found;
}

HWND AppProcess::FindDialog(const char* caption) const {
    for (HWND hwnd : TopLevelWindows(pid_, "#32770", caption))
        if (!IsPropertySheet(hwnd)) return hwnd;
    return nullptr;
}

HWND AppProcess::WaitForDialog(const char* caption, DWORD timeout_ms) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialog(caption)) != nullptr; }, timeout_ms, process_);
    return found;
}

bool AppProcess::WaitForWindowGone(HWND hwnd, DWORD timeout_ms) const {
    return WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, timeout_ms, process_);
}

std::optional<FileState> AppProcess::ReadFile(const std::string& name) const {
    const std::string path = work_dir_ + "\\" + name;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    FileState state;
    state.attributes = attributes;
    char chunk[4096];
    DWORD read = 0;
    while (::ReadFile(handle, chunk, sizeof chunk, &read, nullptr) && read > 0) state.bytes.append(chunk, read);
    CloseHandle(handle);
    return state;
}

std::string MessageBoxText(HWND box) { return ControlText(box, 0xFFFF); }

// ---------------------------------------------------------------- pages that run commands

bool SetText(HWND control, const std::string& text) {
    bool ok = false;
    const LRESULT set = SendA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok);
    return control && ok && set != 0;
}

bool TypeIntoCombo(HWND combo, const std::string& text) {
    const auto edits = ChildWindowsOfClass(combo, "Edit");
    return !edits.empty() && SetText(edits.front(), text) && TextOf(combo) == text;
}

bool IsChecked(HWND button) { return SendA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool WaitForRunEnd(HWND page, DWORD timeout_ms, HANDLE process) {
    const HWND run = GetDlgItem(page, 1042);
    return run && WaitUntil([&] { return IsWindowEnabled(run) != FALSE; }, timeout_ms, process);
}

bool WaitForPaneText(HWND pane, const std::string& needle, DWORD timeout_ms, HANDLE process) {
    return WaitUntil([&] { return PaneText(pane).find(needle) != std::string::npos; }, timeout_ms, process);
}

std::optional<std::vector<std::string>> CloseAndReadCombo(HWND sheet, HWND combo) {
    HMODULE probe = ProbeLibrary();
    auto* hook_proc = probe ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                                  GetProcAddress(probe, "TracewickProbeCallWndProcRet")))
                            : nullptr;
    if (!hook_proc) return std::nullopt;
    // A named block the probe finds by the program's process id, and that
    // outlives the program because the test holds it. Layout, shared with
    // menu_probe.cpp: the combo's handle as a uint64, a uint32 item count
    // (0xFFFFFFFE until the probe answers), then per item a uint32 length
    // and its bytes.
    constexpr DWORD kBlockLength = 65536;
    const std::string name = "TracewickUiProbe.ComboAtClose." + std::to_string(ProcessIdOf(sheet));
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockLength, name.c_str());
    if (!mapping) return std::nullopt;
    std::optional<std::vector<std::string>> result;
    if (auto* block = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kBlockLength))) {
        const std::uint64_t handle = reinterpret_cast<std::uintptr_t>(combo);
        const std::uint32_t unanswered = 0xFFFFFFFEu;
        std::memcpy(block, &handle, sizeof handle);
        std::memcpy(block + sizeof handle, &unanswered, sizeof unanswered);
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, hook_proc, probe, GetWindowThreadProcessId(sheet, nullptr));
        if (hook) {
            // Sent, so that the hook sees the handler return; a close box or
            // Alt+F4 sends it the same way.
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, kWindowTimeoutMs, &ignored);
            // A message sent from another thread is handled inside the
            // sheet's GetMessage, which then waits on for a posted one
            // before its modal loop sees that the sheet has ended.
            PostMessageA(sheet, WM_NULL, 0, 0);
            // Wine may answer the send before the return hook has run.
            std::uint32_t count = unanswered;
            WaitUntil(
                [&] {
                    std::memcpy(&count, block + sizeof handle, sizeof count);
                    return count != unanswered;
                },
                kWindowTimeoutMs);
            UnhookWindowsHookEx(hook);
            if (count < 0xFFFFFFFEu) {
                std::vector<std::string> items;
                std::size_t at = sizeof handle + sizeof count;
                for (std::uint32_t i = 0; i < count; ++i) {
                    std::uint32_t length = 0;
                    if (at + sizeof length > kBlockLength) break;
                    std::memcpy(&length, block + at, sizeof length);
                    at += sizeof length;
                    if (at + length > kBlockLength) break;
                    items.emplace_back(block + at, length);
                    at += length;
                }
                if (items.size() == count) result = std::move(items);
            }
        }
        UnmapViewOfFile(block);
    }
    CloseHandle(mapping);
    return result;
}

// ---------------------------------------------------------------- failure artifacts

namespace {

const AppProcess* g_process_under_test = nullptr;

bool SaveScreenBmp(const std::string& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    bool ok = memory && bitmap;
    HGDIOBJ old = ok ? SelectObject(memory, bitmap) : nullptr;
    ok = ok && BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    if (old) SelectObject(memory, old);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    ok = ok && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                         reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) == height;
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!ok) return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&header, sizeof header, 1, out) == 1 &&
         std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return std::fclose(out) == 0 && ok;
}

void DescribeWindow(FILE* out, HWND hwnd, int depth) {
    const RECT rect = ScreenRectOf(hwnd);
    std::string text = TextOf(hwnd);
    if (text.size() > 4000) text = text.substr(0, 4000) + "...";
    std::fprintf(out, "%*s%p id=%d class=%s %s%s rect=(%ld,%ld,%ld,%ld) text=\"%s\"\n", depth * 2, "",
                 static_cast<void*>(hwnd), GetDlgCtrlID(hwnd), ClassNameOf(hwnd).c_str(),
                 IsWindowVisible(hwnd) ? "visible" : "hidden", IsWindowEnabled(hwnd) ? "" : " disabled", rect.left,
                 rect.top, rect.right, rect.bottom, text.c_str());
}

struct DescribeState {
    FILE* out;
    HWND parent;
    int depth;
};

BOOL CALLBACK DescribeChild(HWND hwnd, LPARAM lparam) {
    auto* state = reinterpret_cast<DescribeState*>(lparam);
    if (GetParent(hwnd) != state->parent) return TRUE;  // grandchildren come under their parent
    DescribeWindow(state->out, hwnd, state->depth);
    DescribeState inner{state->out, hwnd, state->depth + 1};
    EnumChildWindows(hwnd, DescribeChild, reinterpret_cast<LPARAM>(&inner));
    return TRUE;
}

void SaveWindowTexts(const std::string& path, const AppProcess& process) {
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return;
    std::fprintf(out, "pid %lu, %s\n", process.pid(), process.IsRunning() ? "running" : "ended");
    for (HWND top : TopLevelWindows(process.pid(), nullptr, nullptr, true)) {
        DescribeWindow(out, top, 0);
        if (IsPropertySheet(top)) {
            const Sheet sheet(top);
            std::fprintf(out, "  tabs:");
            for (const std::string& caption : sheet.TabCaptions()) std::fprintf(out, " \"%s\"", caption.c_str());
            std::fprintf(out, "; active position %d\n", sheet.ActivePosition());
        }
        DescribeState state{out, top, 1};
        EnumChildWindows(top, DescribeChild, reinterpret_cast<LPARAM>(&state));
    }
    // What the program left in its working directory.
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((process.work_dir() + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        std::fprintf(out, "\nworking directory %s:\n", process.work_dir().c_str());
        do {
            if (data.cFileName[0] == '.') continue;
            std::fprintf(out, "  %s attributes=0x%lx", data.cFileName, data.dwFileAttributes);
            if (const auto state = process.ReadFile(data.cFileName)) {
                std::fprintf(out, " bytes:");
                for (std::size_t i = 0; i < state->bytes.size() && i < 512; ++i)
                    std::fprintf(out, " %02X", static_cast<unsigned char>(state->bytes[i]));
            }
            std::fprintf(out, "\n");
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    std::fclose(out);
}

class FailureListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { saved_ = false; }
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        if (saved_ || !result.failed()) return;
        saved_ = true;  // the first failure shows the state; later ones follow from it
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name =
            info ? std::string(info->test_suite_name()) + "." + info->name() : std::string("unknown");
        const std::string folder = SaveFailureArtifacts(name);
        if (!folder.empty()) std::printf("[ artifacts ] %s\n", folder.c_str());
    }
    bool saved_ = false;
};

}  // namespace

void SetProcessUnderTest(const AppProcess* process) { g_process_under_test = process; }

std::string SaveFailureArtifacts(const std::string& name) {
    std::string root = GetEnv("TRACEWICK_UI_ARTIFACTS");
    if (root.empty()) return {};
    root = ToWindowsPath(root);
    CreateDirectoryA(root.c_str(), nullptr);
    std::string safe = name;
    for (char& c : safe)
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '<' || c == '>' || c == '|') c = '_';
    const std::string folder = root + "\\" + safe;
    CreateDirectoryA(folder.c_str(), nullptr);
    SaveScreenBmp(folder + "\\screen.bmp");
    if (g_process_under_test && !g_process_under_test->work_dir().empty())
        SaveWindowTexts(folder + "\\windows.txt", *g_process_under_test);
    return folder;
}

void InstallFailureListener() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    ::testing::UnitTest::GetInstance()->listeners().Append(new FailureListener);
}

std::size_t CountOf(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

std::string Visible(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace tracewick::ui
