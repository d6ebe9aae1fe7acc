// Tests of conspawn.exe and of the stand-in command, run under Wine. Each test
// lays out a fresh folder holding conspawn.exe and the stand-in under a
// command's name, starts conspawn the way Tracewick's runner does (inheritable
// pipes, output and error on one pipe, new process group, a handle list of
// the child's own ends) and reads the pipe on a reader thread, so every wait
// has a deadline. Everything else runs on the test thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "tests/fake/bulk_text.h"

namespace {

using tracewick::UniqueKernelHandle;

constexpr UINT kStopRequest = WM_USER + 1100;
constexpr DWORD kExitStopped = 1;
constexpr DWORD kExitUsage = 2;
constexpr DWORD kExitCannotStart = 3;

// Long enough for a loaded build machine; a hang still fails well inside the
// test's own time limit.
constexpr DWORD kRunTimeoutMs = 20000;
// How soon the pipe must end once the run is over: far below the stand-in's
// 30 s holds, so only a survivor holding the pipe can miss it.
constexpr DWORD kPromptMs = 2000;
constexpr DWORD kPostRetryMs = 5000;
constexpr DWORD kLongHoldMs = 30000;

std::string Environment(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? value : "";
}

// A folder of its own under the temporary directory, removed with its files.
class TempDir {
public:
    TempDir() {
        char temp[MAX_PATH] = {};
        if (!GetTempPathA(sizeof temp, temp)) return;
        static unsigned serial = 0;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::string dir = std::string(temp) + "tw-spawn-" + std::to_string(GetCurrentProcessId()) + "-" +
                                    std::to_string(++serial) + "-" + std::to_string(GetTickCount());
            if (CreateDirectoryA(dir.c_str(), nullptr)) path_ = dir;
        }
    }
    ~TempDir() {
        if (path_.empty()) return;
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileA((path_ + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path_.c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

    bool Write(const std::string& name, const std::string& bytes) const {
        const HANDLE file =
            CreateFileA(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size();
        CloseHandle(file);
        return ok;
    }
    bool Copy(const std::string& from, const std::string& name) const {
        return CopyFileA(from.c_str(), File(name).c_str(), FALSE) != FALSE;
    }

private:
    std::string path_;
};

// Reads a pipe to its end on a thread of its own and keeps what came.
class PipeReader {
public:
    explicit PipeReader(UniqueKernelHandle pipe)
        : pipe_(std::move(pipe)), chunk_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
        InitializeCriticalSection(&lock_);
        thread_.Reset(CreateThread(nullptr, 0, &PipeReader::Main, this, 0, nullptr));
    }
    ~PipeReader() {
        // A survivor may still hold the pipe after a failed test: cancel the
        // read rather than wait for it, again while we wait, in case the
        // first cancel came before the read began.
        while (thread_ && WaitForSingleObject(thread_.Get(), 100) == WAIT_TIMEOUT) CancelSynchronousIo(thread_.Get());
        DeleteCriticalSection(&lock_);
    }
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;

    bool started() const { return thread_.Valid(); }
    bool WaitForEnd(DWORD timeout_ms) const { return WaitForSingleObject(thread_.Get(), timeout_ms) == WAIT_OBJECT_0; }
    bool WaitForText(const std::string& needle, DWORD timeout_ms) {
        const DWORD start = GetTickCount();
        for (;;) {
            if (Text().find(needle) != std::string::npos) return true;
            const DWORD spent = GetTickCount() - start;
            if (spent >= timeout_ms) return false;
            const HANDLE waits[] = {chunk_.Get(), thread_.Get()};
            if (WaitForMultipleObjects(2, waits, FALSE, timeout_ms - spent) != WAIT_OBJECT_0)
                return Text().find(needle) != std::string::npos;
        }
    }
    std::string Text() {
        EnterCriticalSection(&lock_);
        std::string copy = text_;
        LeaveCriticalSection(&lock_);
        return copy;
    }

private:
    static DWORD WINAPI Main(void* self_pointer) {
        auto* self = static_cast<PipeReader*>(self_pointer);
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(self->pipe_.Get(), buffer, sizeof buffer, &got, nullptr)) {
            EnterCriticalSection(&self->lock_);
            self->text_.append(buffer, got);
            LeaveCriticalSection(&self->lock_);
            SetEvent(self->chunk_.Get());
        }
        return 0;
    }

    UniqueKernelHandle pipe_;
    UniqueKernelHandle chunk_;  // set after each chunk
    UniqueKernelHandle thread_;
    CRITICAL_SECTION lock_;
    std::string text_;  // written by the reader thread under lock_
};

// One conspawn.exe started as Tracewick's runner starts it.
class Spawn {
public:
    ~Spawn() {
        if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
            // Ending conspawn closes its job, which ends what it started.
            TerminateProcess(process_.Get(), 0xDEAD);
            WaitForSingleObject(process_.Get(), kRunTimeoutMs);
        }
    }

    // `arguments` follow "conspawn.exe" on the command line. The application
    // name is given so that this folder's copy runs whatever the search order;
    // the command line is the program's own.
    [[nodiscard]] bool Start(const TempDir& dir, const std::string& arguments, const std::string& cwd = "") {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        if (!CreatePipe(&read, &write, &inheritable, 0)) return false;
        UniqueKernelHandle our_output_read(read);
        UniqueKernelHandle child_output_write(write);
        if (!CreatePipe(&read, &write, &inheritable, 0)) return false;
        our_input_read_.Reset(read);
        UniqueKernelHandle child_input_write(write);

        HANDLE child_handles[] = {child_output_write.Get(), child_input_write.Get()};
        SIZE_T list_length = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &list_length);
        std::vector<char> list_memory(list_length);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list_memory.data());
        if (!InitializeProcThreadAttributeList(list, 1, 0, &list_length)) return false;
        const bool listed = UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, child_handles,
                                                      sizeof child_handles, nullptr, nullptr);
        STARTUPINFOEXA startup{};
        startup.StartupInfo.cb = sizeof startup;
        startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
        startup.StartupInfo.wShowWindow = SW_HIDE;
        startup.StartupInfo.hStdOutput = child_output_write.Get();
        startup.StartupInfo.hStdError = child_output_write.Get();
        startup.StartupInfo.hStdInput = child_input_write.Get();
        startup.lpAttributeList = list;
        std::string command_line = "conspawn.exe" + (arguments.empty() ? "" : " " + arguments);
        PROCESS_INFORMATION info{};
        const bool created =
            listed && CreateProcessA(dir.File("conspawn.exe").c_str(), command_line.data(), nullptr, nullptr, TRUE,
                                     CREATE_NEW_PROCESS_GROUP | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                                     cwd.empty() ? nullptr : cwd.c_str(), &startup.StartupInfo, &info);
        DeleteProcThreadAttributeList(list);
        if (!created) return false;
        process_.Reset(info.hProcess);
        const UniqueKernelHandle thread(info.hThread);
        thread_id_ = info.dwThreadId;
        // From here only conspawn and what it starts hold the write end.
        child_output_write.Reset();
        output_ = std::make_unique<PipeReader>(std::move(our_output_read));
        return output_->started();
    }

    // Posts the stop request, retrying while conspawn has no queue yet.
    [[nodiscard]] bool PostStop() {
        const DWORD start = GetTickCount();
        for (;;) {
            if (PostThreadMessageA(thread_id_, kStopRequest, 0, 0)) {
                stop_tick_ = GetTickCount();
                return true;
            }
            if (GetLastError() != ERROR_INVALID_THREAD_ID || GetTickCount() - start > kPostRetryMs) return false;
            if (WaitForSingleObject(process_.Get(), 1) != WAIT_TIMEOUT) return false;
        }
    }

    // Waits for the end of the output and for conspawn's exit.
    [[nodiscard]] bool WaitForEnd(DWORD timeout_ms = kRunTimeoutMs) {
        if (!output_->WaitForEnd(timeout_ms)) return false;
        end_tick_ = GetTickCount();
        return WaitForSingleObject(process_.Get(), timeout_ms) == WAIT_OBJECT_0;
    }
    [[nodiscard]] bool WaitForExit(DWORD timeout_ms) const {
        return WaitForSingleObject(process_.Get(), timeout_ms) == WAIT_OBJECT_0;
    }

    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.Get(), &code);
        return code;
    }
    PipeReader& output() { return *output_; }
    DWORD MsFromStopToEnd() const { return end_tick_ - stop_tick_; }

