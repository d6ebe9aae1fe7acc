#include "runner/async_runner.h"

#include "core/pane_text.h"
#include "runner/spawn.h"

namespace tracewick {

namespace {

// What the worker needs, copied at the start so the page may start a new
// run at once; the worker owns it.
struct WorkerStart {
    std::shared_ptr<AsyncRunner::Shared> shared;
    HWND page;
    std::string command_line;
    unsigned run;
    RunnerTraits traits;
    ChunkRewrite rewrite;
};

DWORD WINAPI Worker(void* argument) {
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(argument));
    AsyncRunner::Shared& shared = *start->shared;
    // Exceptions never leave the thread.
    try {
        SpawnedCommand child = StartSpawner(start->command_line, CREATE_NEW_PROCESS_GROUP);
        if (!child.Started()) {
            PostText(start->page, start->traits.output_message, start->run, SpawnFailureText(child.error));
        } else {
            shared.child_thread_id = child.thread_id;
            // A cancel that came while the spawner was starting.
            if (shared.cancel) PostStopRequest(child.thread_id);
            std::string chunk;
            while (!shared.cancel && ReadChunk(child.our_output_read.Get(), chunk)) {
                const std::string_view text = UpToNul(chunk);
                if (text.empty()) continue;
                PostText(start->page, start->traits.output_message, start->run,
                         start->rewrite ? start->rewrite(text) : std::string(text));
            }
            if (!shared.cancel) ::WaitForSingleObject(child.process.Get(), INFINITE);
        }
        const std::string end = EndLine(shared.cancel ? start->traits.cancelled_text : "End of Data");
        PostText(start->page, start->traits.done_message, start->run, end);
    } catch (...) {
    }
    return 0;
}

}  // namespace

bool PostText(HWND window, UINT message, unsigned run, std::string text) {
    auto payload = std::make_unique<PostedText>(PostedText{run, std::move(text)});
    if (!::PostMessageA(window, message, 0, reinterpret_cast<LPARAM>(payload.get()))) return false;
    payload.release();  // the receiver owns it now
    return true;
}

bool AsyncRunner::Start(HWND page, std::string command_line, ChunkRewrite rewrite) {
    StopCancelTimer();
    page_ = page;
    ++run_;
    shared_ = std::make_shared<Shared>();
    auto start = std::make_unique<WorkerStart>(
        WorkerStart{shared_, page, std::move(command_line), run_, traits_, std::move(rewrite)});
    HANDLE thread = ::CreateThread(nullptr, 0, &Worker, start.get(), 0, nullptr);
    if (!thread) {
        active_ = false;
        return false;
    }
    start.release();  // the worker owns it now
    worker_.Reset(thread);
    active_ = true;
    return true;
}

DWORD AsyncRunner::ChildThreadId() const noexcept {
    return active_ && shared_ ? shared_->child_thread_id.load() : 0;
}

bool AsyncRunner::Cancelled() const noexcept { return shared_ && shared_->cancel; }

void AsyncRunner::Cancel() {
    if (!active_ || shared_->cancel) return;
    shared_->cancel = true;
    // When the spawner has not started yet, the worker sends the request
    // itself as soon as it has.
    if (const DWORD child = shared_->child_thread_id) PostStopRequest(child);
    timer_running_ = ::SetTimer(page_, traits_.cancel_timer_id, 3000, nullptr) != 0;
}

void AsyncRunner::OnCancelTimeout() {
    StopCancelTimer();
    if (!active_) return;
    if (::WaitForSingleObject(worker_.Get(), 0) == WAIT_OBJECT_0) return;
    // The spawner did not stop: wake the worker from its read so that it
    // closes its handles and posts the cancelled line itself.
    ::CancelSynchronousIo(worker_.Get());
    if (::WaitForSingleObject(worker_.Get(), 1000) == WAIT_OBJECT_0) return;
    // Last resort for a worker that cannot be woken.
    ::TerminateThread(worker_.Get(), 0);
    PostText(page_, traits_.done_message, run_, EndLine(traits_.cancelled_text));
}

std::optional<std::string> AsyncRunner::TakeOutput(LPARAM lparam) {
    std::unique_ptr<PostedText> posted(reinterpret_cast<PostedText*>(lparam));
    if (!posted || posted->run != run_ || !active_) return std::nullopt;
    return std::move(posted->text);
}

std::optional<std::string> AsyncRunner::TakeDone(LPARAM lparam) {
    std::unique_ptr<PostedText> posted(reinterpret_cast<PostedText*>(lparam));
    if (!posted || posted->run != run_ || !active_) return std::nullopt;
    active_ = false;
    StopCancelTimer();
    return std::move(posted->text);
}

void AsyncRunner::StopCancelTimer() {
    if (timer_running_) ::KillTimer(page_, traits_.cancel_timer_id);
    timer_running_ = false;
}

}  // namespace tracewick
