#include "pages/ping_page.h"

#include "pages/ping_options_dialog.h"
#include "res/resource.h"
#include "settings/settings_io.h"

namespace tracewick {

namespace {

constexpr UINT_PTR kRepeatTimer = 5;
constexpr UINT_PTR kCancelTimer = 6;
constexpr int kMargin = 14;

constexpr CommandPageTraits kPingTraits{
    IDD_PING_PAGE, IDC_PANE, IDC_HOST,
    RunnerTraits{WM_USER + 1004, WM_USER + 1005, kCancelTimer, "Ping cancelled"}, kMargin};

}  // namespace

const MessageEntry<CPingPage> CPingPage::kMessageMap[] = {
    OnCommand<CPingPage>(IDC_PING_OPTIONS, &CPingPage::OnOptions),
    EndOfMessageMap<CPingPage>(),
};

CPingPage::CPingPage(HostList& hosts) : WithMessageMap(kPingTraits, &hosts) { host_ = " "; }

void CPingPage::ReadSettings() {
    if (const auto saved = ReadSettingsFile(kPingSettingsFile)) {
        SettingsReader reader(*saved);
        ReadPingSettings(reader, options_);
    }
    cumulative_ = options_.cumulative;
    timer_id_ = 0;
}

void CPingPage::WriteSettings(SettingsWriter& writer) const {
    PingOptions options = options_;
    options.cumulative = cumulative_;
    WritePingSettings(options, writer);
}

// A run started by hand during the countdown replaces the pending repeat.
void CPingPage::OnRunRequested() {
    if (timer_id_ == kRepeatTimer) ::KillTimer(Hwnd(), kRepeatTimer);
}

std::optional<std::string> CPingPage::BuildCommand(const std::string& host) {
    return CommandFor(PingCommand(options_.timeout, options_.count, options_.packet_size), host);
}

// A cancelled run never repeats; the id now records the cancel timer.
void CPingPage::OnRunCancelling() { timer_id_ = kCancelTimer; }

void CPingPage::OnCancelWithoutRun() {
    if (timer_id_ != kRepeatTimer) return;
    ::KillTimer(Hwnd(), kRepeatTimer);
    timer_id_ = 0;
    ::EnableWindow(Item(IDC_RUN), TRUE);
    NoteRepeatCancelled();
}

void CPingPage::NoteRepeatCancelled() { pane_.AppendText("\r\nRepeat Ping cancelled\r\n", kMargin); }

void CPingPage::OnRunEnded() {
    if (!runner_.Cancelled() && options_.repeat > 0) {
        pane_.AppendText("\r\nPing repeats in " + std::to_string(options_.repeat) + " seconds", kMargin);
        if (::SetTimer(Hwnd(), kRepeatTimer, static_cast<UINT>(options_.repeat) * 1000u, nullptr)) {
            timer_id_ = kRepeatTimer;
            ::EnableWindow(Item(IDC_CANCEL_RUN), TRUE);
            return;
        }
    }
    ::EnableWindow(Item(IDC_RUN), TRUE);
}

void CPingPage::OnOtherTimer(UINT_PTR id) {
    ::KillTimer(Hwnd(), id);
    // The whole Run again, with a new header; the id stays the repeat's.
    if (id == kRepeatTimer) ::SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_RUN, 0), 0);
}

INT_PTR CPingPage::OnOptions(WPARAM, LPARAM) {
    PingOptionsDialog dialog(options_);
    if (dialog.DoModal(::GetParent(Hwnd())) != IDOK) return 0;
    const int old_repeat = options_.repeat;
    options_ = dialog.Options();
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
