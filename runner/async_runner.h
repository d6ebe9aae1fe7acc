// The asynchronous command runner: one worker thread per run reads the
// spawner's output and posts each chunk, then one end line, to the page.
// Every method here is for the user-interface thread; the worker touches
// only the run's Shared block (atomics) and posts messages.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "framework/handles.h"

namespace tracewick {

// What sets one page's runner apart from another's.
struct RunnerTraits {
    UINT output_message;       // the page's WM_PAGE_OUTPUT
    UINT done_message;         // the page's WM_PAGE_DONE
    UINT_PTR cancel_timer_id;  // the page's cancel timer
    const char* cancelled_text;
};

// Applied by the worker to each chunk before it is posted.
using ChunkRewrite = std::function<std::string(std::string_view)>;

class AsyncRunner {
public:
    explicit AsyncRunner(const RunnerTraits& traits) : traits_(traits) {}
    // Never waits: a worker still running keeps its own state alive and its
    // posts to a page that is gone are dropped and freed.
    ~AsyncRunner() = default;

    AsyncRunner(const AsyncRunner&) = delete;
    AsyncRunner& operator=(const AsyncRunner&) = delete;

    // Starts a run of `command_line` that posts to `page`; false when the
    // worker thread could not be started (nothing was posted). The worker
    // passes each chunk through `rewrite`, when there is one.
    [[nodiscard]] bool Start(HWND page, std::string command_line, ChunkRewrite rewrite = {});

    // A run has started and its end line has not been taken yet.
    [[nodiscard]] bool Active() const noexcept { return active_; }
    // The spawner's main thread, once the worker has started it; else 0.
    [[nodiscard]] DWORD ChildThreadId() const noexcept;

    // Cancels the active run, also one whose spawner is still starting:
    // sets the cancel flag, sends the stop request and starts the cancel
    // timer. The run then ends with the cancelled end line.
    void Cancel();

    // The cancel timer fired. A worker that has already ended is left
    // alone (its end line is on its way); one blocked in a read is woken
    // and ends with the cancelled line.
    void OnCancelTimeout();

    // Takes the text of a posted WM_PAGE_OUTPUT (the receiver owns it).
    // Nothing when it came from an older run.
    [[nodiscard]] std::optional<std::string> TakeOutput(LPARAM lparam);
    // Takes the end line of WM_PAGE_DONE and ends the run; nothing when it
    // belongs to an older run or the run has already ended.
    [[nodiscard]] std::optional<std::string> TakeDone(LPARAM lparam);

    // The cancel flag of the last run: it keeps its value until the next Start.
    [[nodiscard]] bool Cancelled() const noexcept;

    // Shared by the worker and the user-interface thread for one run.
    struct Shared {
        std::atomic<bool> cancel{false};
        std::atomic<DWORD> child_thread_id{0};
    };

private:
    void StopCancelTimer();

    RunnerTraits traits_;
    std::shared_ptr<Shared> shared_;
    UniqueKernelHandle worker_;
    HWND page_ = nullptr;
    unsigned run_ = 0;
    bool active_ = false;
    bool timer_running_ = false;
};

// A text posted from a worker: the receiving page owns it.
struct PostedText {
    unsigned run;
    std::string text;
};

// Posts `text` to `window`; a payload whose post failed is freed.
bool PostText(HWND window, UINT message, unsigned run, std::string text);

}  // namespace tracewick
