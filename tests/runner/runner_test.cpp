// Running commands, under Wine with the stand-in command: conspawn.exe's
// contract through the runner's own StartSpawner, PostStopRequest and
// ReadChunk, then the asynchronous and synchronous runners. One row per
// behaviour; each lays out a fresh folder holding conspawn.exe and the
// stand-in as ping.exe, and makes a second folder the current directory.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "runner/async_runner.h"
#include "runner/spawn.h"
#include "runner/sync_runner.h"
#include "tests/fake/bulk_text.h"

namespace tracewick {
namespace {

// Generous for a loaded build machine, yet below the scripts' 30 s holds.
constexpr DWORD kRunMs = 20000;

// A folder of its own under the temporary directory, removed with the files put there.
class Folder {
public:
    Folder() {
        char temp[MAX_PATH] = {};
        static unsigned serial = 0;
        const std::string path = std::string(temp, GetTempPathA(sizeof temp, temp)) + "tws" +
                                 std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
        if (CreateDirectoryA(path.c_str(), nullptr)) path_ = path;
    }
    ~Folder() {
        for (const std::string& name : files_) DeleteFileA(File(name).c_str());
        if (!path_.empty()) RemoveDirectoryA(path_.c_str());
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    // The program named by `variable` as `name`.exe, and `script` beside it when given.
    [[nodiscard]] bool Install(const char* variable, const std::string& name, const char* script = nullptr) {
        files_.insert(files_.end(), {name + ".exe", name + ".script"});
        const char* program = std::getenv(variable);
        if (!program || !CopyFileA(program, File(name + ".exe").c_str(), FALSE)) return false;
        return !script || (std::ofstream(File(name + ".script"), std::ios::binary) << script).flush();
    }

private:
    std::string path_;
    std::vector<std::string> files_;
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
    const char* spawner;    // script of the stand-in playing conspawn.exe; null: the real one
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
     nullptr, nullptr, "\"ping -n 4 host\"", Stop::kNone, 0,
     "first line\r\n" + std::string("a\0b\r\r\nc\rd\ne\0\0", 13) + "on error\r\n\xff\x80\x7f\t\\\r\n" +
         fake::BulkText(1048576) + "last line\r\n",
     false},
    {"the command's exit code passes through whole", "out x\nexit 0xC0000005\nout not reached\n", nullptr, nullptr,
     "\"ping\"", Stop::kNone, 0xC0000005, "x\r\n", false},
    {"a grandchild ends with the command", "grandchild 30000\nout done\nexit 5\n", nullptr, nullptr,
     "\"ping\"", Stop::kNone, 5, "done\r\n", false},
    {"the stop request ends the command and its grandchild",
     "grandchild 30000\nout started\nsleep 30000\nout not reached\n", nullptr, nullptr,
     "\"ping -t host\"", Stop::kAfterStarted, kSpawnerStopped, "started\r\n", false},
    {"a stop request posted at once is not lost", "sleep 30000\nout not reached\n", nullptr, nullptr, "\"ping -t host\"",
     Stop::kAtOnce, kSpawnerStopped, "", false},
    // Inner quotes, doubled blanks and the trailing blank are the command's.
    {"the command beside conspawn.exe wins and gets its arguments as written", "args\n",
     "out the copy in the current directory\n", nullptr, "\"ping -l \"a  b\"  x \"", Stop::kNone, 0,
     "\"<dir>\\ping.exe\" -l \"a  b\"  x \r\n", false},
    // The current directory is the settings folder, which anyone may drop a program into.
    {"a command only in the current directory is never run", nullptr, "out dropped\n", nullptr,
     "\"tool -n 1 host\"", Stop::kNone, kSpawnerCannotStart, "conspawn: cannot start \"tool\": ", true, "tool"},
    {"a command that cannot be started gives one line naming it", nullptr, nullptr, nullptr,
     "\"\"C:\\no such folder\\tool.exe\" -a\"", Stop::kNone, kSpawnerCannotStart,
     "conspawn: cannot start \"C:\\no such folder\\tool.exe\": ", true},
    {"no command gives usage", nullptr, nullptr, nullptr, "\"  \"", Stop::kNone, kSpawnerUsage, "usage: conspawn ", true},
};

void Check(const Row& row) {
    SCOPED_TRACE(row.name);
    Folder folder, elsewhere;
    ASSERT_FALSE(folder.path().empty() || elsewhere.path().empty());
    ASSERT_TRUE(row.spawner ? folder.Install("TRACEWICK_FAKE", "conspawn", row.spawner)
                            : folder.Install("TRACEWICK_CONSPAWN", "conspawn"));
    ASSERT_TRUE(row.beside == nullptr || folder.Install("TRACEWICK_FAKE", "ping", row.beside));
    ASSERT_TRUE(row.elsewhere == nullptr || elsewhere.Install("TRACEWICK_FAKE", row.elsewhere_name, row.elsewhere));
    const CurrentDirectory in(elsewhere.path());

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
    if (const std::size_t at = expected.find("<dir>"); at != std::string::npos) expected.replace(at, 5, folder.path());
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

// ---- The asynchronous runner: a message-only window plays the page.

constexpr UINT kOutput = WM_USER + 1004;
constexpr UINT kDone = WM_USER + 1005;

class Page {
public:
    Page() {
        WNDCLASSA klass{};
        klass.lpfnWndProc = &Page::Procedure;
        klass.lpszClassName = "TracewickTestPage";
        RegisterClassA(&klass);  // a second registration fails harmlessly
        hwnd = CreateWindowA(klass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Page() { DestroyWindow(hwnd); }
    HWND hwnd = nullptr;
    std::string output;
    std::vector<std::string> ends;
    std::vector<unsigned> runs;  // the run of every message, in order

    // Pumps messages until `done` holds or `ms` pass.
    template <class Done>
    static bool PumpUntil(Done done, DWORD ms) {
        const ULONGLONG deadline = GetTickCount64() + ms;
        for (MSG msg; !done();) {
            if (GetTickCount64() >= deadline) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        }
        return true;
    }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* page = reinterpret_cast<Page*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!page || (message != kOutput && message != kDone)) return DefWindowProcA(hwnd, message, wparam, lparam);
        const auto posted = TakePosted(lparam);
        page->runs.push_back(posted->run);
        (message == kOutput ? page->output : page->ends.emplace_back()) += posted->text;
        return 0;
    }
};

// Spawners and commands of the rows, wherever they run from.
int LiveCommands() {
    int count = 0;
    const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry))
        count += lstrcmpiA(entry.szExeFile, "ping.exe") == 0 || lstrcmpiA(entry.szExeFile, "conspawn.exe") == 0;
    return count;
}

enum class Act { kNone, kStopAtOnce, kStopAfterOutput, kEndNowAfterStop };

struct RunRow {
    const char* name;
    const char* spawner;  // "real", "missing", or the script of a stand-in that ignores the stop request
    const char* script;   // of ping.exe
    Act act;
    const char* output;   // the output begins with this
    const char* end;      // the one end line
    DWORD at_most_ms;     // from the last act (or the start) to the end line
};

const RunRow kRunRows[] = {
    {"chunks then one end line", "real", "out one\nsleep 50\nerr two\n", Act::kNone, "one\r\ntwo\r\n",
     "\r\n\r\nEnd of Data", 10000},
    {"missing spawner is said in the output", "missing", "", Act::kNone, "Tracewick could not start conspawn.exe",
     "\r\n\r\nEnd of Data", 10000},
    {"stop at once, before the spawner has its queue", "real", "out started\nsleep 20000\n", Act::kStopAtOnce, "",
     "\r\n\r\nPing cancelled", 3500},
    {"stop while the command prints", "real", "out started\nsleep 20000\nout never\n", Act::kStopAfterOutput,
     "started\r\n", "\r\n\r\nPing cancelled", 2500},
    {"a spawner ignoring the stop request is ended", "out busy\nsleep 20000\n", "", Act::kEndNowAfterStop, "busy\r\n",
     "\r\n\r\nPing cancelled", 1500},
};

TEST(Runner, EveryRunEndsOnceAndLeavesNothingRunning) {
    for (const RunRow& row : kRunRows) {
        SCOPED_TRACE(row.name);
        Folder folder;
        const CurrentDirectory in(folder.path());
        const std::string spawner = row.spawner;
        ASSERT_TRUE(spawner == "missing" || (spawner == "real" ? folder.Install("TRACEWICK_CONSPAWN", "conspawn")
                                                              : folder.Install("TRACEWICK_FAKE", "conspawn", row.spawner)));
        ASSERT_TRUE(folder.Install("TRACEWICK_FAKE", "ping", row.script));
        // Stopping at once races the spawner's start: play it several times.
        for (int round = 0; round < (row.act == Act::kStopAtOnce ? 8 : 1); ++round) {
            AsyncRunner runner({kOutput, kDone, "Ping cancelled"});
            Page page;
            ASSERT_TRUE(runner.Start(page.hwnd, 7, {RunStep{"conspawn.exe \"ping x\""}}));
            if (row.act == Act::kStopAfterOutput || row.act == Act::kEndNowAfterStop) {
                ASSERT_TRUE(Page::PumpUntil([&] { return !page.output.empty(); }, kRunMs));
            }
            if (row.act != Act::kNone) runner.Stop();
            if (row.act == Act::kEndNowAfterStop) {
                EXPECT_FALSE(Page::PumpUntil([&] { return !page.ends.empty(); }, 1000)) << "the request was ignored";
                runner.EndNow();
            }
            const ULONGLONG acted = GetTickCount64();
            ASSERT_TRUE(Page::PumpUntil([&] { return !page.ends.empty(); }, kRunMs));
            EXPECT_LE(GetTickCount64() - acted, row.at_most_ms);
            Page::PumpUntil([] { return false; }, 200);  // nothing more may come
            EXPECT_EQ(page.output.rfind(row.output, 0), 0u) << page.output;
            EXPECT_EQ(page.output.find("never"), std::string::npos);
            EXPECT_EQ(page.ends, std::vector<std::string>{row.end});
            EXPECT_EQ(page.runs, std::vector<unsigned>(page.runs.size(), 7u));
            EXPECT_TRUE(Page::PumpUntil([] { return LiveCommands() == 0; }, 3000)) << "a run left its spawner or command running";
        }
    }
}

TEST(Runner, OverlappingRunsEndIndependently) {
    Folder folder;
    const CurrentDirectory in(folder.path());
    ASSERT_TRUE(folder.Install("TRACEWICK_CONSPAWN", "conspawn") &&
                folder.Install("TRACEWICK_FAKE", "ping", "out quick\nsleep 300\n") &&
                folder.Install("TRACEWICK_FAKE", "tracert", "out slow\nsleep 8000\n"));
    AsyncRunner quick_runner({kOutput, kDone, "Ping cancelled"});
    AsyncRunner slow_runner({kOutput, kDone, "Tracert cancelled"});
    Page quick, slow;
    ASSERT_TRUE(quick_runner.Start(quick.hwnd, 1, {RunStep{"conspawn.exe \"ping a\""}}));
    ASSERT_TRUE(slow_runner.Start(slow.hwnd, 2, {RunStep{"conspawn.exe \"tracert b\""}}));
    const ULONGLONG started = GetTickCount64();
    // The slow run's spawner holds none of the quick run's pipe ends.
    ASSERT_TRUE(Page::PumpUntil([&] { return !quick.ends.empty(); }, kRunMs));
    EXPECT_LT(GetTickCount64() - started, 4000u);
    EXPECT_TRUE(slow.ends.empty());
    slow_runner.Stop();
    ASSERT_TRUE(Page::PumpUntil([&] { return !slow.ends.empty(); }, kRunMs));
    EXPECT_EQ(slow.ends, std::vector<std::string>{"\r\n\r\nTracert cancelled"});
    EXPECT_EQ(quick.ends, std::vector<std::string>{"\r\n\r\nEnd of Data"});
    EXPECT_EQ(quick.runs, std::vector<unsigned>(quick.runs.size(), 1u));
    EXPECT_EQ(slow.runs, std::vector<unsigned>(slow.runs.size(), 2u));
}

TEST(Runner, SynchronousRunDeliversEveryChunkThenReturns) {
    Folder folder;
    const CurrentDirectory in(folder.path());
    std::string got;
    RunToEnd("conspawn.exe \"ping x\"", [&](std::string_view chunk) { got += chunk; });
    EXPECT_EQ(got.rfind("Tracewick could not start conspawn.exe", 0), 0u) << got;
    ASSERT_TRUE(folder.Install("TRACEWICK_CONSPAWN", "conspawn") &&
                folder.Install("TRACEWICK_FAKE", "ping", "out first\nraw ab\\0cd\nsleep 100\nout second\\r\nexit 3\n"));
    got.clear();
    RunToEnd("conspawn.exe \"ping x\"", [&](std::string_view chunk) { got += chunk; });
    // A NUL byte is dropped, the rest of its chunk kept.
    EXPECT_EQ(got, "first\r\nabcdsecond\r\r\n");
}

}  // namespace
}  // namespace tracewick
