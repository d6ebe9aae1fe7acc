#include "runner/async_runner.h"

#include "core/delivery.h"
#include "core/pane_text.h"
#include "runner/spawn.h"
#include "spawner/contract.h"

namespace tracewick {

namespace {

// How long a worker waits before posting to a full queue again.
constexpr DWORD kQueueFullPauseMs = 10;

// Posts `text` of run `run` to `window`. A full queue is waited out while the
// window exists; false (and the text freed) once it is gone.
bool PostText(HWND window, UINT message, unsigned run, std::string text, DWORD exit_code = 0) {
    auto payload = std::make_unique<PostedText>(PostedText{run, std::move(text), exit_code});
    const auto lparam = reinterpret_cast<LPARAM>(payload.get());
    if (!PostPatiently([&] { return ::PostMessageA(window, message, 0, lparam) != FALSE; },
                       [&] { return ::IsWindow(window) != FALSE; }, [] { ::Sleep(kQueueFullPauseMs); })) {
        return false;
    }
    payload.release();  // the receiver owns it now
    return true;
}

// What the worker needs, copied at the start so the page may start a new
// run at once; the worker owns it.
struct WorkerStart {
    std::shared_ptr<AsyncRunner::Shared> shared;
    HWND page;
    std::vector<RunStep> steps;
    unsigned run;
    RunnerTraits traits;
    ChunkRewrite rewrite;
};

void ReadUntilEndOrCancel(const WorkerStart& start, AsyncRunner::Shared& shared, const SpawnedCommand& child) {
    std::string chunk;
    while (!shared.cancel && ReadChunk(child, chunk, shared.cancel_event.Get())) {
        DropNuls(chunk);
        if (chunk.empty()) continue;
        if (start.rewrite) chunk = start.rewrite(chunk);
        if (!chunk.empty()) PostText(start.page, start.traits.output_message, start.run, std::move(chunk));
    }
    if (!start.rewrite) return;
    if (std::string held = start.rewrite({}); !held.empty()) {
        PostText(start.page, start.traits.output_message, start.run, std::move(held));
    }
}

class SharedLock {
public:
    explicit SharedLock(AsyncRunner::Shared& shared) noexcept : lock_(&shared.lock) { ::AcquireSRWLockExclusive(lock_); }
    ~SharedLock() { ::ReleaseSRWLockExclusive(lock_); }
    SharedLock(const SharedLock&) = delete;
    SharedLock& operator=(const SharedLock&) = delete;

private:
    SRWLOCK* lock_;
};

// One command of the run, from its start to its spawner's end; its exit
// code, which the spawner passes through from the command.
DWORD RunOneCommand(const WorkerStart& start, AsyncRunner::Shared& shared, const std::string& command_line) {
    SpawnedCommand child = StartSpawner(command_line, CREATE_NEW_PROCESS_GROUP);
    if (!child.Started()) {
        // Among the output, so in its code page.
        if (!shared.cancel) {
            PostText(start.page, start.traits.output_message, start.run, ToOutputText(SpawnFailureText(child.error)));
        }
        return kSpawnerCannotStart;  // as the spawner says of a command it cannot start
    }
    HANDLE process = child.process.Get();
    {
        SharedLock lock(shared);
        shared.process = std::move(child.process);
        shared.child_thread_id = child.thread_id;
    }
    ReadUntilEndOrCancel(start, shared, child);
    // Retried while the spawner has no queue yet, until it takes the
    // request or has ended. The run ends only with its spawner, so nothing
    // of it runs on hidden; one that ignores the request is ended by the
    // cancel time-out (EndNow).
    if (shared.cancel) PostStopRequest(child.thread_id, process);
    ::WaitForSingleObject(process, INFINITE);
    DWORD exit_code = 0;
    if (!::GetExitCodeProcess(process, &exit_code)) exit_code = 1;
    SharedLock lock(shared);
    shared.child_thread_id = 0;
    shared.process.Reset();
    return exit_code;
}

DWORD WINAPI Worker(void* argument) {
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(argument));
    AsyncRunner::Shared& shared = *start->shared;
    // Exceptions never leave the thread.
    try {
        // Strictly one after the other; a cancelled run starts no further
        // command, nor one whose spawner had not started yet.
        DWORD exit_code = 0;
        for (const auto& step : start->steps) {
            if (shared.cancel) break;
            if (!step.heading.empty()) PostText(start->page, start->traits.output_message, start->run, step.heading);
            const DWORD code = RunOneCommand(*start, shared, step.command);
            if (exit_code == 0) exit_code = code;
        }
        const std::string end = start->traits.end_break +
                                std::string(shared.cancel ? start->traits.cancelled_text : kEndOfDataText);
        PostText(start->page, start->traits.done_message, start->run, end, shared.cancel ? 1 : exit_code);
    } catch (...) {
        // Out of memory, most likely. The run still ends, as a failure: a
        // page without its end line would stay running for good.
        try {
            PostText(start->page, start->traits.output_message, start->run, "Tracewick could not go on with this run.\r\n");
            PostText(start->page, start->traits.done_message, start->run,
                     start->traits.end_break + std::string(kEndOfDataText), 1);
        } catch (...) {
        }
    }
    return 0;
}

}  // namespace

std::unique_ptr<PostedText> TakePosted(LPARAM lparam) noexcept {
    return std::unique_ptr<PostedText>(reinterpret_cast<PostedText*>(lparam));
}

bool AsyncRunner::Start(HWND page, unsigned run, std::vector<RunStep> steps, ChunkRewrite rewrite) {
    shared_ = std::make_shared<Shared>();
    shared_->cancel_event.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!shared_->cancel_event) return false;
    auto start = std::make_unique<WorkerStart>(
        WorkerStart{shared_, page, std::move(steps), run, traits_, std::move(rewrite)});
    const HANDLE thread = ::CreateThread(nullptr, 0, &Worker, start.get(), 0, nullptr);
    if (!thread) return false;
    start.release();  // the worker owns it now
    ::CloseHandle(thread);  // it ends by itself; nothing here waits for it
    return true;
}

void AsyncRunner::Stop() {
    if (!shared_ || shared_->cancel.exchange(true)) return;
    // One try from here, which is all a closing program has time for; the
    // worker, woken from its read, keeps trying while the spawner starts.
    // A spawner that has ended may have left its thread id to another thread.
    {
        SharedLock lock(*shared_);
        const DWORD child = shared_->child_thread_id;
        if (child != 0 && ::WaitForSingleObject(shared_->process.Get(), 0) == WAIT_TIMEOUT) TryPostStopRequest(child);
    }
    ::SetEvent(shared_->cancel_event.Get());
}

void AsyncRunner::EndNow() {
    if (!shared_) return;
    Stop();
    SharedLock lock(*shared_);
    if (shared_->child_thread_id != 0) ::TerminateProcess(shared_->process.Get(), kSpawnerStopped);
}

}  // namespace tracewick
