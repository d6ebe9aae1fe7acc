#include "pages/ping_page.h"

#include "core/command_line.h"
#include "core/host_rules.h"
#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "pages/ping_options_dialog.h"
#include "res/resource.h"
#include "settings/settings_io.h"

namespace tracewick {

namespace {

constexpr UINT kPingOutput = WM_USER + 1004;
constexpr UINT kPingDone = WM_USER + 1005;
constexpr UINT_PTR kRepeatTimer = 5;
constexpr UINT_PTR kCancelTimer = 6;
constexpr int kMargin = 14;

constexpr RunnerTraits kPingRunner{kPingOutput, kPingDone, kCancelTimer, "Ping cancelled"};

}  // namespace

const MessageEntry<CPingPage> CPingPage::kMessageMap[] = {
    OnCommand<CPingPage>(IDC_PING_OPTIONS, &CPingPage::OnOptions),
    OnCommand<CPingPage>(IDC_RUN, &CPingPage::OnRun),
    OnCommand<CPingPage>(IDC_HOST, &CPingPage::OnHostKillFocus, CBN_KILLFOCUS),
    OnCommand<CPingPage>(IDC_HOST, &CPingPage::OnHostSetFocus, CBN_SETFOCUS),
    OnCommand<CPingPage>(IDC_CUMULATIVE, &CPingPage::OnCumulative),
    OnCommand<CPingPage>(IDC_CANCEL_RUN, &CPingPage::OnCancel),
    OnMsg<CPingPage>(WM_TIMER, &CPingPage::OnTimer),
    OnMsg<CPingPage>(kPingOutput, &CPingPage::OnOutput),
    OnMsg<CPingPage>(kPingDone, &CPingPage::OnDone),
    EndOfMessageMap<CPingPage>(),
};

CPingPage::CPingPage(HostList& hosts) : WithMessageMap(IDD_PING_PAGE), hosts_(hosts), runner_(kPingRunner) {
    hosts_.Add(*this);
}

BOOL CPingPage::OnInitDialog() {
    HostList::SetUpCombo(HostCombo());
    if (const auto saved = ReadSettingsFile(kPingSettingsFile)) {
        SettingsReader reader(*saved);
        ReadPingSettings(reader, options_);
    }
    UpdateData(false);
    pane_.Attach(Item(IDC_PANE));
    // Printing and the host list dialog arrive with their own modules.
    ::EnableWindow(Item(IDC_PRINT), FALSE);
    ::EnableWindow(Item(IDC_VIEW_LIST), FALSE);
    timer_id_ = 0;
    return TRUE;
}

void CPingPage::DoDataExchange(DataExchange& exchange) {
    if (exchange.Saving()) {
        host_ = ControlText(HostCombo());
    } else {
        HostList::PushHost(HostCombo(), host_);
    }
    exchange.Check(IDC_CUMULATIVE, options_.cumulative);
}

void CPingPage::WriteSettings(SettingsWriter& writer) const { WritePingSettings(options_, writer); }

HWND CPingPage::HostCombo() const { return Item(IDC_HOST); }

void CPingPage::TakeHost(const std::string& host) {
    host_ = host;
    UpdateData(false);
}

void CPingPage::CommitInput() {
    if (!Hwnd()) return;
    UpdateData(true);
    host_ = hosts_.Commit(*this, host_);
}

INT_PTR CPingPage::OnHostKillFocus(WPARAM, LPARAM) {
    CommitInput();
    return 0;
}

INT_PTR CPingPage::OnHostSetFocus(WPARAM, LPARAM) {
    HostList::OnComboFocus(HostCombo());
    return 0;
}

INT_PTR CPingPage::OnCumulative(WPARAM, LPARAM) {
    UpdateData(true);
    return 0;
}

void CPingPage::SetRunning(bool running) {
    ::EnableWindow(Item(IDC_RUN), !running);
    ::EnableWindow(Item(IDC_CANCEL_RUN), running);
}

INT_PTR CPingPage::OnRun(WPARAM, LPARAM) {
    if (runner_.Active()) return 0;  // one run at a time
    // A run started by hand during the countdown replaces the pending repeat.
    if (timer_id_ == kRepeatTimer) ::KillTimer(Hwnd(), kRepeatTimer);
    CommitInput();
    std::string host = StripLeadingBlanks(host_);
    if (host.empty()) host = "localhost";
    host_ = host;
    const CommandTemplate command = PingCommand(options_.timeout, options_.count, options_.packet_size);
    if (const auto refusal = HostRefusal(command, host)) {
        // A refused repeat must not leave the page waiting for nothing.
        if (timer_id_ == kRepeatTimer) timer_id_ = 0;
        SetRunning(false);
        AppMessageBox(Hwnd(), *refusal);
        return 0;
    }
    pane_.WriteHeader(options_.cumulative, kMargin);
    if (!runner_.Start(Hwnd(), command.With(host))) {
        pane_.AppendText("Tracewick could not start a worker thread for the run.\r\n", kMargin);
        pane_.AppendText(EndLine("End of Data"), kMargin);
        SetRunning(false);
        return 0;
    }
    SetRunning(true);
    return 0;
}

INT_PTR CPingPage::OnCancel(WPARAM, LPARAM) {
    ::EnableWindow(Item(IDC_CANCEL_RUN), FALSE);
    if (runner_.Active()) {
        // Also a run whose spawner is still starting: it is never taken for
        // a pending repeat.
        runner_.Cancel();
        timer_id_ = kCancelTimer;
    } else if (timer_id_ == kRepeatTimer) {
        ::KillTimer(Hwnd(), kRepeatTimer);
        timer_id_ = 0;
        ::EnableWindow(Item(IDC_RUN), TRUE);
        NoteRepeatCancelled();
    }
    return 0;
}

void CPingPage::NoteRepeatCancelled() { pane_.AppendText("\r\nRepeat Ping cancelled\r\n", kMargin); }

INT_PTR CPingPage::OnTimer(WPARAM wparam, LPARAM) {
    const UINT_PTR id = wparam;
    if (id == kRepeatTimer) {
        ::KillTimer(Hwnd(), kRepeatTimer);
        // The whole Run again, with a new header; the id stays the repeat's.
        ::SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_RUN, 0), 0);
    } else if (id == kCancelTimer) {
        runner_.OnCancelTimeout();
    } else {
        ::KillTimer(Hwnd(), id);
    }
    return 0;
}

