// UI test harness; see harness.h. Test thread only.
#include "tests/ui/harness.h"

#include <commctrl.h>
#include <richedit.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>

#include "framework/process_start.h"

namespace tracewick::ui {
namespace {

constexpr UINT kSendTimeoutMs = 5000;

std::string Env(const char* name) { return std::getenv(name) ? std::getenv(name) : ""; }
std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }
std::string NameOf(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }
std::string MakeTempFolder(const char* prefix) {
    static unsigned serial = 0;
    char temp[MAX_PATH] = {};
    // The tick, as a folder of an earlier driver with the same id may be left.
    const std::string dir = std::string(GetTempPathA(sizeof temp, temp) ? temp : "") + prefix + "-" +
                            std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) + "-" +
                            std::to_string(++serial);
    return CreateDirectoryA(dir.c_str(), nullptr) ? dir : "";
}
bool Exists(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    return find != INVALID_HANDLE_VALUE && FindClose(find);
}
UniqueKernelHandle StartProcess(const char* exe, std::string command_line, const char* dir, DWORD* pid) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!tracewick::StartProcessRetrying([&] {
            return CreateProcessA(exe, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir, &startup, &info) !=
                   FALSE;
        }))
        return UniqueKernelHandle();
    UniqueKernelHandle thread(info.hThread);
    if (pid) *pid = info.dwProcessId;
    return UniqueKernelHandle(info.hProcess);
}
// Runs a program of the build machine itself, which Wine starts from
// CreateProcess, where Windows has no way in (a link to a device, a
// screenshot); waits for the file it makes, as Wine gives no process handle.
bool RunUnix(const std::string& command_line, const std::string& made) {
    StartProcess(nullptr, command_line, nullptr, nullptr);
    return WaitUntil([&] { return Exists(made); });
}
// Of a file yet to be made: Wine converts the paths of existing folders only.
std::string UnixPathOf(const std::string& path) {
    const auto convert = reinterpret_cast<char* (*)(LPCWSTR)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    const std::string folder = FolderOf(path);
    char* unix_path = convert ? convert(std::wstring(folder.begin(), folder.end()).c_str()) : nullptr;
    const std::string out = unix_path ? unix_path + ("/" + NameOf(path)) : "";
    if (unix_path) HeapFree(GetProcessHeap(), 0, unix_path);
    return out;
}
bool WriteSeed(const std::string& dir, const SeedFile& file, std::string* error) {
    const std::string path = dir + "\\" + file.name;
    bool ok = file.kind == SeedFile::kFolder ? CreateDirectoryA(path.c_str(), nullptr) != 0
              : file.kind == SeedFile::kFile ? (std::ofstream(path, std::ios::binary) << file.bytes << std::flush).good()
                                             : RunUnix("/bin/ln -s /dev/full " + UnixPathOf(path), path);
    ok = ok && (file.attributes == 0 || SetFileAttributesA(path.c_str(), file.attributes));
    if (!ok) *error = "cannot make " + path;
    return ok;
}
BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lparam) {
    auto* found = reinterpret_cast<std::pair<const char*, std::vector<HWND>>*>(lparam);
    if (ClassOf(hwnd) == found->first) found->second.push_back(hwnd);
    return TRUE;
}
// Waits for the end, as a killed process may still hold its files a moment.
void End(HANDLE process) {
    if (process && TerminateProcess(process, 0xDEAD)) WaitForSingleObject(process, kWaitMs);
}

