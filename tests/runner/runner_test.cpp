// Running commands, under Wine with the stand-in command: conspawn.exe's
// contract through the runner's own StartSpawner, PostStopRequest and
// ReadChunk, then the runner. One row per
// behaviour; each lays out a fresh folder holding conspawn.exe and the
// stand-in as ping.exe, and makes a second folder the current directory.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "framework/process_start.h"
#include "runner/async_runner.h"
#include "runner/spawn.h"
#include "tests/fake/bulk_text.h"

namespace tracewick {
namespace {

// Generous for a loaded build machine, yet below the scripts' 30 s holds.
constexpr DWORD kRunMs = 20000;

// A folder of its own under the temporary directory, removed with the files put there.
struct Folder {
    Folder() {
        char temp[MAX_PATH] = {};
        static unsigned serial = 0;
        path = std::string(temp, GetTempPathA(sizeof temp, temp)) + "tws" + std::to_string(GetCurrentProcessId()) +
               "-" + std::to_string(++serial);
        if (!CreateDirectoryA(path.c_str(), nullptr)) path.clear();
    }
    Folder(const Folder&) = delete;  // it removes its files once
    Folder& operator=(const Folder&) = delete;
    ~Folder() {
        for (const std::string& name : files) DeleteFileA(File(name).c_str());
        if (!path.empty()) RemoveDirectoryA(path.c_str());
    }
    std::string File(const std::string& name) const { return path + "\\" + name; }
    // The program named by `variable` as `name`.exe, and `script` beside it when given.
    [[nodiscard]] bool Install(const char* variable, const std::string& name, const char* script = nullptr) {
        files.insert(files.end(), {name + ".exe", name + ".script", name + ".runs"});  // the stand-in counts its runs
        const char* program = std::getenv(variable);
        if (!program || !CopyFileA(program, File(name + ".exe").c_str(), FALSE)) return false;
        return !script || (std::ofstream(File(name + ".script"), std::ios::binary) << script).flush();
    }
    std::string path;
    std::vector<std::string> files;
};

// The current directory while it lasts.
struct CurrentDirectory {
    explicit CurrentDirectory(const std::string& path) {
        GetCurrentDirectoryA(sizeof previous, previous);
        EXPECT_TRUE(SetCurrentDirectoryA(path.c_str())) << path;
    }
    ~CurrentDirectory() { SetCurrentDirectoryA(previous); }
    char previous[MAX_PATH] = {};
};

// A timer that fires `ms` from now, to give a read its deadline.
UniqueKernelHandle Deadline(DWORD ms) {
    UniqueKernelHandle timer(CreateWaitableTimerA(nullptr, TRUE, nullptr));
    LARGE_INTEGER due{};
    due.QuadPart = -10000LL * ms;
    SetWaitableTimer(timer.Get(), &due, 0, nullptr, nullptr, FALSE);
    return timer;
}

// Reads into `text` until it holds `needle`, or to the end of data when
// there is none; false when the deadline comes first.
bool ReadUntil(const SpawnedCommand& child, HANDLE deadline, std::string& text, const char* needle = nullptr) {
    for (std::string chunk; !needle || text.find(needle) == std::string::npos; text += chunk)
        if (!ReadChunk(child, chunk, deadline)) return !needle && WaitForSingleObject(deadline, 0) != WAIT_OBJECT_0;
    return true;
}

enum class Stop { kNone, kAtOnce, kAfterStarted };

struct Row {
    const char* name;
    const char* beside;     // script of ping.exe beside conspawn.exe; null: none there
    const char* elsewhere;  // script of ping.exe in the current directory; null: none there
    std::string arguments;  // after conspawn.exe's path
    Stop stop;
    DWORD exit_code;
    std::string output;  // "<dir>" stands for conspawn's folder
    bool one_line;       // `output` is only the start of exactly one line, with a reason after it
    const char* elsewhere_name = "ping";  // what the copy in the current directory is called
};

const Row kRows[] = {
    {"output passes byte for byte, standard error in order on the same pipe",
     "out first line\nraw a\\0b\\r\\r\\nc\\rd\\ne\\0\\0\nerr on error\nraw \\xff\\x80\\x7f\\t\\\\\nout\n"
     "bulk 1048576\nout last line\n",
     nullptr, "\"ping -n 4 host\"", Stop::kNone, 0,
     "first line\r\n" + std::string("a\0b\r\r\nc\rd\ne\0\0", 13) + "on error\r\n\xff\x80\x7f\t\\\r\n" +
         fake::BulkText(1048576) + "last line\r\n",
     false},
    {"the command's exit code passes through whole", "out x\nexit 0xC0000005\nout not reached\n", nullptr,
     "\"ping\"", Stop::kNone, 0xC0000005, "x\r\n", false},
    {"a grandchild ends with the command", "grandchild 30000\nout done\nexit 5\n", nullptr,
     "\"ping\"", Stop::kNone, 5, "done\r\n", false},
    {"the stop request ends the command and its grandchild",
     "grandchild 30000\nout started\nsleep 30000\nout not reached\n", nullptr,
     "\"ping -t host\"", Stop::kAfterStarted, kSpawnerStopped, "started\r\n", false},
    {"a stop request posted at once is not lost", "sleep 30000\nout not reached\n", nullptr, "\"ping -t host\"",
     Stop::kAtOnce, kSpawnerStopped, "", false},
    // Inner quotes, doubled blanks and the trailing blank are the command's.
    {"the command beside conspawn.exe wins and gets its arguments as written", "args\n",
     "out the copy in the current directory\n", "\"ping -l \"a  b\"  x \"", Stop::kNone, 0,
     "\"<dir>\\ping.exe\" -l \"a  b\"  x \r\n", false},
    // The current directory is the settings folder, which anyone may drop a program into.
    {"a command only in the current directory is never run", nullptr, "out dropped\n",
     "\"tool -n 1 host\"", Stop::kNone, kSpawnerCannotStart, "conspawn: cannot start \"tool\": ", true, "tool"},
    {"a command that cannot be started gives one line naming it", nullptr, nullptr,
     "\"\"C:\\no such folder\\tool.exe\" -a\"", Stop::kNone, kSpawnerCannotStart,
     "conspawn: cannot start \"C:\\no such folder\\tool.exe\": ", true},
    {"no command gives usage", nullptr, nullptr, "\"  \"", Stop::kNone, kSpawnerUsage, "usage: conspawn ", true},
};

void Check(const Row& row) {
    SCOPED_TRACE(row.name);
    Folder folder, elsewhere;
    ASSERT_FALSE(folder.path.empty() || elsewhere.path.empty());
    ASSERT_TRUE(folder.Install("TRACEWICK_CONSPAWN", "conspawn"));
    ASSERT_TRUE(row.beside == nullptr || folder.Install("TRACEWICK_FAKE", "ping", row.beside));
    ASSERT_TRUE(row.elsewhere == nullptr || elsewhere.Install("TRACEWICK_FAKE", row.elsewhere_name, row.elsewhere));
    const CurrentDirectory in(elsewhere.path);

    const std::string command_line = "\"" + folder.File("conspawn.exe") + "\" " + row.arguments;
    SpawnedCommand spawned = StartSpawner(command_line, CREATE_NEW_PROCESS_GROUP);
    ASSERT_TRUE(spawned.Started()) << "error " << spawned.error;
    const HANDLE process = spawned.process.Get();
    // Ends conspawn, and with its job what it started, when a row fails.
    const std::unique_ptr<void, BOOL (*)(HANDLE)> end_run(process,
                                                         [](HANDLE p) { return TerminateProcess(p, 0xDEAD); });
    std::string text;
    const UniqueKernelHandle deadline = Deadline(kRunMs);
    ASSERT_TRUE(row.stop != Stop::kAfterStarted || ReadUntil(spawned, deadline.Get(), text, "started\r\n")) << text;
    ASSERT_TRUE(row.stop == Stop::kNone || PostStopRequest(spawned.thread_id, process)) << "the post failed";
    // Read while it runs: a full pipe would stop the command.
    EXPECT_TRUE(ReadUntil(spawned, deadline.Get(), text)) << "conspawn or something it started still holds the pipe";
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 2000)) << "conspawn has not ended at once: " << text;
    DWORD exit_code = STILL_ACTIVE;
    GetExitCodeProcess(process, &exit_code);
    EXPECT_EQ(row.exit_code, exit_code);

