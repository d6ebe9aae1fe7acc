// UI test harness; see harness.h. Test thread only.
#include "tests/ui/harness.h"

#include <commctrl.h>
#include <prsht.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <regex>

namespace tracewick::ui {

namespace {

constexpr UINT kSendTimeoutMs = 5000;

LRESULT SendW(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, bool* ok) {
    DWORD_PTR result = 0;
    *ok = SendMessageTimeoutW(hwnd, msg, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
    return static_cast<LRESULT>(result);
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }
std::string NameOf(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

// Long form, lower case: the same file may be named by a short path.
std::string Comparable(const std::string& path) {
    char buffer[MAX_PATH * 2] = {};
    const DWORD length = GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
    return Lower(length > 0 && length < sizeof buffer ? std::string(buffer, length) : path);
}

std::string MakeTempFolder(const char* prefix) {
    char temp[MAX_PATH] = {};
    if (!GetTempPathA(sizeof temp, temp)) return {};
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string dir = std::string(temp) + prefix + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(++serial);
        if (CreateDirectoryA(dir.c_str(), nullptr)) return dir;
    }
    return {};
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

void DeleteTree(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
        const std::string path = dir + "\\" + data.cFileName;
        if (!std::strcmp(data.cFileName, ".") || !std::strcmp(data.cFileName, "..")) continue;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) DeleteTree(path);
        else DeleteFileA(path.c_str());
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    RemoveDirectoryA(dir.c_str());
}

// Runs a program of the build machine itself, which Wine starts from
// CreateProcess (used where Windows has no way in: a link to a device, a
// screenshot), and waits for the file it makes: Wine gives no handle to wait on.
bool RunUnix(std::string command_line, const std::string& made) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return WaitUntil([&] {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(made.c_str(), &data);
        return find != INVALID_HANDLE_VALUE && FindClose(find);
    });
}

std::string UnixPathOf(const std::string& path) {
    using Convert = char* (*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::wstring wide(path.begin(), path.end());
    char* unix_path = convert ? convert(wide.c_str()) : nullptr;
    const std::string out = unix_path ? unix_path : "";
    if (unix_path) HeapFree(GetProcessHeap(), 0, unix_path);
    return out;
}

bool WriteSeed(const std::string& dir, const SeedFile& file, std::string* error) {
    const std::string path = dir + "\\" + file.name;
    bool ok = file.kind == SeedFile::kFolder ? CreateDirectoryA(path.c_str(), nullptr) != 0
              : file.kind == SeedFile::kFile ? WriteWholeFile(path, file.bytes)
                                             : RunUnix("/bin/ln -s /dev/full " + UnixPathOf(dir) + "/" + file.name, path);
    ok = ok && (file.attributes == 0 || SetFileAttributesA(path.c_str(), file.attributes));
    if (!ok) *error = "cannot make " + path;
    return ok;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lparam) {
    auto* found = reinterpret_cast<std::pair<const char*, std::vector<HWND>>*>(lparam);
    if (ClassOf(hwnd) == found->first) found->second.push_back(hwnd);
    return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms, HANDLE process) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (condition()) return true;
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= timeout_ms) return false;
        const DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(10, timeout_ms - elapsed));
        // A process that ended changes nothing more: one last look.
        if (process && WaitForSingleObject(process, wait) == WAIT_OBJECT_0) return condition();
        if (!process) Sleep(wait);
    }
}

// ---------------------------------------------------------------- windows