// Saves a screenshot at a test's first failure; later ones follow from it.
class FailureListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { saved_ = false; }
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string folder = ToWindowsPath(Env("TRACEWICK_UI_ARTIFACTS"));
        if (saved_ || !result.failed() || !info || folder.empty()) return;
        saved_ = true;
        std::string name = std::string(info->test_suite_name()) + "." + info->name() + ".png";
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) || c == '.' ? c : '_';
        CreateDirectoryA(folder.c_str(), nullptr);
        if (RunUnix("/usr/bin/import -window root " + UnixPathOf(folder + "\\" + name), folder + "\\" + name))
            std::printf("[ artifacts ] %s\n", UnixPathOf(folder + "\\" + name).c_str());
    }
    bool saved_ = false;
};

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms, HANDLE process) {
    for (const ULONGLONG start = GetTickCount64();;) {
        if (condition()) return true;
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= timeout_ms) return false;
        const DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(10, timeout_ms - elapsed));
        // A process that ended changes nothing more: one last look.
        if (process && WaitForSingleObject(process, wait) == WAIT_OBJECT_0) return condition();
        if (!process) Sleep(wait);
    }
}
LRESULT Send(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, bool* ok) {
    DWORD_PTR result = 0;
    const bool sent = SendMessageTimeoutA(hwnd, msg, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    if (ok) *ok = sent;
    return static_cast<LRESULT>(result);
}
std::string TextOf(HWND hwnd) {
    bool ok = false;
    const LRESULT length = hwnd ? Send(hwnd, WM_GETTEXTLENGTH, 0, 0, &ok) : -1;
    std::string text(ok && length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
    const LRESULT copied = ok ? Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &ok) : 0;
    text.resize(ok && copied > 0 ? std::min<std::size_t>(static_cast<std::size_t>(copied), std::strlen(text.c_str())) : 0);
    return text;
}
std::string Utf8(const std::wstring& text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(std::max(0, WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                                          bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr))));
    return bytes;
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
HWND Child(HWND parent, const char* class_name) {
    const std::vector<HWND> found = Children(parent, class_name);
    return found.empty() ? nullptr : found.front();
}
std::vector<std::string> Items(HWND control) {
    const bool combo = ClassOf(control) == "ComboBox";
    std::vector<std::string> items;
    for (LRESULT i = 0, count = Send(control, combo ? CB_GETCOUNT : LB_GETCOUNT); i < count; ++i) {
        const LRESULT length = Send(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(i));
        std::wstring wide(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageTimeoutW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG, kSendTimeoutMs, nullptr);
        std::string item(wide.size() * 2, '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, item.data(), static_cast<int>(item.size()), nullptr, nullptr);
        items.push_back(item.c_str());
    }
    return items;
}
bool SetText(HWND control, const std::string& text) {
    bool ok = false;
    return control && Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok) && ok;
}
bool TypeInto(HWND combo, const std::string& text) {
    return SetText(Child(combo, "Edit"), text) && TextOf(combo) == text;
}
bool IsChecked(HWND button) { return Send(button, BM_GETCHECK) == BST_CHECKED; }
bool IsEnabled(HWND hwnd) { return hwnd && IsWindowEnabled(hwnd); }
bool Click(HWND button) {
    bool ok = false;
    Send(button, BM_CLICK, 0, 0, &ok);
    return button && ok;
}
bool PostClick(HWND button) { return button && PostMessageA(button, BM_CLICK, 0, 0); }
std::string MaskHeaders(const std::string& pane) {
    // A file of ours starts with a byte order mark before its first header.
    if (pane.rfind("\xEF\xBB\xBF", 0) == 0) return "\xEF\xBB\xBF" + MaskHeaders(pane.substr(3));
    static const std::regex header(
        "(Sun|Mon|Tues|Wednes|Thurs|Fri|Satur)day, (January|February|March|April|May|June|July|August|September|"
        "October|November|December) [0-3][0-9], [0-9]{4} at [0-2][0-9]:[0-5][0-9]:[0-5][0-9]");
    std::string out;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 2) {
        end = pane.find("\r\n", start);
        const std::string line = pane.substr(start, end == std::string::npos ? end : end - start);
        out += (std::regex_match(line, header) ? "<header>" : line) + (end == std::string::npos ? "" : "\r\n");
    }
    return out;
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
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    const std::size_t from = at > 200 ? at - 40 : 0;
    ADD_FAILURE() << "texts part at byte " << at << " (lengths " << expected.size() << ", " << actual.size()
                  << ")\n  expected: \"" << Visible(expected.substr(from, 400)) << "\"\n  actual:   \""
                  << Visible(actual.substr(from, 400)) << "\"";
}
// CMake hands over Unix paths; Wine maps the Unix root to drive Z:.
std::string ToWindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
AppProcess::~AppProcess() {
    Kill();
    KillBinProcesses();
    // By the build machine's rm: Wine cannot delete a link to a device.
    for (const std::string& dir : {work_dir_, bin_dir_}) {
        if (dir.empty()) continue;
        StartProcess(nullptr, "/bin/rm -rf " + UnixPathOf(dir), nullptr, nullptr);
        WaitUntil([&] { return !Exists(dir); }, 2000);
    }
}
bool AppProcess::Start(const LaunchOptions& options, std::string* error) {
    const std::string exe = ToWindowsPath(options.exe.empty() ? Env("TRACEWICK_EXE") : options.exe);
    work_dir_ = MakeTempFolder("tw-ui");
    if (exe.empty() || work_dir_.empty()) return *error = "no program (TRACEWICK_EXE) or no working folder", false;
    std::vector<std::pair<std::string, SeedFile>> files;  // folder, file
    for (const SeedFile& file : options.files) files.emplace_back(work_dir_, file);
    exe_ = exe;
    if (options.bin) {
        // The program finds conspawn.exe beside itself, as where it was built.
        const BinFolder& bin = *options.bin;
        const std::string fake = ToWindowsPath(bin.fake_exe.empty() ? Env("TRACEWICK_FAKE_EXE") : bin.fake_exe);
        bin_dir_ = MakeTempFolder("tw-ui-bin");
        exe_ = bin_dir_ + "\\" + NameOf(exe);
        std::vector<std::pair<std::string, std::string>> copies = {{exe, NameOf(exe)}}, commands = bin.commands;
        if (bin.spawner == Spawner::kReal) copies.emplace_back(FolderOf(exe) + "\\conspawn.exe", "conspawn.exe");
        if (bin.spawner == Spawner::kStandIn) commands.emplace_back("conspawn", bin.spawner_script);
        for (const auto& [name, script] : commands) {
            copies.emplace_back(fake, name + ".exe");
            files.emplace_back(bin_dir_, SeedFile{name + ".script", script});
        }
        for (const SeedFile& file : bin.files) files.emplace_back(bin_dir_, file);
        for (const auto& [from, name] : copies)
            if (!CopyFileA(from.c_str(), (bin_dir_ + "\\" + name).c_str(), TRUE))
                return *error = "cannot copy " + from + " as " + name, false;
    }
    for (const auto& [folder, file] : files)
        if (!WriteSeed(folder, file, error)) return false;
    return Restart(options.args, error);
}
bool AppProcess::Restart(const std::vector<std::string>& args, std::string* error) {
    Kill();
    std::string command_line = "\"" + exe_ + "\"";
    for (const std::string& arg : args) command_line += " " + arg;
    process_ = StartProcess(exe_.c_str(), command_line, work_dir_.c_str(), &pid_);
    if (!process_) *error = "cannot start " + command_line + ": error " + std::to_string(GetLastError());
    return static_cast<bool>(process_);
}
bool AppProcess::WaitForExit(DWORD timeout_ms, DWORD* exit_code) const {
    DWORD code = 0;
    const bool ended = process_ && WaitForSingleObject(process_.Get(), timeout_ms) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process_.Get(), &code);
    if (ended && exit_code) *exit_code = code;
    return ended;
}
void AppProcess::Kill() {
    End(process_.Get());
    process_.Reset();
}
std::vector<DWORD> AppProcess::BinProcesses() const {
    std::vector<DWORD> found;
    UniqueFile snapshot(bin_dir_.empty() ? INVALID_HANDLE_VALUE : CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
        UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        char path[MAX_PATH * 2] = {};
        DWORD length = sizeof path;
        const bool alive = process && QueryFullProcessImageNameA(process.Get(), 0, path, &length) &&
                           WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
        // The program itself runs from there too, but is no command.
        if (alive && entry.th32ProcessID != pid_ && lstrcmpiA(FolderOf(path).c_str(), bin_dir_.c_str()) == 0)
            found.push_back(entry.th32ProcessID);
    }
    return found;
}
void AppProcess::KillBinProcesses() const {
    for (DWORD pid : BinProcesses())
        End(UniqueKernelHandle(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)).Get());
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
    WaitUntil([&] { return (found = Find(match)) != nullptr; }, timeout_ms, process_.Get());
    return found;
}
HWND AppProcess::WaitForSheet(DWORD timeout_ms) const { return WaitFor(IsSheet, timeout_ms); }
HWND AppProcess::WaitForDialog(const std::string& caption) const {
    return WaitFor([&](HWND hwnd) { return ClassOf(hwnd) == "#32770" && TextOf(hwnd) == caption; });
}
bool AppProcess::WaitGone(HWND hwnd, DWORD timeout_ms) const {
    return WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, timeout_ms, process_.Get());
}
std::optional<std::string> AppProcess::AnswerMessageBox(int button) const {
    // The splash shares the caption, but has pictures.
    const HWND box = WaitFor([](HWND hwnd) {
        return ClassOf(hwnd) == "#32770" && GetDlgItem(hwnd, 0xFFFF) && !GetDlgItem(hwnd, IDC_PICTURE16) &&
               TextOf(hwnd) == "Tracewick";
    });
    if (!box) return std::nullopt;
    const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
    // Posted: the box's own loop takes it like a click.
    if (!PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0) || !WaitGone(box)) return std::nullopt;
    return text;
}
std::optional<FileState> AppProcess::ReadFile(const std::string& name) const {
    const std::string path = work_dir_ + "\\" + name;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return FileState{std::string(std::istreambuf_iterator<char>(file), {}), GetFileAttributesA(path.c_str())};
}
bool AppProcess::SendPointer(HWND hwnd, UINT message, Arg wparam, Arg lparam, void* data, std::size_t size,
                             LRESULT* answer) const {
    const auto remote = static_cast<char*>(VirtualAllocEx(process_.Get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    const auto value = [&](Arg arg) { return arg.pointer ? reinterpret_cast<LPARAM>(remote + arg.value) : arg.value; };
    bool ok = remote && WriteProcessMemory(process_.Get(), remote, data, size, nullptr);
    const LRESULT got = ok ? Send(hwnd, message, static_cast<WPARAM>(value(wparam)), value(lparam), &ok) : 0;
    if (answer) *answer = got;
    ok = ok && ReadProcessMemory(process_.Get(), remote, data, size, nullptr);
    if (remote) VirtualFreeEx(process_.Get(), remote, 0, MEM_RELEASE);
    return ok;
}
// Counted in UTF-16 units: WM_GETTEXTLENGTH answers 0 under Wine for a pane with double-byte text.
std::string AppProcess::RichText(HWND rich_edit) const {
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT count = 0, got = 0;
    if (!SendPointer(rich_edit, EM_GETTEXTLENGTHEX, At(0), {}, &length, sizeof length, &count)) return {};
    // The request, then room for the text and its end.
    std::vector<char> block(sizeof(GETTEXTEX) + (std::max<LRESULT>(count, 0) + 1) * sizeof(wchar_t));
    const GETTEXTEX request{static_cast<DWORD>(block.size() - sizeof(GETTEXTEX)), GT_DEFAULT, 1200, nullptr, nullptr};
    std::memcpy(block.data(), &request, sizeof request);
    if (!SendPointer(rich_edit, EM_GETTEXTEX, At(0), At(sizeof request), block.data(), block.size(), &got)) return {};
    std::wstring text(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, count)), L'\0');
    std::memcpy(text.data(), block.data() + sizeof request, text.size() * sizeof(wchar_t));
    return Utf8(text);
}
bool IsSheet(HWND hwnd) { return ClassOf(hwnd) == "#32770" && !Children(hwnd, WC_TABCONTROLA).empty(); }
HWND ActivePage(HWND sheet) { return reinterpret_cast<HWND>(Send(sheet, PSM_GETCURRENTPAGEHWND)); }
HWND PageAt(HWND sheet, int position) {
    return reinterpret_cast<HWND>(Send(sheet, PSM_INDEXTOHWND, static_cast<WPARAM>(position)));
}
// A page window keeps its template's caption, which is its tab's. A page
// never opened has no window yet (About): it is opened once to be named.
int PositionOf(HWND sheet, const std::string& caption) {
    const HWND active = ActivePage(sheet), tabs = Child(sheet, WC_TABCONTROLA);
    for (int position = 0; position < Send(tabs, TCM_GETITEMCOUNT); ++position) {
        if (!PageAt(sheet, position) && Send(sheet, PSM_SETCURSEL, static_cast<WPARAM>(position)))
            Send(sheet, PSM_SETCURSEL, 0, reinterpret_cast<LPARAM>(active));
        if (TextOf(PageAt(sheet, position)) == caption) return position;
    }
    return -1;
}
void InstallFailureListener() { ::testing::UnitTest::GetInstance()->listeners().Append(new FailureListener); }
}  // namespace tracewick::ui
