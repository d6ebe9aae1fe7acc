// The command runner against the real spawner and the stand-in command:
// chunks and end lines, cancel in every state, run numbers, and runs that
// overlap. A message-only window plays the page.
#include "runner/async_runner.h"
#include "runner/sync_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tracewick {
namespace {

constexpr UINT kOutput = WM_USER + 1004;
constexpr UINT kDone = WM_USER + 1005;
constexpr UINT_PTR kCancelTimer = 6;
constexpr RunnerTraits kTraits{kOutput, kDone, kCancelTimer, "Ping cancelled"};
constexpr RunnerTraits kOtherTraits{WM_USER + 1000, WM_USER + 1001, 13, "Tracert cancelled"};

std::string WindowsPath(const char* variable) {
    const char* value = std::getenv(variable);
    std::string path = value ? value : "";
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// What one runner's page received.
struct Received {
    std::string output;
    std::vector<std::string> ends;
};

// A page stand-in: receives one runner's messages on a message-only window.
class Page {
public:
    Page(AsyncRunner& runner, const RunnerTraits& traits) : runner_(runner), traits_(traits) {
        WNDCLASSA klass{};
        klass.lpfnWndProc = &Page::Procedure;
        klass.hInstance = ::GetModuleHandleA(nullptr);
        klass.lpszClassName = "TracewickRunnerTestPage";
        ::RegisterClassA(&klass);  // a second registration fails harmlessly
        hwnd_ = ::CreateWindowA(klass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                klass.hInstance, nullptr);
        ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Page() { ::DestroyWindow(hwnd_); }

    HWND Hwnd() const { return hwnd_; }
    Received& Got() { return got_; }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* page = reinterpret_cast<Page*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (page) {
            if (message == page->traits_.output_message) {
                if (auto text = page->runner_.TakeOutput(lparam)) page->got_.output += *text;
                return 0;
            }
            if (message == page->traits_.done_message) {
                if (auto text = page->runner_.TakeDone(lparam)) page->got_.ends.push_back(*text);
                return 0;
            }
            if (message == WM_TIMER && wparam == page->traits_.cancel_timer_id) {
                page->runner_.OnCancelTimeout();
                return 0;
            }
        }
        return ::DefWindowProcA(hwnd, message, wparam, lparam);
    }

    AsyncRunner& runner_;
    RunnerTraits traits_;
    HWND hwnd_ = nullptr;
    Received got_;
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

// A folder that holds the spawner and the stand-in under command names,
// made the current directory so that a bare "conspawn.exe" is found there.
class RunnerTest : public testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "tw-runner-" + std::to_string(::GetCurrentProcessId()) + "-" +
                  std::to_string(++counter_);
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        ::GetCurrentDirectoryA(MAX_PATH, previous_);
        ::SetCurrentDirectoryA(folder_.c_str());
    }
    void TearDown() override {
        ::SetCurrentDirectoryA(previous_);
        for (const std::string& file : files_) ::DeleteFileA(file.c_str());
        ::RemoveDirectoryA(folder_.c_str());
    }

    void Install(const std::string& name, const char* variable) {
        const std::string target = folder_ + "\\" + name;
        ASSERT_TRUE(::CopyFileA(WindowsPath(variable).c_str(), target.c_str(), FALSE)) << name;
        files_.push_back(target);
    }
    void InstallSpawner() { Install("conspawn.exe", "TRACEWICK_CONSPAWN"); }
    // The stand-in as `command`.exe playing `script`.
    void InstallCommand(const std::string& command, const std::string& script) {
        Install(command + ".exe", "TRACEWICK_FAKE");
        const std::string path = folder_ + "\\" + command + ".script";
        WriteFileBytes(path, script);
        files_.push_back(path);
    }

    std::string folder_;
    char previous_[MAX_PATH] = {};
    std::vector<std::string> files_;
    static inline int counter_ = 0;
};

TEST_F(RunnerTest, SynchronousRunDeliversEveryChunkThenReturns) {
    InstallSpawner();
    InstallCommand("route", "out first\nraw ab\\0cd\nsleep 100\nout second\\r\nexit 3\n");
    std::string got;
    RunToEnd("conspawn.exe \"route print \"", [&](std::string_view chunk) { got += chunk; });
    // The NUL ends what its chunk shows; the later chunk still arrives.
    EXPECT_EQ(got, "first\r\nabsecond\r\r\n");
}

TEST_F(RunnerTest, SynchronousRunWithoutSpawnerSaysSo) {
    std::string got;
    RunToEnd("conspawn.exe \"route print \"", [&](std::string_view chunk) { got += chunk; });
    EXPECT_EQ(got.rfind("Tracewick could not start conspawn.exe", 0), 0u) << got;
}

TEST_F(RunnerTest, AsyncRunPostsChunksThenOneEndLine) {
    InstallSpawner();
    InstallCommand("ping", "args\nout one\nsleep 50\nout two\n");
    AsyncRunner runner(kTraits);
    Page page(runner, kTraits);
    ASSERT_TRUE(runner.Start(page.Hwnd(), "conspawn.exe \"ping -n 1 host\""));
    EXPECT_TRUE(runner.Active());
    ASSERT_TRUE(PumpUntil([&] { return !page.Got().ends.empty(); }, 10000));
    PumpUntil([] { return false; }, 200);  // nothing more may come
    EXPECT_NE(page.Got().output.find("ping.exe\" -n 1 host\r\none\r\ntwo\r\n"), std::string::npos) << page.Got().output;
    ASSERT_EQ(page.Got().ends.size(), 1u);
    EXPECT_EQ(page.Got().ends[0], "\r\n\r\nEnd of Data");
    EXPECT_FALSE(runner.Active());
    EXPECT_FALSE(runner.Cancelled());
}

TEST_F(RunnerTest, MissingSpawnerOrCommandIsShownNotHidden) {
    AsyncRunner runner(kTraits);
    Page page(runner, kTraits);
    ASSERT_TRUE(runner.Start(page.Hwnd(), "conspawn.exe \"ping localhost\""));
    ASSERT_TRUE(PumpUntil([&] { return !page.Got().ends.empty(); }, 10000));
    EXPECT_EQ(page.Got().output.rfind("Tracewick could not start conspawn.exe", 0), 0u) << page.Got().output;
    EXPECT_EQ(page.Got().ends, std::vector<std::string>{"\r\n\r\nEnd of Data"});

    InstallSpawner();  // now the spawner is there but the command is not
    Received& got = page.Got();
    got = {};
    ASSERT_TRUE(runner.Start(page.Hwnd(), "conspawn.exe \"nosuchcommand -x\""));
    ASSERT_TRUE(PumpUntil([&] { return !got.ends.empty(); }, 10000));
    EXPECT_NE(got.output.find("nosuchcommand"), std::string::npos) << got.output;
    EXPECT_EQ(got.ends, std::vector<std::string>{"\r\n\r\nEnd of Data"});
}

TEST_F(RunnerTest, CancelInEveryStateGivesExactlyOneCancelledLine) {
    InstallSpawner();
    InstallCommand("ping", "out started\nsleep 20000\nout never\n");
    AsyncRunner runner(kTraits);
    Page page(runner, kTraits);
    // Cancel as soon as the run starts (the spawner may not exist yet), and
    // after output has arrived.
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        Received& got = page.Got();
        got = {};
        ASSERT_TRUE(runner.Start(page.Hwnd(), "conspawn.exe \"ping x\""));
        if (round % 2 == 1) {
            ASSERT_TRUE(PumpUntil([&] { return !got.output.empty(); }, 10000));
        }
        const ULONGLONG cancelled_at = ::GetTickCount64();
        runner.Cancel();
        ASSERT_TRUE(PumpUntil([&] { return !got.ends.empty(); }, 10000));
        EXPECT_LT(::GetTickCount64() - cancelled_at, 2500u) << "the stop request must end the run";
        PumpUntil([] { return false; }, 100);
        EXPECT_EQ(got.ends, std::vector<std::string>{"\r\n\r\nPing cancelled"});
        EXPECT_EQ(got.output.find("never"), std::string::npos);
        EXPECT_TRUE(runner.Cancelled());
    }
}