INT_PTR CPingPage::OnOutput(WPARAM, LPARAM lparam) {
    if (const auto text = runner_.TakeOutput(lparam)) pane_.AppendOutput(*text, kMargin);
    return 0;
}

INT_PTR CPingPage::OnDone(WPARAM, LPARAM lparam) {
    const auto end = runner_.TakeDone(lparam);
    if (!end) return 0;  // a late end line of an older run
    ::EnableWindow(Item(IDC_CANCEL_RUN), FALSE);
    pane_.AppendText(*end, kMargin);
    if (!runner_.Cancelled() && options_.repeat > 0) {
        pane_.AppendText("\r\nPing repeats in " + std::to_string(options_.repeat) + " seconds", kMargin);
        if (::SetTimer(Hwnd(), kRepeatTimer, static_cast<UINT>(options_.repeat) * 1000u, nullptr)) {
            timer_id_ = kRepeatTimer;
            ::EnableWindow(Item(IDC_CANCEL_RUN), TRUE);
            return 0;
        }
    }
    ::EnableWindow(Item(IDC_RUN), TRUE);
    return 0;
}

INT_PTR CPingPage::OnOptions(WPARAM, LPARAM) {
    PingOptionsDialog dialog(options_);
    if (dialog.DoModal(::GetParent(Hwnd())) != IDOK) return 0;
    const int old_repeat = options_.repeat;
    const bool cumulative = options_.cumulative;
    options_ = dialog.Options();
    options_.cumulative = cumulative;
    if (options_.repeat == 0 && old_repeat > 0 && timer_id_ == kRepeatTimer) {
        ::KillTimer(Hwnd(), kRepeatTimer);
        timer_id_ = 0;
        if (!runner_.Active()) {
            ::EnableWindow(Item(IDC_CANCEL_RUN), FALSE);
            ::EnableWindow(Item(IDC_RUN), TRUE);
        }
        NoteRepeatCancelled();
    }
    return 0;
}

}  // namespace tracewick
