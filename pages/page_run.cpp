#include "pages/page_run.h"

#include <utility>

#include "core/pane_text.h"
#include "res/resource.h"
#include "spawner/contract.h"

namespace tracewick {

namespace {

// Output taken into the pane in one insertion at most: an insertion costs
// about half a microsecond a byte under load, and the window answers no
// message meanwhile, so a batch stays well under a tenth of a second.
constexpr std::size_t kBatchLength = 64 * 1024;

}  // namespace

PageRun::PageRun(const CommandPageTraits& traits)
    : traits_(traits),
      cycle_(traits.cycle),
      runner_(traits.runner),
      cancel_timer_(traits.cancel_timer_id),
      repeat_timer_(traits.repeat_timer_id) {
    if (traits.line_rules) lines_.emplace(*traits.line_rules);
}

void PageRun::Attach(HWND page) {
    page_ = page;
    pane_.Attach(::GetDlgItem(page, traits_.pane_id));
}

void PageRun::Start(RunPlan plan, bool cumulative, std::time_t started) {
    started_ = started;
    header_ = pane_.WriteHeader(cumulative, traits_.header_margin, started_);
    if (lines_) lines_->Reset();
    // It stands among the output's lines.
    subject_ = ToOutputText(plan.subject);
    plan_ = std::move(plan);
    Carry(cycle_.Run());
    // After the run's own events, never inside them.
    if (!traits_.cycle.cancellable && cycle_.State() != RunState::kIdle) WaitForEnd();
}

void PageRun::Refuse(std::time_t when) {
    Carry(cycle_.Refused());
    started_ = when;
    ReportEnd({}, 1);
}

void PageRun::Carry(const RunEffects& effects, std::string_view end_line, DWORD exit_code) {
    events_.push_back({effects, std::string(end_line), exit_code});
    if (carrying_) return;  // the loop below takes it next
    carrying_ = true;
    bool again = false;
    while (!events_.empty()) {
        const Event event = std::move(events_.front());
        events_.pop_front();
        again = Apply(event) || again;
    }
    carrying_ = false;
    // The whole Run again, with a new header: an event of its own.
    if (again && run_again_) run_again_();
}

bool PageRun::Apply(const Event& event) {
    const RunEffects& effects = event.effects;
    if (effects.cancel_timer == TimerChange::kKill) cancel_timer_.Stop();
    if (effects.repeat_timer == TimerChange::kKill) repeat_timer_.Stop();
    if (effects.show) {
        // A last line that came without its line end is shown before the end line.
        if (lines_) pane_.AppendOutput(lines_->Feed("\r\n", subject_), traits_.margin);
        pane_.AppendText(event.end_line, traits_.margin);
        // Before the note: the repeat countdown belongs to no run.
        if (end_watch_) {
            const std::wstring text = pane_.SinceHeader();
            ReportEnd(RunText(text, header_), event.exit_code);
        }
    }
    if (!effects.note.empty()) pane_.AppendText(effects.note, traits_.margin);
    if (effects.set_buttons) {
        // Cancel first: once Run is enabled the page is wholly idle.
        ::EnableWindow(::GetDlgItem(page_, IDC_CANCEL_RUN), effects.cancel_enabled);
        ::EnableWindow(::GetDlgItem(page_, IDC_RUN), effects.run_enabled);
    }
    if (effects.stop) runner_.Stop();
    if (effects.end_now) runner_.EndNow();
    // Without its timer a cancel could not time out: the spawner is ended
    // at once instead. A repeat that cannot be scheduled is cancelled.
    if (effects.cancel_timer == TimerChange::kSet && !cancel_timer_.Start(page_, RunCycle::kCancelTimeoutMs)) {
        runner_.EndNow();
    }
    if (effects.repeat_timer == TimerChange::kSet && !repeat_timer_.Start(page_, effects.repeat_ms)) {
        Carry(cycle_.Cancel());
    }
    if (effects.start) StartWorker(effects.run);
    return effects.rerun;
}

void PageRun::StartWorker(unsigned run) {
    current_ = run;
    if (runner_.Start(page_, run, std::move(plan_.steps), std::move(plan_.rewrite))) return;
    pane_.AppendText("Tracewick could not start a worker thread for the run.\r\n", traits_.margin);
    Carry(cycle_.End(run), traits_.runner.end_break + std::string(kEndOfDataText));
}

void PageRun::OnWake(unsigned run) {
    // Each batch is one insertion; what waits beyond it comes after the
    // window has answered whatever else is waiting.
    if (ShowDelivered(run) && !::PostMessageA(page_, kRunWakeMessage, run, 0)) {
        while (ShowDelivered(run)) continue;
    }
}

bool PageRun::ShowDelivered(unsigned run) {
    const RunChannel::Batch batch = runner_.Take(run, kBatchLength);
    if (!batch.text.empty() && cycle_.Output(run).show) {
        const std::string text = lines_ ? lines_->Feed(batch.text, subject_) : batch.text;
        if (!text.empty() && pane_.AppendOutput(text, traits_.margin)) StopForFullPane();
    }
    if (batch.end) Carry(cycle_.End(run), batch.end->line, batch.end->exit_code);
    return batch.more;
}

// A page without Cancel returns from Run only when its run has ended. It
// waits on the run itself, not on its queue: the window paints, answers
// what is sent to it and shows the output as it comes, and everything else
// posted waits, so no other Run, page switch or Exit comes between. Mouse
// and keyboard input of that time is dropped, as it was aimed at a window
// that could not take it.
void PageRun::WaitForEnd() {
    const HANDLE wake = runner_.WakeEvent();
    MSG message;
    bool more = false;
    while (cycle_.State() != RunState::kIdle) {
        if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) {
            ::DispatchMessageA(&message);
            continue;
        }
        const DWORD woke = more ? WAIT_OBJECT_0 : ::MsgWaitForMultipleObjects(1, &wake, FALSE, INFINITE, QS_PAINT | QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) more = ShowDelivered(current_);
    }
    while (::PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) continue;
    while (::PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) continue;
}

// Rather than run out of memory, which would end the program and lose all
// the output; what the pane shows stays, to be saved or printed.
void PageRun::StopForFullPane() {
    pane_.AppendText("\r\nThe pane is full: Tracewick stopped the run. Save the output, then run without "
                     "Cumulative Output to start with an empty pane.\r\n",
                     traits_.margin);
    if (traits_.cycle.cancellable) {
        Carry(cycle_.Cancel());
    } else {
        runner_.Stop();  // a page without Cancel still ends with the run's end line
    }
}

bool PageRun::OnTimer(UINT_PTR id) {
    if (id == traits_.cancel_timer_id) {
        Carry(cycle_.CancelTimeout());
    } else if (traits_.repeat_timer_id != 0 && id == traits_.repeat_timer_id) {
        Carry(cycle_.RepeatDue());
    } else {
        return false;
    }
    return true;
}

void PageRun::ReportEnd(std::wstring_view text, DWORD exit_code) {
    if (!end_watch_) return;
    const RunEndWatch watch = std::move(end_watch_);
    end_watch_ = nullptr;
    watch(RunEnd{text, exit_code, started_});
}

}  // namespace tracewick
