#include "pages/command_page.h"

#include <algorithm>

#include "core/command_line.h"
#include "core/pane_text.h"
#include "core/text.h"
#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "hostlist/host_list_dialog.h"
#include "res/resource.h"
#include "runner/printing.h"
#include "spawner/contract.h"

namespace tracewick {

namespace {

// Output taken into the pane in one insertion at most: an insertion costs
// about half a microsecond a byte under load, and the window answers no
// message meanwhile, so a batch stays well under a tenth of a second.
constexpr std::size_t kBatchLength = 64 * 1024;

}  // namespace

const MessageEntry<AsyncCommandPage> AsyncCommandPage::kMessageMap[] = {
    OnCommand<AsyncCommandPage>(IDC_RUN, &AsyncCommandPage::OnRun),
    OnCommand<AsyncCommandPage>(IDC_CANCEL_RUN, &AsyncCommandPage::OnCancel),
    OnCommand<AsyncCommandPage>(IDC_CUMULATIVE, &AsyncCommandPage::OnPullControls),
    OnCommand<AsyncCommandPage>(IDC_TEXT_FIELD, &AsyncCommandPage::OnFieldFocus, EN_SETFOCUS),
    OnCommand<AsyncCommandPage>(IDC_TEXT_FIELD, &AsyncCommandPage::OnFieldLeft, EN_KILLFOCUS),
    OnCommand<AsyncCommandPage>(IDC_VIEW_LIST, &AsyncCommandPage::OnViewList),
    OnCommand<AsyncCommandPage>(IDC_PRINT, &AsyncCommandPage::OnPrint),
    OnMsg<AsyncCommandPage>(WM_TIMER, &AsyncCommandPage::OnTimer),
    EndOfMessageMap<AsyncCommandPage>(),
};

AsyncCommandPage::AsyncCommandPage(const CommandPageTraits& traits, HostList* hosts)
    : WithMessageMap(traits.template_id),
      hosts_(hosts),
      cycle_(traits.cycle),
      runner_(traits.runner),
      traits_(traits),
      cancel_timer_(traits.cancel_timer_id),
      repeat_timer_(traits.repeat_timer_id) {
    if (traits.line_rules) lines_.emplace(*traits.line_rules);
    if (hosts_) hosts_->Add(*this);
}

BOOL AsyncCommandPage::OnInitDialog() {
    HWND combo = HostCombo();
    if (combo) hosts_->SetUpCombo(combo);
    ShowSettings();
    UpdateData(false);
    if (combo && host_field_empty_) {
        ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        ::SetWindowTextA(combo, "");
    }
    host_field_empty_ = false;
    pane_.Attach(Item(traits_.pane_id));
    return TRUE;
}

void AsyncCommandPage::DoDataExchange(DataExchange& exchange) {
    if (HWND combo = HostCombo()) {
        if (exchange.Saving()) {
            host_ = WithoutLineBreaks(ControlText(combo));
        } else {
            hosts_->PushHost(combo, host_);
        }
    }
    exchange.Check(IDC_CUMULATIVE, Cumulative());
}

// The host combo's notifications and the runner's messages carry ids that
// differ from page to page, so they are matched here rather than in the map.
bool AsyncCommandPage::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) {
    if (message == traits_.runner.output_message) {
        OnOutput(lparam);
        result = 0;
        return true;
    }
    if (message == traits_.runner.done_message) {
        if (const auto end = TakePosted(lparam)) Carry(cycle_.End(end->run), end->text, end->exit_code);
        result = 0;
        return true;
    }
    if (message == WM_COMMAND && traits_.host_combo_id != 0 &&
        LOWORD(wparam) == static_cast<UINT>(traits_.host_combo_id)) {
        if (HIWORD(wparam) == CBN_KILLFOCUS) CommitInput();
        if (HIWORD(wparam) == CBN_SETFOCUS) HostList::OnComboFocus(HostCombo());
        result = 0;
        return true;
    }
    return WithMessageMap::OnMessage(message, wparam, lparam, result);
}

HWND AsyncCommandPage::HostCombo() const {
    return hosts_ && Hwnd() && traits_.host_combo_id != 0 ? Item(traits_.host_combo_id) : nullptr;
}

void AsyncCommandPage::TakeHost(const std::string& host) {
    host_ = host;
    host_field_empty_ = false;
    if (Hwnd()) UpdateData(false);
}

void AsyncCommandPage::CommitInput() {
    if (!Hwnd()) return;
    UpdateData(true);
    if (hosts_) host_ = hosts_->Commit(*this, host_);
}

