// The asynchronous command runner: one worker thread per run starts the
// run's commands strictly one after the other, reads each spawner's output
// and delivers every chunk, then one end line, through the run's channel,
// waking the page once until it has taken what waits. The page's run
// cycle decides when to start, stop and end a run; this carries it out.
// Every method is for the user-interface thread; the worker touches only
// its run's Shared block and posts messages.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/command_line.h"
#include "core/run_channel.h"
#include "framework/handles.h"

namespace tracewick {

// What sets one page's runner apart from another's.
struct RunnerTraits {
    const char* cancelled_text;
    // What comes before the end line's text: pages that show whole lines
    // have already ended the last line themselves.
    const char* end_break = "\r\n\r\n";
};

// Applied by the worker to each chunk before it is delivered, and to an
// empty chunk when a command's output has ended, for what it held back.
using ChunkRewrite = std::function<std::string(std::string_view)>;

// What a worker posts to its page when its run's channel has something
// again: wParam is the run's number. At most one is outstanding per run.
inline constexpr UINT kRunWakeMessage = WM_APP + 16;

class AsyncRunner {
public:
    explicit AsyncRunner(const RunnerTraits& traits) : traits_(traits) {}
    // Never waits: a worker still running keeps its own state alive and its
    // posts to a page that is gone are dropped and freed.
    ~AsyncRunner() = default;

    AsyncRunner(const AsyncRunner&) = delete;
    AsyncRunner& operator=(const AsyncRunner&) = delete;

    // Starts run `run` of `steps`, waking `page` when its channel holds
    // something; false when the worker thread could not be started. Each step's heading
    // is posted as output just before its command starts; a command that
    // cannot start is said in the output and the run goes on with the next.
    // The worker passes each chunk through `rewrite`, when there is one.
    [[nodiscard]] bool Start(HWND page, unsigned run, std::vector<RunStep> steps, ChunkRewrite rewrite = {});

    // Cancels the current run, also one whose spawner is still starting: the
    // worker stops reading at once, sends the spawner the stop request (also
    // one that has no message queue yet), starts no further command and ends
    // with the cancelled line. Never blocks for longer than a post.
    void Stop();

    // The cancel time-out: the spawner did not obey. Ends it; its job takes
    // the command along.
    void EndNow();

    // What run `run` has delivered, up to `max_length` bytes, and its end
    // once everything before it is taken; nothing for a run not current.
    [[nodiscard]] RunChannel::Batch Take(unsigned run, std::size_t max_length);
    // Set whenever the current run wakes its page: a synchronous wait
    // waits on it rather than on the page's queue. Null before a run.
    [[nodiscard]] HANDLE WakeEvent() const noexcept { return shared_ ? shared_->wake_event.Get() : nullptr; }

    // Shared by the worker and the user-interface thread for one run.
    struct Shared {
        // How far the window may fall behind before the worker waits.
        static constexpr std::size_t kChannelBound = 1 << 20;
        unsigned run = 0;
        RunChannel channel{kChannelBound};
        UniqueKernelHandle wake_event;  // auto-reset, set with each wake-up
        std::atomic<bool> cancel{false};
        UniqueKernelHandle cancel_event;  // set with `cancel`: wakes the worker from its read
        // The spawner running now, if any: the worker writes both under the
        // lock as each command starts and ends; the user-interface thread
        // reads them under it.
        SRWLOCK lock = SRWLOCK_INIT;
        DWORD child_thread_id = 0;
        UniqueKernelHandle process;
    };

private:
    RunnerTraits traits_;
    std::shared_ptr<Shared> shared_;
};

}  // namespace tracewick
