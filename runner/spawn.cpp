#include "runner/spawn.h"

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

}  // namespace

SpawnedCommand StartSpawner(const std::string& command_line, DWORD creation_flags) {
    SpawnedCommand result;
    if (command_line.size() > kMaxCommandLength) {
        result.error = ERROR_BAD_LENGTH;
        return result;
    }
    UniqueKernelHandle child_output_write;
    UniqueKernelHandle child_input_write;
    if (!CreateQuietPipe(result.our_output_read, child_output_write) ||
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
    ::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                sizeof inherited, nullptr, nullptr);

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
    const BOOL started = ::CreateProcessA(nullptr, buffer, nullptr, nullptr, TRUE,
                                          creation_flags | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                                          nullptr, &startup.StartupInfo, &process);
    if (!started) result.error = ::GetLastError();
    ::DeleteProcThreadAttributeList(attributes);
    if (!started) return result;
    result.process.Reset(process.hProcess);
    result.thread.Reset(process.hThread);
    result.thread_id = process.dwThreadId;
    // Our copies of the child's ends close now: once the child and what it
    // started have exited, reads fail, which is the end of data.
    return result;
}

bool PostStopRequest(DWORD thread_id) {
    constexpr ULONGLONG kPatience = 1000;  // ms the spawner may take to create its queue
    const ULONGLONG deadline = ::GetTickCount64() + kPatience;
    for (;;) {
        if (::PostThreadMessageA(thread_id, kStopRequest, 0, 0)) return true;
        if (::GetLastError() != ERROR_INVALID_THREAD_ID || ::GetTickCount64() >= deadline) return false;
        ::Sleep(5);
    }
}

std::string SpawnFailureText(DWORD error) {
    char reason[256] = {};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                    error, 0, reason, sizeof reason, nullptr);
    while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n' || reason[length - 1] == ' ')) {
        reason[--length] = '\0';
    }
    std::string text = "Tracewick could not start conspawn.exe";
    if (length > 0) {
        text += ": ";
        text += reason;
    } else {
        text += " (error " + std::to_string(error) + ").";
    }
    return text + "\r\n";
}

bool ReadChunk(HANDLE pipe, std::string& chunk) {
    char buffer[1000];
    DWORD read = 0;
    if (!::ReadFile(pipe, buffer, sizeof buffer, &read, nullptr)) return false;
    chunk.assign(buffer, read);
    return true;
}

}  // namespace tracewick