private:
    UniqueKernelHandle process_;
    UniqueKernelHandle our_input_read_;  // kept open: the child holds the write end, as with the program
    DWORD thread_id_ = 0;
    std::unique_ptr<PipeReader> output_;
    DWORD stop_tick_ = 0;
    DWORD end_tick_ = 0;
};

struct RunResult {
    bool finished = false;
    std::string output;
    DWORD exit_code = STILL_ACTIVE;
};

RunResult RunToEnd(const TempDir& dir, const std::string& arguments, const std::string& cwd = "") {
    RunResult result;
    Spawn spawn;
    if (!spawn.Start(dir, arguments, cwd)) {
        ADD_FAILURE() << "cannot start conspawn " << arguments << ": error " << GetLastError();
        return result;
    }
    result.finished = spawn.WaitForEnd();
    result.output = spawn.output().Text();
    result.exit_code = spawn.ExitCode();
    return result;
}

// Names the first differing byte instead of printing megabytes.
::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual) {
    const std::size_t common = expected.size() < actual.size() ? expected.size() : actual.size();
    std::size_t at = 0;
    while (at < common && expected[at] == actual[at]) ++at;
    if (at == common && expected.size() == actual.size()) return ::testing::AssertionSuccess();
    const std::size_t from = at < 20 ? 0 : at - 20;
    return ::testing::AssertionFailure()
           << "first difference at byte " << at << " of " << expected.size() << " expected, " << actual.size()
           << " received; expected from " << from << ": " << ::testing::PrintToString(expected.substr(from, 40))
           << ", received: " << ::testing::PrintToString(actual.substr(from, 40));
}

class SpawnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        conspawn_ = Environment("TRACEWICK_CONSPAWN");
        fake_ = Environment("TRACEWICK_FAKE");
        ASSERT_FALSE(conspawn_.empty()) << "TRACEWICK_CONSPAWN is not set";
        ASSERT_FALSE(fake_.empty()) << "TRACEWICK_FAKE is not set";
        ASSERT_FALSE(dir_.path().empty()) << "no temporary folder";
        ASSERT_TRUE(dir_.Copy(conspawn_, "conspawn.exe"));
    }

    // The stand-in as `name`.exe in `dir`, playing `script`.
    void AddCommand(const TempDir& dir, const std::string& name, const std::string& script) {
        ASSERT_TRUE(dir.Copy(fake_, name + ".exe"));
        ASSERT_TRUE(dir.Write(name + ".script", script));
    }

    std::string conspawn_;
    std::string fake_;
    TempDir dir_;
};

// ---------------------------------------------------------------- output and exit

TEST_F(SpawnerTest, PassesOutputByteForByte) {
    // Standard error shares the pipe, so it lands in order between the writes.
    AddCommand(dir_, "ping",
               "out first line\n"
               "raw a\\0b\\r\\r\\nc\\rd\\ne\\0\\0\n"
               "err on error\n"
               "raw \\xff\\x80\\x7f\\t\\\\\n"
               "out\n"
               "longline 100000\n"
               "bulk 1048576\n"
               "out last line\n");
    const RunResult run = RunToEnd(dir_, "\"ping -n 4 host\"");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exit_code);
    std::string expected = "first line\r\n";
    expected += std::string("a\0b\r\r\nc\rd\ne\0\0", 13);
    expected += "on error\r\n";
    expected += "\xff\x80\x7f\t\\";
    expected += "\r\n";
    expected += std::string(100000, 'x') + "\r\n";
    expected += tracewick::fake::BulkText(1048576);
    expected += "last line\r\n";
    EXPECT_TRUE(SameBytes(expected, run.output));
}

TEST_F(SpawnerTest, ExitCodeOfTheCommandPropagates) {
    for (const DWORD code : {0ul, 1ul, 3ul, 255ul, 65536ul, 0xC0000005ul}) {
        SCOPED_TRACE(code);
        AddCommand(dir_, "ping", "out x\nexit " + std::to_string(code) + "\nout not reached\n");
        const RunResult run = RunToEnd(dir_, "\"ping\"");
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(code, run.exit_code);
        EXPECT_EQ("x\r\n", run.output);
    }
}

