// The run life cycle's rules as table rows: every row plays a history of
// events on a fresh cycle and checks what the last event does and the state
// it leaves.
#include "core/run_cycle.h"


#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>

namespace tracewick {
namespace {

constexpr RunCycleTraits kPing{"Ping", true, true};
constexpr RunCycleTraits kTracert{"Tracert", true, false};
constexpr RunCycleTraits kSynchronous{"Routes", false, false};

// Events: run, refuse, cancel, timeout, due, outN and endN (of run N),
// repeatN (the interval set to N seconds).
RunEffects Play(RunCycle& cycle, const std::string& event) {
    if (event == "run") return cycle.Run();
    if (event == "refuse") return cycle.Refused();
    if (event == "cancel") return cycle.Cancel();
    if (event == "timeout") return cycle.CancelTimeout();
    if (event == "due") return cycle.RepeatDue();
    if (event.rfind("out", 0) == 0) return cycle.Output(static_cast<unsigned>(std::stoul(event.substr(3))));
    if (event.rfind("end", 0) == 0) return cycle.End(static_cast<unsigned>(std::stoul(event.substr(3))));
    if (event.rfind("repeat", 0) == 0) return cycle.SetRepeat(std::stoi(event.substr(6)));
    ADD_FAILURE() << "unknown event " << event;
    return {};
}

const char* const kStateNames[] = {"idle", "running", "cancelling", "waiting"};  // in RunState's order

struct Row {
    const char* name;
    const RunCycleTraits& traits;
    const char* history;  // events played first
    const char* event;    // the event checked
    const char* effects;  // its effects, as Describe() names them
    const char* state;    // the state it leaves
};

const Row kRows[] = {
    {"run from idle starts run 1", kTracert, "", "run", "start#1 run:off cancel:on", "running"},
    {"run while running is ignored", kTracert, "run", "run", "", "running"},
    {"run while cancelling is ignored", kTracert, "run cancel", "run", "", "cancelling"},
    {"refused run leaves the page idle", kTracert, "", "refuse", "run:on cancel:off", "idle"},
    // Cancel in every state.
    {"cancel right after run", kTracert, "run", "cancel", "cancel-timer:set stop#1 run:off cancel:off", "cancelling"},
    {"second cancel does nothing", kTracert, "run cancel", "cancel", "", "cancelling"},
    {"cancel when idle does nothing", kTracert, "run end1", "cancel", "", "idle"},
    {"cancel during countdown", kPing, "repeat10 run end1", "cancel",
     "repeat-timer:kill note:\r\nRepeat Ping cancelled\r\n run:on cancel:off", "idle"},
    {"cancel on a synchronous page does nothing", kSynchronous, "run", "cancel", "", "running"},
    // Output and end lines: only the current run's count.
    {"output of the current run is shown", kTracert, "run", "out1", "show", "running"},
    {"output after cancel is still shown", kTracert, "run cancel", "out1", "show", "cancelling"},
    {"older run's output is dropped", kTracert, "run end1 run", "out1", "", "running"},
    {"output after the end is dropped", kTracert, "run end1", "out1", "", "idle"},
    {"end line ends the run", kTracert, "run out1", "end1", "show run:on cancel:off", "idle"},
    {"older run's end line is dropped", kTracert, "run cancel end1 run", "end1", "", "running"},
    {"second end line is dropped", kTracert, "run end1", "end1", "", "idle"},
    {"end after cancel stops the cancel timer", kTracert, "run cancel", "end1",
     "cancel-timer:kill show run:on cancel:off", "idle"},
    // The cancel time-out.
    {"time-out ends the cancelled run, its timer kept", kTracert, "run cancel", "timeout", "end-now#1", "cancelling"},
    {"time-out after the end does nothing", kTracert, "run cancel end1", "timeout", "cancel-timer:kill", "idle"},
    {"time-out of an older run spares the new one", kTracert, "run cancel end1 run", "timeout", "cancel-timer:kill", "running"},
    // Repeat.
    {"normal end schedules the repeat", kPing, "repeat10 run", "end1",
     "show note:\r\nPing repeats in 10 seconds repeat-timer:10000 run:off cancel:on", "waiting"},
    {"no repeat at interval 0", kPing, "run", "end1", "show run:on cancel:off", "idle"},
    {"repeat due runs again", kPing, "repeat10 run end1", "due", "repeat-timer:kill rerun", "waiting"},
    {"a run from the countdown, due or by hand, ends it", kPing, "repeat10 run end1 due", "run",
     "repeat-timer:kill start#2 run:off cancel:on", "running"},
    {"stray repeat timer does not run", kPing, "repeat10 run end1 cancel", "due", "repeat-timer:kill", "idle"},
    {"cancelled run never repeats", kPing, "repeat10 run cancel", "end1", "cancel-timer:kill show run:on cancel:off", "idle"},
    {"repeat after cancel: next run repeats again", kPing, "repeat10 run end1 cancel run", "end2",
     "show note:\r\nPing repeats in 10 seconds repeat-timer:10000 run:off cancel:on", "waiting"},
    {"refused run during countdown drops the repeat", kPing, "repeat10 run end1", "refuse",
     "repeat-timer:kill run:on cancel:off", "idle"},
    {"interval 0 during countdown", kPing, "repeat10 run end1", "repeat0",
     "repeat-timer:kill note:\r\nRepeat Ping cancelled\r\n run:on cancel:off", "idle"},
    {"interval 0 during a repeated run says so", kPing, "repeat10 run end1 due run", "repeat0",
     "note:\r\nRepeat Ping cancelled\r\n", "running"},
    {"interval 0 during a first run is silent", kPing, "repeat10 run", "repeat0", "", "running"},
    {"interval 0 after a run without repeat is silent", kPing, "repeat10 run end1 cancel repeat5", "repeat0", "", "idle"},
    {"interval too long for a timer is clamped", kPing, "repeat4294968 run", "end1",
     "show note:\r\nPing repeats in 2147483 seconds repeat-timer:2147483000 run:off cancel:on", "waiting"},
    {"negative interval from a file never repeats", kPing, "repeat-5 run", "end1", "show run:on cancel:off", "idle"},
    // A synchronous page never disables Run and has no Cancel.
    {"synchronous run", kSynchronous, "", "run", "start#1 run:on cancel:off", "running"},
    {"synchronous end", kSynchronous, "run", "end1", "show run:on cancel:off", "idle"},
};

TEST(RunCycle, EventsInEveryState) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        RunCycle cycle(row.traits);
        std::istringstream history(row.history);
        for (std::string event; history >> event;) Play(cycle, event);
        EXPECT_EQ(Play(cycle, row.event).Describe(), row.effects);
        EXPECT_STREQ(kStateNames[static_cast<int>(cycle.State())], row.state);
    }
}

}  // namespace
}  // namespace tracewick
