// conspawn.exe: runs one console command for Tracewick, passing it the standard
// handles this process inherited, and ends the command together with
// everything it started when Tracewick posts the stop request.
// Single-threaded: the main thread's id is what Tracewick posts to.
//
//   conspawn.exe "COMMAND ARGUMENTS"
//
// Exit code: the command's own when it ends, else one of spawner/contract.h
// (one line on standard error says why a command could not be started).
// Its console writes in the output code page of spawner/contract.h.
#include <windows.h>

#include <string>

#include "framework/handles.h"
#include "framework/process_start.h"
#include "framework/system_error.h"
#include "spawner/contract.h"

namespace {

using tracewick::kStopRequest;
using tracewick::UniqueKernelHandle;

constexpr DWORD kExitStopped = tracewick::kSpawnerStopped;
constexpr DWORD kExitUsage = tracewick::kSpawnerUsage;
constexpr DWORD kExitCannotStart = tracewick::kSpawnerCannotStart;

// After a stop, how long to let the command's end settle before we exit, so
// that our exit normally means the command is gone too.
constexpr DWORD kStopSettleMs = 2000;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// In the console's code page, as the command's own lines are.
void WriteError(const std::string& line) {
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err == nullptr || err == INVALID_HANDLE_VALUE) return;
    const std::string text = tracewick::ToOutputText(line) + "\r\n";
    DWORD written = 0;
    WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The system's reason for `error` as a sentence, or its number when the
// system has no words for it.
std::string Reason(DWORD error) {
    const std::string words = tracewick::SystemErrorText(error);
    return words.empty() ? "error " + std::to_string(error) : words + ".";
}

void ReportCannotStart(const std::string& program, DWORD error) {
    WriteError("conspawn: cannot start \"" + program + "\": " + Reason(error));
}

// Our own arguments: the raw command line after the program name. The
// command is taken as written, never split and rejoined, so its own quoting
// and spacing reach it unchanged.
std::string CommandFromCommandLine(const char* line) {
    const char* p = line;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    while (IsBlank(*p)) ++p;
    std::string command = p;
    while (!command.empty() && IsBlank(command.back())) command.pop_back();
    // One pair of surrounding quotes; a missing closing quote (a command
    // line cut short by the caller) still leaves the command.
    if (!command.empty() && command.front() == '"') {
        command.erase(0, 1);
        if (!command.empty() && command.back() == '"') command.pop_back();
    }
    return command;
}

struct SplitCommand {
    std::string program;  // first word, without its quotes
    std::string rest;     // everything after the first word, as written
};

SplitCommand Split(const std::string& command) {
    SplitCommand split;
    std::size_t end;
    if (!command.empty() && command.front() == '"') {
        end = command.find('"', 1);
        split.program = command.substr(1, end == std::string::npos ? std::string::npos : end - 1);
        end = end == std::string::npos ? command.size() : end + 1;
    } else {
        end = 0;
        while (end < command.size() && !IsBlank(command[end])) ++end;
        split.program = command.substr(0, end);
    }
    split.rest = command.substr(end);
    return split;
}

std::string OwnDirectory() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string SystemDirectory() {
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) + "\\" : std::string();
}

// The command line to start. A bare program name is looked up beside us,
// then in the system directory, then along PATH, and never in the current
// directory: that is the settings folder, which anyone may be able to drop
// a program into. False when it is found nowhere.
bool ResolveCommand(const std::string& command, const SplitCommand& split, std::string& resolved) {
    const std::string& name = split.program;
    if (name.find_first_of("\\/:") != std::string::npos) {
        resolved = command;
        return true;
    }
    const std::string file = name.find('.') == std::string::npos ? name + ".exe" : name;
    std::string found;
    for (const std::string& dir : {OwnDirectory(), SystemDirectory()}) {
        if (!dir.empty() && IsFile(dir + file)) {
            found = dir + file;
            break;
        }
    }
    if (found.empty()) {
        const DWORD path_length = GetEnvironmentVariableA("PATH", nullptr, 0);
        std::string path(path_length, '\0');
        if (path_length > 0 && GetEnvironmentVariableA("PATH", path.data(), path_length) > 0) {
            char full[MAX_PATH] = {};
            // With the folders given, the search does not look in the current one.
            const DWORD length = SearchPathA(path.c_str(), file.c_str(), nullptr, MAX_PATH, full, nullptr);
            if (length > 0 && length < MAX_PATH) found = full;
        }
    }
    if (found.empty()) return false;
    resolved = "\"" + found + "\"" + split.rest;
    return true;
}