LRESULT Send(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, bool* ok) {
    DWORD_PTR result = 0;
    const bool sent = SendMessageTimeoutA(hwnd, msg, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    if (ok) *ok = sent;
    return static_cast<LRESULT>(result);
}

std::string TextOf(HWND hwnd) {
    bool ok = false;
    const LRESULT length = hwnd ? Send(hwnd, WM_GETTEXTLENGTH, 0, 0, &ok) : -1;
    if (!ok || length < 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &ok);
    text.resize(ok && copied > 0 ? std::min<std::size_t>(static_cast<std::size_t>(copied), std::strlen(text.c_str())) : 0);
    return text;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    return GetClassNameA(hwnd, name, sizeof name) > 0 ? name : "";
}

std::vector<HWND> Children(HWND parent, const char* class_name) {
    std::pair<const char*, std::vector<HWND>> found{class_name, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

std::vector<std::string> Items(HWND control) {
    const bool combo = ClassOf(control) == "ComboBox";
    const UINT count_msg = combo ? CB_GETCOUNT : LB_GETCOUNT, length_msg = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT text_msg = combo ? CB_GETLBTEXT : LB_GETTEXT;
    bool ok = false;
    const LRESULT count = SendW(control, count_msg, 0, 0, &ok);
    std::vector<std::string> items;
    for (LRESULT i = 0; ok && i < count; ++i) {
        const LRESULT length = SendW(control, length_msg, static_cast<WPARAM>(i), 0, &ok);
        std::wstring wide(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        if (ok) SendW(control, text_msg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()), &ok);
        std::string item(wide.size() * 2, '\0');
        item.resize(static_cast<std::size_t>(std::max(0, WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, item.data(),
                                                                            static_cast<int>(item.size()), nullptr, nullptr) - 1)));
        items.push_back(item);
    }
    return items;
}

bool SetText(HWND control, const std::string& text) {
    bool ok = false;
    return control && Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok) && ok;
}

bool TypeInto(HWND combo, const std::string& text) {
    const auto edits = Children(combo, "Edit");
    return !edits.empty() && SetText(edits.front(), text) && TextOf(combo) == text;
}

bool IsChecked(HWND button) { return Send(button, BM_GETCHECK) == BST_CHECKED; }
bool IsEnabled(HWND hwnd) { return hwnd && IsWindowEnabled(hwnd); }

bool Click(HWND button) {
    bool ok = false;
    Send(button, BM_CLICK, 0, 0, &ok);
    return button && ok;
}

bool PostClick(HWND button) { return button && PostMessageA(button, BM_CLICK, 0, 0); }

bool RealKey(HWND top_level, WORD virtual_key) {
    SetForegroundWindow(top_level);
    if (!WaitUntil([&] { return GetForegroundWindow() == top_level; }, 2000)) return false;
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtual_key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtual_key, MAPVK_VK_TO_VSC));
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

// ---------------------------------------------------------------- text

std::string MaskHeaders(const std::string& pane) {
    static const std::regex header(
        "(Sun|Mon|Tues|Wednes|Thurs|Fri|Satur)day, (January|February|March|April|May|June|July|August|September|"
        "October|November|December) [0-3][0-9], [0-9]{4} at [0-2][0-9]:[0-5][0-9]:[0-5][0-9]");
    std::string out;
    for (std::size_t start = 0;;) {
        const std::size_t end = pane.find("\r\n", start);
        const std::string line = pane.substr(start, end == std::string::npos ? end : end - start);
        out += std::regex_match(line, header) ? "<header>" : line;
        if (end == std::string::npos) return out;
        out += "\r\n";
        start = end + 2;
    }
}

std::string Visible(const std::string& text) {
    std::string out;
    for (const char c : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : static_cast<unsigned char>(c) < 0x20 ? hex : std::string(1, c);
    }
    return out;
}

std::size_t CountOf(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++count;
    return count;
}

std::string SettingsLines(const std::vector<std::string>& values) {
    std::string bytes;
    for (const std::string& value : values) bytes += value + "\r\r\n";
    return bytes;
}

void ExpectText(const std::string& expected, const std::string& actual) {
    if (expected == actual) return;
    const std::size_t at = static_cast<std::size_t>(
        std::mismatch(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(std::min(expected.size(), actual.size())),
                      actual.begin()).first - expected.begin());
    const std::size_t from = at > 200 ? at - 40 : 0;
    ADD_FAILURE() << "texts part at byte " << at << " (lengths " << expected.size() << ", " << actual.size()
                  << ")\n  expected: \"" << Visible(expected.substr(from, 400)) << "\"\n  actual:   \""
                  << Visible(actual.substr(from, 400)) << "\"";
}

// ---------------------------------------------------------------- the program

// CMake hands over Unix paths; Wine maps the Unix root to drive Z:.
std::string ToWindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

AppProcess::~AppProcess() {
    Kill();
    KillBinProcesses();
    // An image can stay locked for a moment after its process ended.
    for (const std::string& dir : {work_dir_, bin_dir_}) {
        if (!dir.empty())
            WaitUntil([&] { return DeleteTree(dir), GetFileAttributesA(dir.c_str()) == INVALID_FILE_ATTRIBUTES; }, 2000);
    }
}