TEST_F(RunnerTest, SpawnerIgnoringTheStopRequestTimesOutOnce) {
    // The stand-in plays the spawner and ignores the stop request.
    Install("conspawn.exe", "TRACEWICK_FAKE");
    const std::string script = folder_ + "\\conspawn.script";
    WriteFileBytes(script, "out busy\nsleep 7000\n");  // long enough to need the time-out
    files_.push_back(script);
    AsyncRunner runner(kTraits);
    Page page(runner, kTraits);
    ASSERT_TRUE(runner.Start(page.Hwnd(), "conspawn.exe \"ping x\""));
    ASSERT_TRUE(PumpUntil([&] { return !page.Got().output.empty(); }, 10000));
    const ULONGLONG cancelled_at = ::GetTickCount64();
    runner.Cancel();
    ASSERT_TRUE(PumpUntil([&] { return !page.Got().ends.empty(); }, 10000));
    const ULONGLONG took = ::GetTickCount64() - cancelled_at;
    EXPECT_GE(took, 2900u);
    EXPECT_LT(took, 6000u);
    // A late time-out after the end terminates nothing and posts nothing.
    runner.OnCancelTimeout();
    PumpUntil([] { return false; }, 3500);
    EXPECT_EQ(page.Got().ends, std::vector<std::string>{"\r\n\r\nPing cancelled"});
}

