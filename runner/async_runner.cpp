#include "runner/async_runner.h"

#include "core/pane_text.h"
#include "runner/spawn.h"
#include "spawner/contract.h"

namespace tracewick {

namespace {

// What the worker needs, copied at the start so the page may start a new
// run at once; the worker owns it.
struct WorkerStart {
    std::shared_ptr<AsyncRunner::Shared> shared;
    HWND page;
    std::vector<RunStep> steps;
    unsigned run;
    RunnerTraits traits;
    ChunkRewrite rewrite;

    // Into the run's channel; the page is woken when it had taken all before.
    void Deliver(std::string_view text) const {
        if (shared->channel.Append(text)) Wake();
    }
    void Finish(std::string end, DWORD exit_code) const {
        if (shared->channel.Finish({std::move(end), exit_code})) Wake();
    }
    // A page that is gone takes nothing: its run is stopped with it.
    void Wake() const {
        ::SetEvent(shared->wake_event.Get());
        ::PostMessageA(page, kRunWakeMessage, run, 0);
    }
};

void ReadUntilEndOrCancel(const WorkerStart& start, AsyncRunner::Shared& shared, const SpawnedCommand& child) {
    std::string chunk;
    while (!shared.cancel && ReadChunk(child, chunk, shared.cancel_event.Get())) {
        DropNuls(chunk);
        if (chunk.empty()) continue;
        if (start.rewrite) chunk = start.rewrite(chunk);
        start.Deliver(chunk);
    }
    if (start.rewrite) start.Deliver(start.rewrite({}));
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
            start.Deliver(ToOutputText(SpawnFailureText(child.error)));
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
            start->Deliver(step.heading);
            const DWORD code = RunOneCommand(*start, shared, step.command);
            if (exit_code == 0) exit_code = code;
        }
        start->Finish(start->traits.end_break + std::string(shared.cancel ? start->traits.cancelled_text : kEndOfDataText),
                      shared.cancel ? 1 : exit_code);
    } catch (...) {
        // Out of memory, most likely. The run still ends, as a failure: a
        // page without its end line would stay running for good.
        try {
            start->Deliver("Tracewick could not go on with this run.\r\n");
            start->Finish(start->traits.end_break + std::string(kEndOfDataText), 1);
        } catch (...) {
        }
    }
    return 0;
}

}  // namespace

bool AsyncRunner::Start(HWND page, unsigned run, std::vector<RunStep> steps, ChunkRewrite rewrite) {
    shared_ = std::make_shared<Shared>();
    shared_->run = run;
    shared_->cancel_event.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    shared_->wake_event.Reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!shared_->cancel_event || !shared_->wake_event) return false;
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
    // A worker waiting for the page to take its output must see the cancel.
    shared_->channel.Close();
}

void AsyncRunner::EndNow() {
    if (!shared_) return;
    Stop();
    SharedLock lock(*shared_);
    if (shared_->child_thread_id != 0) ::TerminateProcess(shared_->process.Get(), kSpawnerStopped);
}

RunChannel::Batch AsyncRunner::Take(unsigned run, std::size_t max_length) {
    if (!shared_ || shared_->run != run) return {};
    return shared_->channel.Take(max_length);
}

}  // namespace tracewick
