#include "core/run_channel.h"

#include <algorithm>
#include <utility>

namespace tracewick {

bool RunChannel::Wake() {
    if (wake_outstanding_) return false;
    wake_outstanding_ = true;
    return true;
}

bool RunChannel::Append(std::string_view chunk) {
    std::unique_lock<std::mutex> hold(lock_);
    room_.wait(hold, [this] { return closed_ || buffer_.size() <= bound_; });
    if (end_ || chunk.empty()) return false;
    buffer_.append(chunk);
    return Wake();
}

bool RunChannel::Finish(End end) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (end_) return false;
    end_ = std::move(end);
    return Wake();
}

RunChannel::Batch RunChannel::Take(std::size_t max_length) {
    Batch batch;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        const std::size_t length = std::min(max_length, buffer_.size());
        batch.text.assign(buffer_, 0, length);
        buffer_.erase(0, length);
        batch.more = !buffer_.empty();
        if (!batch.more && end_ && !end_taken_) {
            batch.end = end_;
            end_taken_ = true;
        }
        // Drained: the next append or the end wakes the window again.
        if (!batch.more) wake_outstanding_ = false;
    }
    room_.notify_all();
    return batch;
}

void RunChannel::Close() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        closed_ = true;
    }
    room_.notify_all();
}

}  // namespace tracewick