TEST_F(RunnerTest, OlderRunsNeverLandInANewerOne) {
    InstallSpawner();
    InstallCommand("ping", "args\n");
    AsyncRunner runner(kTraits);
    Page page(runner, kTraits);
    // The first run's messages are still queued when the second starts.
    ASSERT_TRUE(runner.Start(page.Hwnd(), "conspawn.exe \"ping first\""));
    ::Sleep(500);
    ASSERT_TRUE(runner.Start(page.Hwnd(), "conspawn.exe \"ping second\""));
    ASSERT_TRUE(PumpUntil([&] { return !page.Got().ends.empty(); }, 10000));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(page.Got().output.find("first"), std::string::npos) << page.Got().output;
    EXPECT_NE(page.Got().output.find("second"), std::string::npos) << page.Got().output;
    EXPECT_EQ(page.Got().ends.size(), 1u);
}

TEST_F(RunnerTest, OverlappingRunsEndIndependently) {
    InstallSpawner();
    InstallCommand("ping", "out quick\nsleep 300\n");
    InstallCommand("tracert", "out slow\nsleep 8000\n");
    AsyncRunner quick_runner(kTraits);
    AsyncRunner slow_runner(kOtherTraits);
    Page quick(quick_runner, kTraits);
    Page slow(slow_runner, kOtherTraits);
    ASSERT_TRUE(quick_runner.Start(quick.Hwnd(), "conspawn.exe \"ping a\""));
    ASSERT_TRUE(slow_runner.Start(slow.Hwnd(), "conspawn.exe \"tracert b\""));
    const ULONGLONG started = ::GetTickCount64();
    // The slow run's spawner holds none of the quick run's pipe ends.
    ASSERT_TRUE(PumpUntil([&] { return !quick.Got().ends.empty(); }, 10000));
    EXPECT_LT(::GetTickCount64() - started, 4000u);
    EXPECT_TRUE(slow.Got().ends.empty());
    EXPECT_EQ(quick.Got().ends, std::vector<std::string>{"\r\n\r\nEnd of Data"});
    // Cancelling one leaves the other alone.
    slow_runner.Cancel();
    ASSERT_TRUE(PumpUntil([&] { return !slow.Got().ends.empty(); }, 10000));
    EXPECT_EQ(slow.Got().ends, std::vector<std::string>{"\r\n\r\nTracert cancelled"});
    EXPECT_EQ(quick.Got().ends.size(), 1u);
}

}  // namespace
}  // namespace tracewick
