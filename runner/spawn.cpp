#include "runner/spawn.h"

#include "framework/message_box.h"
#include "framework/process_start.h"

#include <atomic>
#include <vector>

#include "core/command_line.h"

namespace tracewick {

namespace {

// A pipe whose ends are not inheritable; the child's end is handed over
// explicitly through the handle list.
bool CreateQuietPipe(UniqueKernelHandle& read, UniqueKernelHandle& write) {
    HANDLE r = nullptr;
    HANDLE w = nullptr;
    if (!::CreatePipe(&r, &w, nullptr, 0)) return false;
    read.Reset(r);
    write.Reset(w);
    return true;
}

// The output pipe: a byte pipe whose read end is ours and overlapped, so a
// read waiting for a silent command can be given up (ReadChunk's cancel),
// while the command writes to its end as to any pipe.
bool CreateOutputPipe(UniqueFile& ours, UniqueKernelHandle& childs) {
    static std::atomic<unsigned> serial{0};
    const std::string name = "\\\\.\\pipe\\tracewick-output-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(++serial);
    constexpr DWORD kBufferLength = 64 * 1024;
    ours.Reset(::CreateNamedPipeA(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                  PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                                  kBufferLength, kBufferLength, 0, nullptr));
    if (!ours) return false;
    const HANDLE end = ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (end == INVALID_HANDLE_VALUE) return false;
    childs.Reset(end);
    return true;
}

// The job every spawner of this program runs in: when the program ends, for
// whatever reason, the system closes its handle and ends them all. What a
// spawner starts breaks away silently into the spawner's own job, which
// ends with the spawner. Null where the system refuses a job.
HANDLE ProgramJob() {
    static const UniqueKernelHandle job = [] {
        UniqueKernelHandle created(::CreateJobObjectA(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
        if (created && !::SetInformationJobObject(created.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
            created.Reset();
        }
        return created;
    }();
    return job.Get();
}

}  // namespace

SpawnedCommand StartSpawner(const std::string& command_line, DWORD creation_flags) {
    SpawnedCommand result;
    if (command_line.size() > kMaxCommandLength) {
        result.error = ERROR_BAD_LENGTH;
        return result;
    }
    UniqueKernelHandle child_output_write;
    UniqueKernelHandle child_input_write;
    // One event for every read of the run, not one a chunk.
    result.read_done.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!result.read_done || !CreateOutputPipe(result.our_output_read, child_output_write) ||
        !CreateQuietPipe(result.our_input_read, child_input_write)) {
        result.error = ::GetLastError();
        return result;
    }
    ::SetHandleInformation(child_output_write.Get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    ::SetHandleInformation(child_input_write.Get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);

    HANDLE inherited[] = {child_output_write.Get(), child_input_write.Get()};
    SIZE_T list_size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &list_size);
    std::vector<char> list_storage(list_size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list_storage.data());
    if (!::InitializeProcThreadAttributeList(attributes, 1, 0, &list_size)) {
        result.error = ::GetLastError();
        return result;
    }
    // Without the list the spawner would inherit every inheritable handle,
    // another run's pipe ends among them: refuse to start it then.
    if (!::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited, sizeof inherited,
                                     nullptr, nullptr)) {
        result.error = ::GetLastError();
        ::DeleteProcThreadAttributeList(attributes);
        return result;
    }

    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdOutput = child_output_write.Get();
    startup.StartupInfo.hStdError = child_output_write.Get();
    startup.StartupInfo.hStdInput = child_input_write.Get();
    startup.lpAttributeList = attributes;

    char buffer[kMaxCommandLength + 1] = {};
    command_line.copy(buffer, command_line.size());
    PROCESS_INFORMATION process{};
    const bool started = StartProcessRetrying([&] {
        return ::CreateProcessA(nullptr, buffer, nullptr, nullptr, TRUE,
                                creation_flags | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                                &startup.StartupInfo, &process) != FALSE;
    });
    if (!started) result.error = ::GetLastError();
    ::DeleteProcThreadAttributeList(attributes);
    if (!started) return result;
    UniqueKernelHandle spawner(process.hProcess);
    result.thread.Reset(process.hThread);
    // In the program's job before it runs; where the system refuses (the
    // program itself runs in a job that allows no other) it runs all the same.
    if (const HANDLE job = ProgramJob()) ::AssignProcessToJobObject(job, spawner.Get());
    if (::ResumeThread(result.thread.Get()) == static_cast<DWORD>(-1)) {
        result.error = ::GetLastError();
        ::TerminateProcess(spawner.Get(), kSpawnerCannotStart);
        result.thread.Reset();
        return result;
    }
    result.process = std::move(spawner);
    result.thread_id = process.dwThreadId;
    // Our copies of the child's ends close now: once the child and what it
    // started have exited, reads fail, which is the end of data.
    return result;
}

bool TryPostStopRequest(DWORD thread_id) { return ::PostThreadMessageA(thread_id, kStopRequest, 0, 0) != FALSE; }

bool PostStopRequest(DWORD thread_id, HANDLE process) {
    constexpr DWORD kPauseMs = 5;
    for (;;) {
        // An ended spawner has nothing left to stop, and its thread id may
        // already name another thread.
        if (::WaitForSingleObject(process, 0) != WAIT_TIMEOUT) return false;
        if (TryPostStopRequest(thread_id)) return true;
        if (::GetLastError() != ERROR_INVALID_THREAD_ID) return false;
        ::WaitForSingleObject(process, kPauseMs);  // its queue is on its way
    }
}

std::string SpawnFailureText(DWORD error) {
    const std::string reason = SystemErrorText(error);
    return "Tracewick could not start conspawn.exe" +
           (reason.empty() ? " (error " + std::to_string(error) + ")." : ": " + reason + ".") + "\r\n";
}

bool ReadChunk(const SpawnedCommand& child, std::string& chunk, HANDLE cancel) {
    char buffer[1000];
    const HANDLE pipe = child.our_output_read.Get();
    const HANDLE done = child.read_done.Get();
    OVERLAPPED request{};
    request.hEvent = done;
    DWORD read = 0;
    if (!::ReadFile(pipe, buffer, sizeof buffer, &read, &request)) {
        if (::GetLastError() != ERROR_IO_PENDING) return false;  // broken pipe: the end of data
        const HANDLE waits[] = {done, cancel};
        if (::WaitForMultipleObjects(cancel ? 2 : 1, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
            ::CancelIoEx(pipe, &request);
            ::GetOverlappedResult(pipe, &request, &read, TRUE);  // the buffer stays ours until then
            return false;
        }
        if (!::GetOverlappedResult(pipe, &request, &read, FALSE)) return false;
    }
    chunk.assign(buffer, read);
    return true;
}

}  // namespace tracewick
