// One run's output on its way from the worker to the window. The worker
// appends to the run's own buffer and wakes the window only when the buffer
// goes from drained to holding something: at most one wake-up is
// outstanding, whatever the rate of the output, so the window's queue never
// fills. While the window is behind by more than the bound, the worker
// waits, so memory stays bounded and the command is slowed by its full pipe
// rather than the program by its queue. Any thread may call; portable.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace tracewick {

class RunChannel {
public:
    // How a run ended: its end line and the exit code it reports.
    struct End {
        std::string line;
        unsigned long exit_code = 0;
    };
    // What the window takes at once: output, then, once all of it is taken,
    // the end; `more` when output is still waiting beyond this batch.
    struct Batch {
        std::string text;
        std::optional<End> end;
        bool more = false;
    };

    explicit RunChannel(std::size_t bound) noexcept : bound_(bound) {}

    // Worker: appends `chunk`, first waiting while the buffer is over its
    // bound (not after Close). True when the window must be woken.
    [[nodiscard]] bool Append(std::string_view chunk);
    // Worker: the run has ended; nothing is appended after. True when the
    // window must be woken.
    [[nodiscard]] bool Finish(End end);
    // Window: up to `max_length` bytes of output, and the end once all
    // output is taken. A batch with `more` keeps the wake-up outstanding:
    // the window takes again after it has answered what else waits.
    [[nodiscard]] Batch Take(std::size_t max_length);
    // Window: the run is cancelled or the window gone; the worker waits for
    // room no longer.
    void Close();

private:
    // Under the lock: whether this change must wake the window.
    bool Wake();

    const std::size_t bound_;
    std::mutex lock_;
    std::condition_variable room_;
    std::string buffer_;
    std::optional<End> end_;
    bool end_taken_ = false;
    bool closed_ = false;
    bool wake_outstanding_ = false;
};

}  // namespace tracewick