std::optional<std::string> AsyncCommandPage::CommandFor(const CommandTemplate& command, const std::string& host,
                                                        std::string_view noun) {
    if (const auto refusal = HostRefusal(command, host, noun)) {
        AppMessageBox(Hwnd(), *refusal);
        return std::nullopt;
    }
    return command.With(host);
}

ChunkRewrite AsyncCommandPage::RewriteFor(const std::string&) { return {}; }

// Each insertion has a cost of its own beside its bytes: the chunks already
// waiting in the queue go along in one insertion. Each counts only if its
// run is the one the page shows.
void AsyncCommandPage::OnOutput(LPARAM lparam) {
    std::string text;
    const auto take = [this, &text](LPARAM posted_lparam) {
        const auto posted = TakePosted(posted_lparam);
        if (posted && cycle_.Output(posted->run).show) text += posted->text;
    };
    take(lparam);
    const UINT message = traits_.runner.output_message;
    MSG next;
    while (text.size() < kBatchLength && ::PeekMessageA(&next, Hwnd(), message, message, PM_REMOVE | PM_NOYIELD)) {
        take(next.lParam);
    }
    if (lines_) text = lines_->Feed(text, subject_);
    if (!text.empty() && pane_.AppendOutput(text, traits_.margin)) StopForFullPane();
}

// Rather than run out of memory, which would end the program and lose all
// the output; what the pane shows stays, to be saved or printed.
void AsyncCommandPage::StopForFullPane() {
    pane_.AppendText("\r\nThe pane is full: Tracewick stopped the run. Save the output, then run without "
                     "Cumulative Output to start with an empty pane.\r\n",
                     traits_.margin);
    if (traits_.cycle.cancellable) {
        Carry(cycle_.Cancel());
    } else {
        runner_.Stop();  // a page without Cancel still ends with the run's end line
    }
}

std::optional<RunPlan> AsyncCommandPage::PlanRun() {
    std::string host = StripLeadingBlanks(host_);
    if (host.empty()) host = "localhost";
    host_ = host;
    std::optional<std::string> command = BuildCommand(host);
    if (!command) return std::nullopt;
    return RunPlan{{RunStep{std::move(*command)}}, RewriteFor(host)};
}

INT_PTR AsyncCommandPage::OnRun(WPARAM, LPARAM) {
    if (!cycle_.AcceptsRun()) return 0;  // one run at a time, whatever sent the click
    run_started_ = std::time(nullptr);
    CommitBeforeRun();
    std::optional<RunPlan> plan = PlanRun();
    if (!plan) {
        Carry(cycle_.Refused());
        ReportRunEnd({}, 1);
        return 0;
    }
    std::tm local{};
    localtime_s(&local, &run_started_);
    run_header_ = RunHeader(local, false);
    pane_.WriteHeader(Cumulative(), traits_.header_margin, run_started_);
    if (lines_) lines_->Reset();
    // It stands among the output's lines.
    subject_ = ToOutputText(plan->subject);
    next_plan_ = std::move(*plan);
    Carry(cycle_.Run());
    return 0;
}

void AsyncCommandPage::StartRun(unsigned run) {
    if (runner_.Start(Hwnd(), run, std::move(next_plan_.steps), std::move(next_plan_.rewrite))) {
        if (!traits_.cycle.cancellable) WaitForEnd();
        return;
    }
    pane_.AppendText("Tracewick could not start a worker thread for the run.\r\n", traits_.margin);
    Carry(cycle_.End(run), traits_.runner.end_break + std::string(kEndOfDataText));
}

// A page without Cancel returns from Run only when its run has ended. The
// worker reads the output meanwhile, so the window still paints, answers
// what is sent to it and shows each chunk as it comes; everything else
// posted waits in the queue, so no other Run, page switch or Exit comes
// between. Mouse and keyboard input of that time is dropped, as it was
// aimed at a window that could not take it.
void AsyncCommandPage::WaitForEnd() {
    const UINT first = std::min(traits_.runner.output_message, traits_.runner.done_message);
    const UINT last = std::max(traits_.runner.output_message, traits_.runner.done_message);
    MSG message;
    while (cycle_.State() != RunState::kIdle) {
        if (::PeekMessageA(&message, Hwnd(), first, last, PM_REMOVE) ||
            ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) {
            ::DispatchMessageA(&message);
            continue;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_POSTMESSAGE | QS_PAINT | QS_SENDMESSAGE);
    }
    while (::PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) continue;
    while (::PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) continue;
}

