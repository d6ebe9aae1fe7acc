// Delivering a worker's text to its page when the page's message queue is
// full for a while (a fast command outruns the pane): the text waits and is
// posted again, never dropped, for as long as the page exists.
// Portable: no <windows.h>.
#pragma once

namespace tracewick {

// Calls `try_post` until it succeeds, pausing between tries; gives up only
// once `target_exists` says the receiver is gone. True when delivered.
template <class TryPost, class TargetExists, class Pause>
bool PostPatiently(TryPost try_post, TargetExists target_exists, Pause pause) {
    while (!try_post()) {
        if (!target_exists()) return false;
        pause();
    }
    return true;
}

}  // namespace tracewick