TEST_F(SpawnerTest, CommandEndingEndsWhatItStartedWithIt) {
    // A leftover grandchild holding the pipe would delay the end of data by
    // its whole hold.
    AddCommand(dir_, "ping", "grandchild " + std::to_string(kLongHoldMs) + "\nout done\nexit 5\n");
    Spawn spawn;
    ASSERT_TRUE(spawn.Start(dir_, "\"ping\""));
    ASSERT_TRUE(spawn.WaitForExit(kRunTimeoutMs));
    EXPECT_EQ(5u, spawn.ExitCode());
    EXPECT_TRUE(spawn.output().WaitForEnd(kPromptMs)) << "something still holds the pipe";
    EXPECT_EQ("done\r\n", spawn.output().Text());
}

// ---------------------------------------------------------------- stop request

TEST_F(SpawnerTest, StopEndsCommandAndGrandchildPromptly) {
    struct Row {
        const char* name;
        std::string script;
    };
    const std::string hold = std::to_string(kLongHoldMs);
    std::string printing = "out started\n";
    for (int line = 0; line < 3000; ++line) printing += "out tick\nsleep 10\n";
    printing += "out not reached\n";
    const Row rows[] = {
        {"sleeping command", "out started\nsleep " + hold + "\nout not reached\n"},
        {"grandchild holding the pipe", "grandchild " + hold + "\nout started\nsleep " + hold + "\nout not reached\n"},
        {"command still printing", printing},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AddCommand(dir_, "ping", row.script);
        Spawn spawn;
        ASSERT_TRUE(spawn.Start(dir_, "\"ping -t host\""));
        ASSERT_TRUE(spawn.output().WaitForText("started\r\n", kRunTimeoutMs));
        ASSERT_TRUE(spawn.PostStop());
        ASSERT_TRUE(spawn.WaitForEnd());
        EXPECT_LT(spawn.MsFromStopToEnd(), kPromptMs);
        EXPECT_EQ(kExitStopped, spawn.ExitCode());
        EXPECT_EQ(std::string::npos, spawn.output().Text().find("not reached"));
    }
}

TEST_F(SpawnerTest, StopPostedAtOnceIsNotLost) {
    // Posted while conspawn is still starting up or starting the command.
    AddCommand(dir_, "ping", "sleep " + std::to_string(kLongHoldMs) + "\n");
    for (int attempt = 0; attempt < 5; ++attempt) {
        SCOPED_TRACE(attempt);
        Spawn spawn;
        ASSERT_TRUE(spawn.Start(dir_, "\"ping\""));
        ASSERT_TRUE(spawn.PostStop());
        ASSERT_TRUE(spawn.WaitForEnd());
        EXPECT_LT(spawn.MsFromStopToEnd(), kPromptMs);
        EXPECT_EQ(kExitStopped, spawn.ExitCode());
    }
}

// ---------------------------------------------------------------- finding the command

TEST_F(SpawnerTest, CommandBesideConspawnWinsAndGetsItsArgumentsAsWritten) {
    TempDir cwd;
    ASSERT_FALSE(cwd.path().empty());
    AddCommand(cwd, "ping", "out copy in the current directory\n");
    AddCommand(dir_, "ping", "args\n");
    const std::string beside = "\"" + dir_.File("ping.exe") + "\"";
    struct Row {
        std::string arguments;
        std::string received;
    };
    const Row rows[] = {
        // Inner quotes, doubled blanks and the trailing blank are the command's.
        {"\"ping -l \"a  b\"  x \"", beside + " -l \"a  b\"  x "},
        // A command line cut short by the caller loses its closing quote.
        {"\"ping -n 1 hostna", beside + " -n 1 hostna"},
        {"\"ping.exe\"", beside},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments);
        const RunResult run = RunToEnd(dir_, row.arguments, cwd.path());
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(0u, run.exit_code);
        EXPECT_EQ(row.received + "\r\n", run.output);
    }
}

TEST_F(SpawnerTest, CommandNotBesideConspawnIsLeftToTheSystemSearch) {
    TempDir cwd;
    ASSERT_FALSE(cwd.path().empty());
    AddCommand(cwd, "ping", "args\n");
    const RunResult run = RunToEnd(dir_, "\"ping -n 1 host\"", cwd.path());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ("ping -n 1 host\r\n", run.output);
}

