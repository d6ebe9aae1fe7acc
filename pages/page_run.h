// A page's runs: the run cycle, the runner, the output pane, the cancel and
// repeat timers and the line filter. It takes each event to the cycle and
// carries out the effects the cycle returns, in the one order RunEffects
// names, never from inside itself: a follow-up (a timer that cannot start,
// a run that cannot start) is a new event, taken after the current one.
// UI thread only.
#pragma once

#include <windows.h>

#include <ctime>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_line.h"
#include "core/line_filter.h"
#include "core/run_cycle.h"
#include "framework/timer.h"
#include "runner/async_runner.h"
#include "pane/output_pane.h"

namespace tracewick {

struct CommandPageTraits {
    int template_id;
    int pane_id;
    int host_combo_id;  // 0 on a page without a host
    RunnerTraits runner;
    RunCycleTraits cycle;
    UINT_PTR cancel_timer_id;
    UINT_PTR repeat_timer_id;  // 0 on a page that does not repeat
    int margin;         // scroll margin for the output and end lines
    int header_margin;  // for the header; OutputPane::kNoScroll for none
    const char* document_name;  // what a print job of the pane is called
    const LineRules* line_rules = nullptr;  // null: output is shown as it comes
};

// What one run runs, and the way its output takes to the pane: the worker
// drops NUL bytes and applies `rewrite` to each chunk; the page's line rules
// (CommandPageTraits) see whole lines, naming `subject`; the pane repairs
// line ends, decodes the output code page and takes what it has room for;
// the end line closes it.
struct RunPlan {
    std::vector<RunStep> steps;
    ChunkRewrite rewrite = {};
    // What a line filter's subject rule names in this run (the computer of
    // the run), fixed when the run is planned.
    std::string subject = {};
};

// How a run ended: its text from its header to its end line (empty when
// refused), its exit code (1 when refused or cancelled) and when it started.
struct RunEnd {
    std::wstring_view text;
    DWORD exit_code;
    std::time_t started;
};
using RunEndWatch = std::function<void(const RunEnd& end)>;

class PageRun {
public:
    explicit PageRun(const CommandPageTraits& traits);

    PageRun(const PageRun&) = delete;
    PageRun& operator=(const PageRun&) = delete;

    // The page has its window: the pane is taken, timers and wake-ups go there.
    void Attach(HWND page);
    [[nodiscard]] bool AcceptsRun() const noexcept { return cycle_.AcceptsRun(); }

    // Writes the header of a run started at `started` and starts `plan`. A
    // page without Cancel returns once the run has ended; meanwhile the
    // window paints and shows the output, and input is dropped.
    void Start(RunPlan plan, bool cumulative, std::time_t started);
    // Run was taken but nothing can run (the user was told why).
    void Refuse(std::time_t when);
    void Cancel() { Carry(cycle_.Cancel()); }
    // The repeat interval, at start-up and after the options dialog.
    void SetRepeat(int seconds) { Carry(cycle_.SetRepeat(seconds)); }
    // Exit and Close: the spawner gets the stop request.
    void Stop() { runner_.Stop(); }

    // The page's timer `id` fired; false when it is none of ours.
    bool OnTimer(UINT_PTR id);
    // The worker of run `run` has something for the pane.
    void OnWake(unsigned run);

    // Told once, when the next run has ended, was refused or could not start.
    void WatchNextEnd(RunEndWatch watch) { end_watch_ = std::move(watch); }
    // What a due repeat does: the page plans and starts its run again.
    void OnRepeat(std::function<void()> run_again) { run_again_ = std::move(run_again); }

private:
    struct Event {
        RunEffects effects;
        std::string end_line;
        DWORD exit_code;
    };
    // Takes `effects` (with an End event's end line and exit code) and, when
    // not already doing so, carries out every event in turn.
    void Carry(const RunEffects& effects, std::string_view end_line = {}, DWORD exit_code = 1);
    // The effects of one event, in RunEffects' order; true when the run is due again.
    bool Apply(const Event& event);
    void StartWorker(unsigned run);
    // One batch of what the current run delivered into the pane; true when more waits.
    bool ShowDelivered(unsigned run);
    void WaitForEnd();
    // The pane cannot take the run's output: the run stops, as with Cancel.
    void StopForFullPane();
    void ReportEnd(std::wstring_view text, DWORD exit_code);

    CommandPageTraits traits_;
    HWND page_ = nullptr;
    RunCycle cycle_;
    AsyncRunner runner_;
    OutputPane pane_;
    WindowTimer cancel_timer_;
    WindowTimer repeat_timer_;
    std::optional<LineFilter> lines_;
    RunPlan plan_;          // of the run about to start
    unsigned current_ = 0;  // the run the pane shows
    std::string subject_;   // of that run, in the output code page
    std::time_t started_ = 0;
    std::wstring header_;   // that run's header line
    std::deque<Event> events_;
    bool carrying_ = false;
    RunEndWatch end_watch_;
    std::function<void()> run_again_;
};

}  // namespace tracewick
