#include "pages/command_page.h"

#include <ctime>

#include "core/command_line.h"
#include "core/text.h"
#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "hostlist/host_list_dialog.h"
#include "res/resource.h"
#include "pane/printing.h"

namespace tracewick {

const MessageEntry<AsyncCommandPage> AsyncCommandPage::kMessageMap[] = {
    OnCommand<AsyncCommandPage>(IDC_RUN, &AsyncCommandPage::OnRun),
    OnCommand<AsyncCommandPage>(IDC_CANCEL_RUN, &AsyncCommandPage::OnCancel),
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
      run_(traits),
      traits_(traits) {
    if (hosts_) hosts_->Add(*this);
    run_.OnRepeat([this] { OnRun(0, 0); });
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
    run_.Attach(Hwnd());
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

// The host combo's notifications carry ids that differ from page to page,
// so they are matched here rather than in the map.
bool AsyncCommandPage::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) {
    if (message == kRunWakeMessage) {
        run_.OnWake(static_cast<unsigned>(wparam));
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

std::optional<RunPlan> AsyncCommandPage::PlanRun() {
    std::string host = StripLeadingBlanks(host_);
    if (host.empty()) host = "localhost";
    host_ = host;
    std::optional<std::string> command = BuildCommand(host);
    if (!command) return std::nullopt;
    return RunPlan{{RunStep{std::move(*command)}}, RewriteFor(host)};
}

INT_PTR AsyncCommandPage::OnRun(WPARAM, LPARAM) {
    if (!run_.AcceptsRun()) return 0;  // one run at a time, whatever sent the click
    const std::time_t now = std::time(nullptr);
    CommitBeforeRun();
    std::optional<RunPlan> plan = PlanRun();
    if (plan) {
        run_.Start(std::move(*plan), Cumulative(), now);
    } else {
        run_.Refuse(now);
    }
    return 0;
}

INT_PTR AsyncCommandPage::OnCancel(WPARAM, LPARAM) {
    run_.Cancel();
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
    if (!run_.OnTimer(wparam)) ::KillTimer(Hwnd(), wparam);
    return 0;
}

}  // namespace tracewick
