// The command runner against the real spawner and the stand-in command, one
// row per behaviour: what a run posts, how Stop and EndNow end it, and that
// nothing it started is left running. A message-only window plays the page.
#include "runner/async_runner.h"
#include "runner/sync_runner.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tracewick {
namespace {

constexpr UINT kOutput = WM_USER + 1004;
constexpr UINT kDone = WM_USER + 1005;
constexpr RunnerTraits kTraits{kOutput, kDone, "Ping cancelled"};

std::string EnvPath(const char* variable) {
    const char* value = std::getenv(variable);
    std::string path = value ? value : "";
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
}

// What one page received, by run number.
struct Received {
    std::string output;
    std::vector<std::string> ends;
    std::vector<unsigned> runs;  // the run of every message, in order
};

class Page {
public:
    Page() {
        WNDCLASSA klass{};
        klass.lpfnWndProc = &Page::Procedure;
        klass.hInstance = ::GetModuleHandleA(nullptr);
        klass.lpszClassName = "TracewickRunnerTestPage";
        ::RegisterClassA(&klass);  // a second registration fails harmlessly
        hwnd_ = ::CreateWindowA(klass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, klass.hInstance, nullptr);
        ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Page() { ::DestroyWindow(hwnd_); }
    HWND Hwnd() const { return hwnd_; }
    Received got;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* page = reinterpret_cast<Page*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (page && (message == kOutput || message == kDone)) {
            const auto posted = TakePosted(lparam);
            page->got.runs.push_back(posted->run);
            if (message == kOutput) page->got.output += posted->text;
            if (message == kDone) page->got.ends.push_back(posted->text);
            return 0;
        }
        return ::DefWindowProcA(hwnd, message, wparam, lparam);
    }
    HWND hwnd_ = nullptr;
};

// Pumps this thread's messages until `done` holds or `ms` pass.
template <class Done>
bool PumpUntil(Done done, DWORD ms) {
    const ULONGLONG deadline = ::GetTickCount64() + ms;
    while (!done()) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    }
    return true;
}

// Live processes whose file name is `exe`.
int LiveProcesses(const char* exe) {
    int count = 0;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
        if (::lstrcmpiA(entry.szExeFile, exe) == 0) ++count;
    }
    ::CloseHandle(snapshot);
    return count;
}

enum class Spawner { kReal, kIgnoresStop, kMissing };
enum class Action { kNone, kStopAtOnce, kStopAfterOutput, kEndNowAfterStop };

struct Row {
    const char* name;
    Spawner spawner;
    const char* script;       // what the stand-in plays as ping.exe (or as conspawn.exe)
    Action action;
    const char* output;       // the output begins with this
    const char* end;          // the one end line
    DWORD at_most_ms;         // from the action (or the start) to the end line
};

const Row kRows[] = {
    {"chunks then one end line", Spawner::kReal, "out one\nsleep 50\nerr two\n", Action::kNone,
     "one\r\ntwo\r\n", "\r\n\r\nEnd of Data", 10000},
    {"missing spawner is said in the output", Spawner::kMissing, "", Action::kNone,
     "Tracewick could not start conspawn.exe", "\r\n\r\nEnd of Data", 10000},
    {"stop at once, before the spawner has its queue", Spawner::kReal, "out started\nsleep 20000\n",
     Action::kStopAtOnce, "", "\r\n\r\nPing cancelled", 3500},
    {"stop while the command prints", Spawner::kReal, "out started\nsleep 20000\nout never\n",
     Action::kStopAfterOutput, "started\r\n", "\r\n\r\nPing cancelled", 2500},
    {"a spawner ignoring the stop request is ended", Spawner::kIgnoresStop, "out busy\nsleep 20000\n",
     Action::kEndNowAfterStop, "busy\r\n", "\r\n\r\nPing cancelled", 1500},
};

