// UI test harness; see harness.h. Test thread only.
#include "tests/ui/harness.h"

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
#include "framework/wide_text.h"

namespace tracewick::ui {
namespace {

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

std::string MaskHeaders(const std::string& pane) {
    // A file of ours starts with a byte order mark before its first header.
    if (pane.rfind(kUtf8Mark, 0) == 0) return kUtf8Mark + MaskHeaders(pane.substr(std::strlen(kUtf8Mark)));
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
HWND AppProcess::Find(const std::function<bool(HWND)>& match) const { return FindTopWindow(pid_, match); }
HWND AppProcess::WaitFor(const std::function<bool(HWND)>& match, DWORD timeout_ms) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = Find(match)) != nullptr; }, timeout_ms, process_.Get());
    return found;
}
HWND AppProcess::WaitForSheet(DWORD timeout_ms) const { return WaitFor(IsSheet, timeout_ms); }
HWND AppProcess::WaitForDialog(const std::string& caption) const {
    return WaitFor([&](HWND hwnd) { return ClassOf(hwnd) == "#32770" && TextOf(hwnd) == caption; });
}
HWND AppProcess::WaitForDialogWith(int control) const {
    return WaitFor([control](HWND hwnd) { return ClassOf(hwnd) == "#32770" && GetDlgItem(hwnd, control); });
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
void InstallFailureListener() { ::testing::UnitTest::GetInstance()->listeners().Append(new FailureListener); }
}  // namespace tracewick::ui
