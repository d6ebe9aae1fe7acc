#include "pages/command_page.h"

#include "core/command_line.h"
#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "hostlist/host_list_dialog.h"
#include "res/resource.h"

namespace tracewick {

namespace {

// Output taken into the pane in one insertion at most.
constexpr std::size_t kBatchLength = 256 * 1024;

}  // namespace

const MessageEntry<AsyncCommandPage> AsyncCommandPage::kMessageMap[] = {
    OnCommand<AsyncCommandPage>(IDC_RUN, &AsyncCommandPage::OnRun),
    OnCommand<AsyncCommandPage>(IDC_CANCEL_RUN, &AsyncCommandPage::OnCancel),
    OnCommand<AsyncCommandPage>(IDC_CUMULATIVE, &AsyncCommandPage::OnCumulative),
    OnCommand<AsyncCommandPage>(IDC_VIEW_LIST, &AsyncCommandPage::OnViewList),
    OnMsg<AsyncCommandPage>(WM_TIMER, &AsyncCommandPage::OnTimer),
    EndOfMessageMap<AsyncCommandPage>(),
};

AsyncCommandPage::AsyncCommandPage(const CommandPageTraits& traits, HostList* hosts)
    : WithMessageMap(traits.template_id), hosts_(hosts), runner_(traits.runner), traits_(traits) {
    if (hosts_) hosts_->Add(*this);
}

BOOL AsyncCommandPage::OnInitDialog() {
    if (HWND combo = HostCombo()) HostList::SetUpCombo(combo);
    ReadSettings();
    UpdateData(false);
    pane_.Attach(Item(traits_.pane_id));
    // Printing arrives with its own module.
    ::EnableWindow(Item(IDC_PRINT), FALSE);
    return TRUE;
}

void AsyncCommandPage::DoDataExchange(DataExchange& exchange) {
    if (HWND combo = HostCombo()) {
        if (exchange.Saving()) {
            host_ = ControlText(combo);
        } else {
            HostList::PushHost(combo, host_);
        }
    }
    exchange.Check(IDC_CUMULATIVE, cumulative_);
}

// The host combo's notifications and the runner's messages carry ids that
// differ from page to page, so they are matched here rather than in the map.
bool AsyncCommandPage::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) {
    if (message == traits_.runner.output_message) {
        std::string text = runner_.TakeOutput(lparam).value_or(std::string());
        // Every insertion into the pane costs more as it fills: take the
        // chunks already waiting in the queue along in one insertion.
        MSG next;
        while (text.size() < kBatchLength &&
               ::PeekMessageA(&next, Hwnd(), message, message, PM_REMOVE | PM_NOYIELD)) {
            if (const auto more = runner_.TakeOutput(next.lParam)) text += *more;
        }
        if (!text.empty()) pane_.AppendOutput(text, traits_.margin);
        result = 0;
        return true;
    }
    if (message == traits_.runner.done_message) {
        if (const auto end = runner_.TakeDone(lparam)) {
            ::EnableWindow(Item(IDC_CANCEL_RUN), FALSE);
            pane_.AppendText(*end, traits_.margin);
            OnRunEnded();
        }
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
    return traits_.host_combo_id != 0 ? Item(traits_.host_combo_id) : nullptr;
}

void AsyncCommandPage::TakeHost(const std::string& host) {
    host_ = host;
    if (Hwnd()) UpdateData(false);
}

void AsyncCommandPage::CommitInput() {
    if (!Hwnd()) return;
    UpdateData(true);
    if (hosts_) host_ = hosts_->Commit(*this, host_);
}

void AsyncCommandPage::SetRunning(bool running) {
    ::EnableWindow(Item(IDC_RUN), !running);
    ::EnableWindow(Item(IDC_CANCEL_RUN), running);
}

std::optional<std::string> AsyncCommandPage::CommandFor(const CommandTemplate& command, const std::string& host) {
    if (const auto refusal = HostRefusal(command, host)) {
        AppMessageBox(Hwnd(), *refusal);
        return std::nullopt;
    }
    return command.With(host);
}

ChunkRewrite AsyncCommandPage::RewriteFor(const std::string&) { return {}; }

void AsyncCommandPage::OnRunEnded() { ::EnableWindow(Item(IDC_RUN), TRUE); }

INT_PTR AsyncCommandPage::OnRun(WPARAM, LPARAM) {
    if (runner_.Active()) return 0;  // one run at a time, whatever sent the click
    OnRunRequested();
    CommitInput();
    std::string host = StripLeadingBlanks(host_);
    if (host.empty()) host = "localhost";
    host_ = host;
    const std::optional<std::string> command = BuildCommand(host);
    if (!command) {
        SetRunning(false);
        return 0;
    }
    pane_.WriteHeader(cumulative_, traits_.margin);
    if (!runner_.Start(Hwnd(), *command, RewriteFor(host))) {
        pane_.AppendText("Tracewick could not start a worker thread for the run.\r\n", traits_.margin);
        pane_.AppendText(EndLine("End of Data"), traits_.margin);
        SetRunning(false);
        return 0;
    }
    SetRunning(true);
    return 0;
}

INT_PTR AsyncCommandPage::OnCancel(WPARAM, LPARAM) {
    ::EnableWindow(Item(IDC_CANCEL_RUN), FALSE);
    // Also a run whose spawner is still starting.
    if (runner_.Active()) {
        runner_.Cancel();
        OnRunCancelling();
    } else {
        OnCancelWithoutRun();
    }
    return 0;
}

INT_PTR AsyncCommandPage::OnCumulative(WPARAM, LPARAM) {
    UpdateData(true);
    return 0;
}

INT_PTR AsyncCommandPage::OnViewList(WPARAM, LPARAM) {
    if (!hosts_ || !HostCombo()) return 0;
    HostListDialog dialog(*hosts_, HostCombo());
    dialog.DoModal(::GetParent(Hwnd()));
    ::SetFocus(HostCombo());
    return 0;
}

INT_PTR AsyncCommandPage::OnTimer(WPARAM wparam, LPARAM) {
    if (wparam == traits_.runner.cancel_timer_id) {
        runner_.OnCancelTimeout();
    } else {
        OnOtherTimer(wparam);
    }
    return 0;
}

}  // namespace tracewick