// A fresh folder for each use, made the current directory so that a bare
// "conspawn.exe" is found there.
class RunnerTest : public testing::Test {
protected:
    void SetUp() override { ::GetCurrentDirectoryA(MAX_PATH, previous_); }
    void TearDown() override {
        ::SetCurrentDirectoryA(previous_);
        RemoveFolder();
    }
    void NewFolder() {
        RemoveFolder();
        static int serial = 0;
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "tw-runner-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++serial);
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        ::SetCurrentDirectoryA(folder_.c_str());
    }
    void RemoveFolder() {
        if (folder_.empty()) return;
        ::SetCurrentDirectoryA(previous_);
        for (const char* name : {"conspawn.exe", "conspawn.script", "ping.exe", "ping.script", "tracert.exe", "tracert.script"}) {
            ::DeleteFileA((folder_ + "\\" + name).c_str());
        }
        ::RemoveDirectoryA(folder_.c_str());
        folder_.clear();
    }
    // `name`.exe from `variable`, playing `script` when given.
    void Install(const std::string& name, const char* variable, const std::string& script = {}) {
        ASSERT_TRUE(::CopyFileA(EnvPath(variable).c_str(), (folder_ + "\\" + name + ".exe").c_str(), FALSE)) << name;
        if (script.empty()) return;
        const HANDLE file = ::CreateFileA((folder_ + "\\" + name + ".script").c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ::WriteFile(file, script.data(), static_cast<DWORD>(script.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    void InstallRow(const Row& row) {
        if (row.spawner == Spawner::kReal) Install("conspawn", "TRACEWICK_CONSPAWN");
        if (row.spawner == Spawner::kIgnoresStop) Install("conspawn", "TRACEWICK_FAKE", row.script);
        Install("ping", "TRACEWICK_FAKE", row.spawner == Spawner::kReal ? row.script : "");
    }

    std::string folder_;
    char previous_[MAX_PATH] = {};
};

TEST_F(RunnerTest, EveryRunEndsOnceAndLeavesNothingRunning) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        NewFolder();
        InstallRow(row);
        // Cancelling at once races the spawner's start: play it several times.
        const int rounds = row.action == Action::kStopAtOnce ? 8 : 1;
        for (int round = 0; round < rounds; ++round) {
            AsyncRunner runner(kTraits);
            Page page;
            ASSERT_TRUE(runner.Start(page.Hwnd(), 7, "conspawn.exe \"ping x\""));
            if (row.action == Action::kStopAfterOutput || row.action == Action::kEndNowAfterStop) {
                ASSERT_TRUE(PumpUntil([&] { return !page.got.output.empty(); }, 10000));
            }
            if (row.action != Action::kNone) runner.Stop();
            if (row.action == Action::kEndNowAfterStop) {
                // The stop request is ignored: nothing ends until the time-out's EndNow.
                EXPECT_FALSE(PumpUntil([&] { return !page.got.ends.empty(); }, 1000));
                runner.EndNow();
            }
            const ULONGLONG acted = ::GetTickCount64();
            ASSERT_TRUE(PumpUntil([&] { return !page.got.ends.empty(); }, 10000));
            EXPECT_LE(::GetTickCount64() - acted, row.at_most_ms);
            PumpUntil([] { return false; }, 200);  // nothing more may come
            EXPECT_EQ(page.got.output.rfind(row.output, 0), 0u) << page.got.output;
            EXPECT_EQ(page.got.output.find("never"), std::string::npos);
            EXPECT_EQ(page.got.ends, std::vector<std::string>{row.end});
            EXPECT_EQ(page.got.runs, std::vector<unsigned>(page.got.runs.size(), 7u));
            EXPECT_TRUE(PumpUntil([] { return LiveProcesses("ping.exe") + LiveProcesses("conspawn.exe") == 0; }, 3000))
                << "a run left its spawner or command running";
        }
    }
}

TEST_F(RunnerTest, OverlappingRunsEndIndependentlyWithTheirOwnNumbers) {
    NewFolder();
    Install("conspawn", "TRACEWICK_CONSPAWN");
    Install("ping", "TRACEWICK_FAKE", "out quick\nsleep 300\n");
    Install("tracert", "TRACEWICK_FAKE", "out slow\nsleep 8000\n");
    AsyncRunner quick_runner(kTraits);
    AsyncRunner slow_runner(RunnerTraits{kOutput, kDone, "Tracert cancelled"});
    Page quick;
    Page slow;
    ASSERT_TRUE(quick_runner.Start(quick.Hwnd(), 1, "conspawn.exe \"ping a\""));
    ASSERT_TRUE(slow_runner.Start(slow.Hwnd(), 2, "conspawn.exe \"tracert b\""));
    const ULONGLONG started = ::GetTickCount64();
    // The slow run's spawner holds none of the quick run's pipe ends.
    ASSERT_TRUE(PumpUntil([&] { return !quick.got.ends.empty(); }, 10000));
    EXPECT_LT(::GetTickCount64() - started, 4000u);
    EXPECT_TRUE(slow.got.ends.empty());
    slow_runner.Stop();
    ASSERT_TRUE(PumpUntil([&] { return !slow.got.ends.empty(); }, 10000));
    EXPECT_EQ(slow.got.ends, std::vector<std::string>{"\r\n\r\nTracert cancelled"});
    EXPECT_EQ(quick.got.ends, std::vector<std::string>{"\r\n\r\nEnd of Data"});
    EXPECT_EQ(quick.got.runs, std::vector<unsigned>(quick.got.runs.size(), 1u));
    EXPECT_EQ(slow.got.runs, std::vector<unsigned>(slow.got.runs.size(), 2u));
}

TEST_F(RunnerTest, SynchronousRunDeliversEveryChunkThenReturns) {
    NewFolder();
    std::string got;
    RunToEnd("conspawn.exe \"ping x\"", [&](std::string_view chunk) { got += chunk; });
    EXPECT_EQ(got.rfind("Tracewick could not start conspawn.exe", 0), 0u) << got;
    Install("conspawn", "TRACEWICK_CONSPAWN");
    Install("ping", "TRACEWICK_FAKE", "out first\nraw ab\\0cd\nsleep 100\nout second\\r\nexit 3\n");
    got.clear();
    RunToEnd("conspawn.exe \"ping x\"", [&](std::string_view chunk) { got += chunk; });
    // A NUL byte is dropped, the rest of its chunk kept.
    EXPECT_EQ(got, "first\r\nabcdsecond\r\r\n");
}

}  // namespace
}  // namespace tracewick
