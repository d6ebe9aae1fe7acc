#include "core/run_cycle.h"

#include <algorithm>

namespace tracewick {

namespace {

const char* TimerWord(TimerChange change) {
    return change == TimerChange::kSet ? "set" : "kill";
}

}  // namespace

std::string RunEffects::Describe() const {
    std::string out;
    const auto add = [&out](const std::string& word) {
        if (!out.empty()) out += ' ';
        out += word;
    };
    if (cancel_timer != TimerChange::kKeep) add(std::string("cancel-timer:") + TimerWord(cancel_timer));
    if (repeat_timer == TimerChange::kKill) add("repeat-timer:kill");
    if (show) add("show");
    if (!note.empty()) add("note:" + note);
    if (start) add("start#" + std::to_string(run));
    if (stop) add("stop#" + std::to_string(run));
    if (end_now) add("end-now#" + std::to_string(run));
    if (repeat_timer == TimerChange::kSet) add("repeat-timer:" + std::to_string(repeat_ms));
    if (set_buttons) add(std::string("run:") + (run_enabled ? "on" : "off") + " cancel:" + (cancel_enabled ? "on" : "off"));
    if (rerun) add("rerun");
    return out;
}

bool RunCycle::AcceptsRun() const noexcept { return state_ == RunState::kIdle || state_ == RunState::kWaiting; }

// The buttons of the state the cycle is in now. A synchronous page never
// disables Run (nothing else reaches it while its run lasts).
RunEffects RunCycle::Buttons(RunEffects effects) const {
    effects.set_buttons = true;
    effects.run_enabled = state_ == RunState::kIdle || !traits_.cancellable;
    effects.cancel_enabled =
        traits_.cancellable && (state_ == RunState::kRunning || state_ == RunState::kWaiting);
    return effects;
}

RunEffects RunCycle::Run() {
    if (!AcceptsRun()) return {};
    RunEffects effects;
    // A run by hand during the countdown replaces the pending repeat.
    if (state_ == RunState::kWaiting) effects.repeat_timer = TimerChange::kKill;
    effects.start = true;
    effects.run = ++run_;
    state_ = RunState::kRunning;
    return Buttons(effects);
}

RunEffects RunCycle::Refused() {
    if (!AcceptsRun()) return {};
    RunEffects effects;
    if (state_ == RunState::kWaiting) effects.repeat_timer = TimerChange::kKill;
    state_ = RunState::kIdle;
    repeat_armed_ = false;
    return Buttons(effects);
}

RunEffects RunCycle::Cancel() {
    RunEffects effects;
    if (!traits_.cancellable) return effects;
    if (state_ == RunState::kRunning) {
        // Also a run whose spawner is still starting: the worker sends the
        // request as soon as the spawner exists. A cancelled run never repeats.
        effects.stop = true;
        effects.run = run_;
        effects.cancel_timer = TimerChange::kSet;
        state_ = RunState::kCancelling;
        repeat_armed_ = false;
        return Buttons(effects);
    }
    if (state_ == RunState::kWaiting) {
        effects.repeat_timer = TimerChange::kKill;
        effects.note = std::string("\r\nRepeat ") + traits_.name + " cancelled\r\n";
        state_ = RunState::kIdle;
        repeat_armed_ = false;
        return Buttons(effects);
    }
    return effects;
}

RunEffects RunCycle::Output(unsigned run) const {
    RunEffects effects;
    effects.show = run == run_ && (state_ == RunState::kRunning || state_ == RunState::kCancelling);
    return effects;
}

RunEffects RunCycle::End(unsigned run) {
    RunEffects effects;
    // An older run's end line, or a second one, changes nothing.
    if (run != run_ || (state_ != RunState::kRunning && state_ != RunState::kCancelling)) return effects;
    effects.show = true;
    if (state_ == RunState::kCancelling) {
        effects.cancel_timer = TimerChange::kKill;
    } else if (traits_.repeats && repeat_seconds_ > 0) {
        effects.note = std::string("\r\n") + traits_.name + " repeats in " + std::to_string(repeat_seconds_) + " seconds";
        effects.repeat_timer = TimerChange::kSet;
        effects.repeat_ms = static_cast<unsigned>(repeat_seconds_) * 1000u;
        state_ = RunState::kWaiting;
        repeat_armed_ = true;
        return Buttons(effects);
    }
    state_ = RunState::kIdle;
    repeat_armed_ = false;
    return Buttons(effects);
}

// The timer keeps firing until the end line arrives: a worker that was told
// to end and has not is told again.
RunEffects RunCycle::CancelTimeout() const {
    RunEffects effects;
    if (state_ == RunState::kCancelling) {
        effects.end_now = true;
        effects.run = run_;
    } else {
        effects.cancel_timer = TimerChange::kKill;  // a stray timer: no cancel is pending
    }
    return effects;
}

RunEffects RunCycle::RepeatDue() {
    RunEffects effects;
    effects.repeat_timer = TimerChange::kKill;
    effects.rerun = state_ == RunState::kWaiting;
    return effects;
}

RunEffects RunCycle::SetRepeat(int seconds) {
    const int before = repeat_seconds_;
    repeat_seconds_ = std::clamp(seconds, 0, kMaxRepeatSeconds);
    RunEffects effects;
    if (!(before > 0 && repeat_seconds_ == 0 && repeat_armed_)) return effects;
    // The pending repeat, or the one after the current repeated run, is off.
    repeat_armed_ = false;
    effects.note = std::string("\r\nRepeat ") + traits_.name + " cancelled\r\n";
    if (state_ != RunState::kWaiting) return effects;
    effects.repeat_timer = TimerChange::kKill;
    state_ = RunState::kIdle;
    return Buttons(effects);
}

}  // namespace tracewick