bool AppProcess::Start(const LaunchOptions& options, std::string* error) {
    const std::string exe = ToWindowsPath(options.exe.empty() ? Env("TRACEWICK_EXE") : options.exe);
    work_dir_ = MakeTempFolder("tw-ui");
    if (exe.empty() || work_dir_.empty()) return *error = "no program (TRACEWICK_EXE) or no working folder", false;
    for (const SeedFile& file : options.files)
        if (!WriteSeed(work_dir_, file, error)) return false;
    exe_ = exe;
    if (options.bin) {
        // The program finds conspawn.exe beside itself, as where it was built.
        const BinFolder& bin = *options.bin;
        const std::string fake = ToWindowsPath(bin.fake_exe.empty() ? Env("TRACEWICK_FAKE_EXE") : bin.fake_exe);
        bin_dir_ = MakeTempFolder("tw-ui-bin");
        exe_ = bin_dir_ + "\\" + NameOf(exe);
        std::vector<std::pair<std::string, std::string>> copies = {{exe, NameOf(exe)}};  // from, name
        std::vector<SeedFile> files = bin.files;
        if (bin.spawner == Spawner::kReal) copies.emplace_back(FolderOf(exe) + "\\conspawn.exe", "conspawn.exe");
        auto commands = bin.commands;
        if (bin.spawner == Spawner::kStandIn) commands.emplace_back("conspawn", bin.spawner_script);
        for (const auto& [name, script] : commands) {
            copies.emplace_back(fake, name + ".exe");
            files.push_back({name + ".script", script});
        }
        for (const auto& [from, name] : copies) {
            if (!CopyFileA(from.c_str(), (bin_dir_ + "\\" + name).c_str(), TRUE))
                return *error = "cannot copy " + from + " as " + name, false;
        }
        for (const SeedFile& file : files)
            if (!WriteSeed(bin_dir_, file, error)) return false;
    }
    return Launch(options.args, error);
}

bool AppProcess::Restart(const std::vector<std::string>& args, std::string* error) {
    Kill();
    return Launch(args, error);
}

bool AppProcess::Launch(const std::vector<std::string>& args, std::string* error) {
    std::string command_line = "\"" + exe_ + "\"";
    for (const std::string& arg : args) command_line += " " + arg;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe_.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, work_dir_.c_str(),
                        &startup, &info))
        return *error = "cannot start " + command_line + ": error " + std::to_string(GetLastError()), false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    return true;
}

bool AppProcess::IsRunning() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool AppProcess::WaitForExit(DWORD timeout_ms, DWORD* exit_code) const {
    DWORD code = 0;
    if (!process_ || WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_, &code))
        return false;
    if (exit_code) *exit_code = code;
    return true;
}

void AppProcess::Kill() {
    if (!process_) return;
    TerminateProcess(process_, 0xDEAD);
    WaitForSingleObject(process_, kWaitMs);
    CloseHandle(process_);
    process_ = nullptr;
}

std::vector<DWORD> AppProcess::BinProcesses(const std::string& exe_name) const {
    std::vector<DWORD> found;
    HANDLE snapshot = bin_dir_.empty() ? INVALID_HANDLE_VALUE : CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (!process) continue;
        char path[MAX_PATH * 2] = {};
        DWORD length = sizeof path;
        const bool alive = QueryFullProcessImageNameA(process, 0, path, &length) &&
                           WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        CloseHandle(process);
        const std::string image = Comparable(path);
        // The program itself runs from there too, but is no command.
        if (alive && entry.th32ProcessID != pid_ && FolderOf(image) == Comparable(bin_dir_) &&
            (exe_name.empty() || NameOf(image) == Lower(exe_name)))
            found.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

void AppProcess::KillBinProcesses() const {
    for (DWORD pid : BinProcesses()) {
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
            TerminateProcess(process, 0xDEAD);
            WaitForSingleObject(process, kWaitMs);
            CloseHandle(process);
        }
    }
}

HWND AppProcess::FocusedWindow() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const HWND any = Find([](HWND) { return true; });
    return any && GetGUIThreadInfo(GetWindowThreadProcessId(any, nullptr), &info) ? info.hwndFocus : nullptr;
}

HWND AppProcess::Find(const std::function<bool(HWND)>& match) const {
    for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == pid_ && IsWindowVisible(hwnd) && match(hwnd)) return hwnd;
    }
    return nullptr;
}