TEST_F(SpawnerTest, CommandThatCannotStartGivesOneLineNamingIt) {
    struct Row {
        std::string arguments;
        std::string name;
    };
    const Row rows[] = {
        {"\"nosuchcommand -n 1 host\"", "nosuchcommand"},
        {"\"\"C:\\no such folder\\tool.exe\" -a\"", "C:\\no such folder\\tool.exe"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments);
        const RunResult run = RunToEnd(dir_, row.arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(kExitCannotStart, run.exit_code);
        const std::string prefix = "conspawn: cannot start \"" + row.name + "\": ";
        EXPECT_EQ(0u, run.output.rfind(prefix, 0)) << run.output;
        EXPECT_GT(run.output.size(), prefix.size() + 2) << "the reason is missing";
        EXPECT_EQ(run.output.size() - 2, run.output.find_first_of("\r\n")) << "not exactly one line: " << run.output;
        EXPECT_EQ("\r\n", run.output.substr(run.output.size() - 2));
    }
}

TEST_F(SpawnerTest, NoCommandGivesUsage) {
    for (const char* arguments : {"", "\"\"", "\"   \"", "   "}) {
        SCOPED_TRACE(arguments);
        const RunResult run = RunToEnd(dir_, arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(kExitUsage, run.exit_code);
        EXPECT_EQ(0u, run.output.rfind("usage: conspawn ", 0)) << run.output;
        EXPECT_EQ(run.output.size() - 2, run.output.find_first_of("\r\n")) << run.output;
    }
}

// ---------------------------------------------------------------- the stand-in itself

TEST_F(SpawnerTest, StandInTakesItsOwnScriptBeforeTheNamedOne) {
    ASSERT_TRUE(dir_.Write("shared.script", "out from the named script\n"));
    ASSERT_TRUE(dir_.Copy(fake_, "ping.exe"));
    AddCommand(dir_, "tracert", "out from its own script\n");
    ASSERT_TRUE(SetEnvironmentVariableA("TRACEWICK_FAKE_SCRIPT", dir_.File("shared.script").c_str()));
    const RunResult named = RunToEnd(dir_, "\"ping\"");
    const RunResult own = RunToEnd(dir_, "\"tracert\"");
    SetEnvironmentVariableA("TRACEWICK_FAKE_SCRIPT", nullptr);
    const RunResult none = RunToEnd(dir_, "\"ping\"");

    EXPECT_EQ("from the named script\r\n", named.output);
    EXPECT_EQ("from its own script\r\n", own.output);
    EXPECT_TRUE(none.finished);
    EXPECT_EQ("", none.output);
    EXPECT_EQ(0u, none.exit_code);
}

TEST_F(SpawnerTest, StandInPlayingConspawnTakesTheStopRequestAndIgnoresIt) {
    ASSERT_TRUE(dir_.Copy(fake_, "conspawn.exe"));
    ASSERT_TRUE(dir_.Write("conspawn.script", "out started\nsleep 300\nout still here\nexit 4\n"));
    Spawn spawn;
    ASSERT_TRUE(spawn.Start(dir_, "\"ping host\""));
    ASSERT_TRUE(spawn.output().WaitForText("started\r\n", kRunTimeoutMs));
    EXPECT_TRUE(spawn.PostStop()) << "the post itself must succeed";
    ASSERT_TRUE(spawn.WaitForEnd());
    EXPECT_EQ("started\r\nstill here\r\n", spawn.output().Text());
    EXPECT_EQ(4u, spawn.ExitCode());
}

TEST(BulkText, FollowsItsDocumentedFormula) {
    // UI tests and benchmarks rebuild the stand-in's stream from this.
    const std::string text = tracewick::fake::BulkText(2 * 64 + 7);
    EXPECT_EQ(
        "line 000001 bcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxy\r\n"
        "line 000002 cdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz\r\n"
        "line 00",
        text);
    EXPECT_EQ(tracewick::fake::BulkText(1000 * 64).substr(999 * 64, 12), "line 001000 ");
    EXPECT_EQ(tracewick::fake::BulkTextAt(64 * 1024, 64), tracewick::fake::BulkText(64 * 1025).substr(64 * 1024));
}

}  // namespace