    std::string expected = row.output;
    if (const std::size_t at = expected.find("<dir>"); at != std::string::npos) expected.replace(at, 5, folder.path);
    if (row.one_line) {
        EXPECT_TRUE(text.rfind(expected, 0) == 0 && text.size() > expected.size() + 2 &&
                    text.find_first_of("\r\n") == text.size() - 2 && text.back() == '\n') << text;
    } else {
        // Names the first differing byte instead of printing a megabyte.
        const std::size_t at = std::mismatch(expected.begin(), expected.end(), text.begin(), text.end()).first - expected.begin();
        EXPECT_TRUE(expected == text) << "first difference at byte " << at << ": " << ::testing::PrintToString(text.substr(at, 40));
    }
}

TEST(Spawner, Contract) {
    for (const Row& row : kRows) Check(row);
}

// ---- The runner: a message-only window stands in for the page; the pump
// answers each wake-up by taking what the run delivered.

struct Page {
    HWND hwnd = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ~Page() { DestroyWindow(hwnd); }
    std::vector<std::string> ends;
    std::vector<DWORD> exit_codes;  // each end line's

    // Takes messages until `done` holds or `ms` pass.
    template <class Done>
    bool PumpUntil(AsyncRunner& runner, Done done, DWORD ms) {
        for (const ULONGLONG deadline = GetTickCount64() + ms; !done();) {
            if (GetTickCount64() >= deadline) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
                if (msg.message != kRunWakeMessage) {
                    DispatchMessageA(&msg);
                    continue;
                }
                for (RunChannel::Batch batch; (batch = runner.Take(static_cast<unsigned>(msg.wParam), 1000)).more ||
                                              batch.end || !batch.text.empty();) {
                    if (!batch.end) continue;
                    ends.push_back(batch.end->line);
                    exit_codes.push_back(batch.end->exit_code);
                }
            }
        }
        return true;
    }
};

