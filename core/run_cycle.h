// The run life cycle of a page that runs commands: the page's state, the
// number of its current run, and what to do on each event. Pages only carry
// out the effects; the rules of which message counts, which timer runs and
// which button is enabled live here, where the native tests reach them.
// Portable: no <windows.h>.
//
// One cycle serves every kind of page: a single-command or a multi-command
// worker page (Cancel, a cancel time-out, numbered runs whose late messages
// are dropped), a page that repeats its run at an interval, and a
// synchronous page (Run returns at the end; no Cancel).
#pragma once

#include <string>

namespace tracewick {

enum class RunState : unsigned char {
    kIdle,        // nothing runs; Run enabled
    kRunning,     // the current run's worker reads its commands' output
    kCancelling,  // the stop request is out; waiting for the run's end line
    kWaiting,     // waiting to repeat: the repeat timer runs, Cancel enabled
};

enum class TimerChange : unsigned char { kKeep, kSet, kKill };

struct RunCycleTraits {
    const char* name;  // as the page's lines name its command: "Ping"
    bool cancellable;  // a worker page; a synchronous one runs to its end
    bool repeats;      // the page can repeat a run at an interval
};

// What the page's run object does for one event, in this order: stop the
// timers that are to stop, show the event's text (an end line, with the
// run's end reported to whoever watches it), append `note`, set the
// buttons, send the stop request or end the run now, start the timers that
// are to start, start the run; and once the event is done, run the whole
// Run again when `rerun`.
struct RunEffects {
    unsigned run = 0;          // the run that `start`, `stop` and `end_now` mean
    bool start = false;        // start the run's worker (or the synchronous run)
    bool stop = false;         // post the stop request to the run's spawner
    bool end_now = false;      // the cancel time-out: end the run's spawner and wake its worker
    bool show = false;         // append the event's text (a chunk or the end line)
    bool rerun = false;        // the repeat is due: Run again, with a new header
    TimerChange cancel_timer = TimerChange::kKeep;
    TimerChange repeat_timer = TimerChange::kKeep;
    unsigned repeat_ms = 0;    // with repeat_timer kSet
    std::string note;          // a line of our own: the countdown, the repeat cancelled
    bool set_buttons = false;  // the buttons below change
    bool run_enabled = false;
    bool cancel_enabled = false;

    // One line naming every effect, for tests and failure messages.
    [[nodiscard]] std::string Describe() const;
};

class RunCycle {
public:
    // The cancel time-out, and how often it fires again while a worker
    // that was told to end has not ended yet.
    static constexpr unsigned kCancelTimeoutMs = 3000;
    // The longest repeat interval a window timer takes, in seconds.
    static constexpr int kMaxRepeatSeconds = 0x7FFFFFFF / 1000;

    explicit RunCycle(const RunCycleTraits& traits) noexcept : traits_(traits) {}

    [[nodiscard]] RunState State() const noexcept { return state_; }
    // Run is taken now (a Run sent while one is under way is ignored).
    [[nodiscard]] bool AcceptsRun() const noexcept;

    // Run: the page has built its command lines and written the header.
    RunEffects Run();
    // Run was taken but nothing could start (the user was told why).
    RunEffects Refused();
    RunEffects Cancel();
    // A chunk, and the end line, of run `run`.
    RunEffects Output(unsigned run) const;
    RunEffects End(unsigned run);
    RunEffects CancelTimeout() const;
    RunEffects RepeatDue();
    // The repeat interval, at start-up and after the options dialog.
    RunEffects SetRepeat(int seconds);

private:
    RunEffects Buttons(RunEffects effects) const;

    RunCycleTraits traits_;
    RunState state_ = RunState::kIdle;
    unsigned run_ = 0;
    int repeat_seconds_ = 0;
    // A repeat is scheduled, or the current run is one (it started from
    // the countdown): setting the interval to 0 then cancels the repeat.
    bool repeat_armed_ = false;
};

}  // namespace tracewick