// Gives the console the code page Tracewick reads the output in, whatever a
// user set for consoles. Only a console of our own, made for us as
// Tracewick starts us: one we were started in belongs to someone else.
void PinOutputCodePage() {
    DWORD processes[2] = {};
    if (GetConsoleProcessList(processes, 2) != 1) return;
    if (const UINT page = tracewick::OutputCodePage(); GetConsoleOutputCP() != page) SetConsoleOutputCP(page);
}

// A stop request that came before the command started: the run was cancelled.
bool StopRequested() {
    MSG message;
    return PeekMessageA(&message, nullptr, kStopRequest, kStopRequest, PM_NOREMOVE) && message.hwnd == nullptr;
}

// A job that ends every process in it when its last handle closes, so the
// command and anything it starts die with us. Null when the system refuses.
UniqueKernelHandle CreateKillOnCloseJob() {
    UniqueKernelHandle job(CreateJobObjectA(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) job.Reset();
    return job;
}

int Run() {
    // The message queue comes first: a stop request posted before it exists
    // is refused, and one posted after is kept until we look.
    MSG message;
    PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

    PinOutputCodePage();

    const std::string command = CommandFromCommandLine(GetCommandLineA());
    const SplitCommand split = Split(command);
    if (split.program.empty()) {
        WriteError("usage: conspawn \"COMMAND [ARGUMENTS]\"");
        return kExitUsage;
    }
    std::string command_line;
    if (!ResolveCommand(command, split, command_line)) {
        ReportCannotStart(split.program, ERROR_FILE_NOT_FOUND);
        return kExitCannotStart;
    }
    // Cancelled while we were starting: the command never starts.
    if (StopRequested()) return kExitStopped;

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    if (!tracewick::StartProcessRetrying([&] {
            return CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                                  nullptr, &startup, &info) != FALSE;
        })) {
        const DWORD error = GetLastError();
        // A start cut short by a cancel is the cancel, not a failure.
        if (StopRequested()) return kExitStopped;
        ReportCannotStart(split.program, error);
        return kExitCannotStart;
    }
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);

    // Where jobs cannot nest (a caller that runs us inside its own job on an
    // older system) the command still runs; a stop then ends only the command.
    UniqueKernelHandle job = CreateKillOnCloseJob();
    if (job && !AssignProcessToJobObject(job.Get(), process.Get())) job.Reset();

    if (ResumeThread(thread.Get()) == static_cast<DWORD>(-1)) {
        const DWORD error = GetLastError();
        TerminateProcess(process.Get(), kExitCannotStart);
        if (StopRequested()) return kExitStopped;
        ReportCannotStart(split.program, error);
        return kExitCannotStart;
    }

    const HANDLE waits[] = {process.Get()};
    for (;;) {
        // Drain before waiting: a request that arrived while the command was
        // being started is already in the queue.
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.hwnd == nullptr && message.message == kStopRequest) {
                if (job) {
                    TerminateJobObject(job.Get(), kExitStopped);
                } else {
                    TerminateProcess(process.Get(), kExitStopped);
                }
                WaitForSingleObject(process.Get(), kStopSettleMs);
                return kExitStopped;
            }
            DispatchMessageA(&message);
        }
        // MWMO_INPUTAVAILABLE: wake for anything queued, not only for what
        // arrived since the last look.
        const DWORD woken = MsgWaitForMultipleObjectsEx(1, waits, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0) {
            DWORD code = 0;
            if (!GetExitCodeProcess(process.Get(), &code)) code = kExitCannotStart;
            return static_cast<int>(code);
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            // Cannot wait any more: do not leave the command behind.
            const DWORD error = GetLastError();
            if (job) TerminateJobObject(job.Get(), kExitCannotStart);
            TerminateProcess(process.Get(), kExitCannotStart);
            WriteError("conspawn: cannot wait for \"" + split.program + "\": " + Reason(error));
            return kExitCannotStart;
        }
    }
}

}  // namespace

int main() { return Run(); }