void AsyncCommandPage::Carry(const RunEffects& effects, std::string_view end_line, DWORD exit_code) {
    if (effects.cancel_timer == TimerChange::kKill) cancel_timer_.Stop();
    if (effects.repeat_timer == TimerChange::kKill) repeat_timer_.Stop();
    if (effects.show) {
        // A last line that came without its line end is shown before the end line.
        if (lines_) pane_.AppendOutput(lines_->Feed("\r\n", subject_), traits_.margin);
        pane_.AppendText(end_line, traits_.margin);
        // Before the note: the repeat countdown belongs to no run.
        if (run_end_watch_) {
            const std::wstring pane_text = PaneText(Item(traits_.pane_id));
            ReportRunEnd(RunText(pane_text, std::wstring(run_header_.begin(), run_header_.end())), exit_code);
        }
    }
    if (!effects.note.empty()) pane_.AppendText(effects.note, traits_.margin);
    // Cancel first: once Run is enabled the page is wholly idle.
    if (effects.set_buttons) {
        ::EnableWindow(Item(IDC_CANCEL_RUN), effects.cancel_enabled);
        ::EnableWindow(Item(IDC_RUN), effects.run_enabled);
    }
    if (effects.stop) runner_.Stop();
    if (effects.end_now) runner_.EndNow();
    // Without its timer a cancel could not time out: the spawner is ended
    // at once instead. A repeat that cannot be scheduled is cancelled.
    if (effects.cancel_timer == TimerChange::kSet && !cancel_timer_.Start(Hwnd(), RunCycle::kCancelTimeoutMs)) {
        runner_.EndNow();
    }
    if (effects.repeat_timer == TimerChange::kSet && !repeat_timer_.Start(Hwnd(), effects.repeat_ms)) {
        Carry(cycle_.Cancel());
    }
    // Last: a run that cannot start ends at once, through the cycle again.
    if (effects.start) StartRun(effects.run);
    // The whole Run again, with a new header.
    if (effects.rerun) ::SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_RUN, 0), 0);
}

void AsyncCommandPage::ReportRunEnd(std::wstring_view pane_text, DWORD exit_code) {
    if (!run_end_watch_) return;
    const RunEndWatch watch = std::move(run_end_watch_);
    run_end_watch_ = nullptr;
    watch(RunEnd{pane_text, exit_code, run_started_});
}

INT_PTR AsyncCommandPage::OnCancel(WPARAM, LPARAM) {
    Carry(cycle_.Cancel());
    return 0;
}

INT_PTR AsyncCommandPage::OnPullControls(WPARAM, LPARAM) {
    UpdateData(true);
    return 0;
}

void AsyncCommandPage::CommitField(const std::function<void()>& tidy) {
    // A text refused as too long opens a message box, which takes the focus
    // from the field again: that loss commits nothing.
    if (!Hwnd() || committing_) return;
    committing_ = true;
    if (UpdateData(true)) {
        tidy();
        UpdateData(false);
    }
    committing_ = false;
}

bool AsyncCommandPage::IsChecked(int id) const { return ::IsDlgButtonChecked(Hwnd(), id) == BST_CHECKED; }

void AsyncCommandPage::ChooseRadio(int on, int off) const {
    ::CheckDlgButton(Hwnd(), on, BST_CHECKED);
    ::CheckDlgButton(Hwnd(), off, BST_UNCHECKED);
}

// A text field shows its start when it gains the focus, nothing selected.
INT_PTR AsyncCommandPage::OnFieldFocus(WPARAM, LPARAM) {
    HWND field = Item(IDC_TEXT_FIELD);
    ::SendMessageA(field, EM_SETSEL, 0, 0);
    ::SendMessageA(field, EM_SCROLLCARET, 0, 0);
    return 0;
}

INT_PTR AsyncCommandPage::OnFieldLeft(WPARAM, LPARAM) {
    CommitInput();
    return 0;
}

INT_PTR AsyncCommandPage::OnViewList(WPARAM, LPARAM) {
    if (!hosts_ || !HostCombo()) return 0;
    HostListDialog dialog(*hosts_);
    dialog.DoModal(::GetParent(Hwnd()));
    ::SetFocus(HostCombo());
    return 0;
}

// By id: a run puts a fresh pane in the old one's place.
INT_PTR AsyncCommandPage::OnPrint(WPARAM, LPARAM) {
    PrintPane(::GetParent(Hwnd()), Item(traits_.pane_id), traits_.document_name);
    return 0;
}

INT_PTR AsyncCommandPage::OnTimer(WPARAM wparam, LPARAM) {
    if (wparam == traits_.cancel_timer_id) {
        Carry(cycle_.CancelTimeout());
    } else if (traits_.repeat_timer_id != 0 && wparam == traits_.repeat_timer_id) {
        Carry(cycle_.RepeatDue());
    } else {
        ::KillTimer(Hwnd(), wparam);
    }
    return 0;
}

}  // namespace tracewick