// A stop at once races the spawner's start: the request must reach a spawner
// that has no message queue yet and end the run by itself, as no cancel
// time-out comes here to end it instead. The UI rows play the rest of a run.
TEST(Runner, StopAtOnceEndsTheRunByItself) {
    Folder folder;
    const CurrentDirectory in(folder.path);
    ASSERT_TRUE(folder.Install("TRACEWICK_CONSPAWN", "conspawn") &&
                folder.Install("TRACEWICK_FAKE", "ping", "out started\nsleep 20000\n"));
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        AsyncRunner runner({"Ping cancelled"});
        Page page;
        ASSERT_TRUE(runner.Start(page.hwnd, 7, {RunStep{"conspawn.exe \"ping x\""}}));
        runner.Stop();
        const ULONGLONG stopped = GetTickCount64();
        ASSERT_TRUE(page.PumpUntil(runner, [&] { return !page.ends.empty(); }, kRunMs));
        EXPECT_LE(GetTickCount64() - stopped, 3500u);
        page.PumpUntil(runner, [] { return false; }, 200);  // nothing more may come
        EXPECT_EQ(page.ends, std::vector<std::string>{"\r\n\r\nPing cancelled"});
        EXPECT_EQ(page.exit_codes, std::vector<DWORD>{1});
    }
}

// The end line carries the first exit code of the run's commands that is not 0.
TEST(Runner, EndCarriesTheFirstFailingExitCode) {
    Folder folder;
    const CurrentDirectory in(folder.path);
    ASSERT_TRUE(folder.Install("TRACEWICK_CONSPAWN", "conspawn") && folder.Install("TRACEWICK_FAKE", "ping", "") &&
                folder.Install("TRACEWICK_FAKE", "arp", "exit 260\n") && folder.Install("TRACEWICK_FAKE", "net", "exit 5\n"));
    AsyncRunner runner({"ARP cancelled"});
    Page page;
    ASSERT_TRUE(runner.Start(page.hwnd, 1, {{"conspawn.exe ping"}, {"conspawn.exe arp"}, {"conspawn.exe net"}}));
    ASSERT_TRUE(page.PumpUntil(runner, [&] { return !page.ends.empty(); }, kRunMs));
    EXPECT_EQ(page.exit_codes, std::vector<DWORD>{260});
}

// A start is tried again only after the system's internal error, at most
// three times in all, and a failure leaves the last try's error behind.
TEST(ProcessStart, RetriesOnlyTheInternalError) {
    const std::tuple<std::vector<DWORD>, bool, int> cases[] = {  // each try's failure (0 succeeds); started; tries
        {{0}, true, 1},
        {{ERROR_INTERNAL_ERROR, 0}, true, 2},
        {{ERROR_INTERNAL_ERROR, ERROR_INTERNAL_ERROR, 0}, true, 3},
        {{ERROR_INTERNAL_ERROR, ERROR_INTERNAL_ERROR, ERROR_INTERNAL_ERROR, 0}, false, 3},
        {{ERROR_FILE_NOT_FOUND, 0}, false, 1},
        {{ERROR_INTERNAL_ERROR, ERROR_ACCESS_DENIED, 0}, false, 2},
    };
    for (const auto& [errors, started, tries] : cases) {
        const std::vector<DWORD>& fails = errors;
        std::size_t tried = 0;
        const bool ok = StartProcessRetrying([&] { return SetLastError(fails[tried]), fails[tried++] == 0; });
        const DWORD last_error = GetLastError();
        EXPECT_EQ(started, ok);
        EXPECT_EQ(static_cast<std::size_t>(tries), tried);
        if (!ok) { EXPECT_EQ(fails[tried - 1], last_error) << "the last try's error stays"; }
    }
}

}  // namespace
}  // namespace tracewick
