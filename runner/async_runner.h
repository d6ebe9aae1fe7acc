// The asynchronous command runner: one worker thread per run starts the
// run's commands strictly one after the other, reads each spawner's output
// and posts every chunk, then one end line, to the page. The page's run
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
#include "framework/handles.h"

namespace tracewick {

// What sets one page's runner apart from another's.
struct RunnerTraits {
    UINT output_message;  // the page's WM_PAGE_OUTPUT
    UINT done_message;    // the page's WM_PAGE_DONE
    const char* cancelled_text;
    // What comes before the end line's text: pages that show whole lines
    // have already ended the last line themselves.
    const char* end_break = "\r\n\r\n";
};

// Applied by the worker to each chunk before it is posted, and to an empty
// chunk when a command's output has ended, for what it held back.
using ChunkRewrite = std::function<std::string(std::string_view)>;

// A text posted from a worker, with the number of its run: the receiving
// page owns it.
struct PostedText {
    unsigned run;
    std::string text;
    // With the end line: the first non-zero exit code of the run's commands,
    // or 0; 1 for a cancelled run.
    DWORD exit_code = 0;
};

// Takes ownership of the text that a WM_PAGE_OUTPUT or WM_PAGE_DONE carries.
[[nodiscard]] std::unique_ptr<PostedText> TakePosted(LPARAM lparam) noexcept;

class AsyncRunner {
public:
    explicit AsyncRunner(const RunnerTraits& traits) : traits_(traits) {}
    // Never waits: a worker still running keeps its own state alive and its
    // posts to a page that is gone are dropped and freed.
    ~AsyncRunner() = default;

    AsyncRunner(const AsyncRunner&) = delete;
    AsyncRunner& operator=(const AsyncRunner&) = delete;

    // Starts run `run` of `steps`, posting to `page`; false when the worker
    // thread could not be started (nothing was posted). Each step's heading
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

    // Shared by the worker and the user-interface thread for one run.
    struct Shared {
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