HWND AppProcess::WaitFor(const std::function<bool(HWND)>& match, DWORD timeout_ms) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = Find(match)) != nullptr; }, timeout_ms, process_);
    return found;
}

HWND AppProcess::WaitForSheet(DWORD timeout_ms) const { return WaitFor(IsSheet, timeout_ms); }

// The splash: the program's captioned dialog with the start-up pictures.
HWND AppProcess::FindSplash() const {
    return Find([](HWND hwnd) { return !IsSheet(hwnd) && GetDlgItem(hwnd, IDC_PICTURE16) && TextOf(hwnd) == "Tracewick"; });
}

HWND AppProcess::WaitForDialog(const std::string& caption) const {
    return WaitFor([&](HWND hwnd) { return ClassOf(hwnd) == "#32770" && TextOf(hwnd) == caption; });
}

bool AppProcess::WaitGone(HWND hwnd, DWORD timeout_ms) const {
    return WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, timeout_ms, process_);
}

// A message box: "Tracewick" with a text item (0xFFFF) and no pictures.
HWND AppProcess::FindMessageBox() const {
    return Find([](HWND hwnd) {
        return ClassOf(hwnd) == "#32770" && GetDlgItem(hwnd, 0xFFFF) && !GetDlgItem(hwnd, IDC_PICTURE16) &&
               TextOf(hwnd) == "Tracewick";
    });
}

std::optional<std::string> AppProcess::AnswerMessageBox(int button) const {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, kWaitMs, process_)) return std::nullopt;
    const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
    // Posted: the box's own loop takes it like a click.
    if (!PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0) || !WaitGone(box)) return std::nullopt;
    return text;
}

std::optional<FileState> AppProcess::ReadFile(const std::string& name) const {
    const std::string path = work_dir_ + "\\" + name;
    FileState state{{}, GetFileAttributesA(path.c_str())};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    char chunk[65536];
    DWORD read = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) state.bytes.append(chunk, read);
    CloseHandle(file);
    return state;
}

// ---------------------------------------------------------------- the sheet

bool IsSheet(HWND hwnd) { return ClassOf(hwnd) == "#32770" && !Children(hwnd, WC_TABCONTROLA).empty(); }

HWND ActivePage(HWND sheet) { return reinterpret_cast<HWND>(Send(sheet, PSM_GETCURRENTPAGEHWND)); }

HWND PageAt(HWND sheet, int position) {
    return reinterpret_cast<HWND>(Send(sheet, PSM_INDEXTOHWND, static_cast<WPARAM>(position)));
}

// A page window keeps its template's caption, which is its tab's. A page
// never opened has no window yet (About): it is opened once to be named.
int PositionOf(HWND sheet, const std::string& caption) {
    const HWND active = ActivePage(sheet), tabs = Children(sheet, WC_TABCONTROLA).front();
    for (int position = 0; position < Send(tabs, TCM_GETITEMCOUNT); ++position) {
        if (!PageAt(sheet, position) && Send(sheet, PSM_SETCURSEL, static_cast<WPARAM>(position)))
            Send(sheet, PSM_SETCURSEL, 0, reinterpret_cast<LPARAM>(active));
        if (TextOf(PageAt(sheet, position)) == caption) return position;
    }
    return -1;
}

bool SelectPage(HWND sheet, int position) {
    Send(sheet, PSM_SETCURSEL, static_cast<WPARAM>(position));
    return position >= 0 && ActivePage(sheet) == PageAt(sheet, position);
}

// ---------------------------------------------------------------- failure artifacts

namespace {

class FailureListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { saved_ = false; }
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string root = Env("TRACEWICK_UI_ARTIFACTS");
        if (saved_ || !result.failed() || !info || root.empty()) return;
        saved_ = true;  // the first failure shows the state; later ones follow from it
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)) && c != '.'; }, '_');
        const std::string folder = ToWindowsPath(root), shot = UnixPathOf(folder) + "/" + name + ".png";
        CreateDirectoryA(folder.c_str(), nullptr);
        if (RunUnix("/usr/bin/import -window root " + shot, folder + "\\" + name + ".png"))
            std::printf("[ artifacts ] %s\n", shot.c_str());
    }
    bool saved_ = false;
};

}  // namespace

void InstallFailureListener() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FailureListener);
}

}  // namespace tracewick::ui
