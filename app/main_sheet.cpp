#include "app/main_sheet.h"

#include <algorithm>
#include <ctime>
#include <string>

#include "app/splash_dialog.h"
#include "core/autorun.h"
#include "core/help_topics.h"
#include "core/pages.h"
#include "framework/message_box.h"
#include "framework/resource_text.h"
#include "res/resource.h"

namespace tracewick {

namespace {

// The end of a run that never started, for the unattended run's record.
AsyncCommandPage::RunEnd NeverRan() { return {{}, 1, std::time(nullptr)}; }

HICON LoadProgramIcon(int size) {
    return static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                           MAKEINTRESOURCEA(IDI_TRACEWICK), IMAGE_ICON, size, size,
                                           LR_DEFAULTCOLOR));
}

WINDOWPLACEMENT PlacementOf(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(window, &placement);
    return placement;
}

void Place(HWND window, WINDOWPLACEMENT placement, UINT show) {
    placement.showCmd = show;
    ::SetWindowPlacement(window, &placement);
}

}  // namespace

const MessageEntry<CAllControlsSheet> CAllControlsSheet::kMessageMap[] = {
    OnCommand<CAllControlsSheet>(IDOK, &CAllControlsSheet::OnDefaultCommand),
    OnCommand<CAllControlsSheet>(IDCANCEL, &CAllControlsSheet::OnExit),
    OnCommand<CAllControlsSheet>(IDC_SHEET_HELP, &CAllControlsSheet::OnHelp),
    OnMsg<CAllControlsSheet>(WM_SYSCOMMAND, &CAllControlsSheet::OnSysCommand),
    OnMsg<CAllControlsSheet>(WM_DESTROY, &CAllControlsSheet::OnDestroy),
    OnMsg<CAllControlsSheet>(WM_QUERYDRAGICON, &CAllControlsSheet::OnQueryDragIcon),
    OnMsg<CAllControlsSheet>(CAllControlsSheet::kReportNext, &CAllControlsSheet::OnReportNext),
    EndOfMessageMap<CAllControlsSheet>(),
};

CAllControlsSheet::CAllControlsSheet(char autorun_letter, UnattendedRun* unattended)
    : WithMessageMap("Tracewick"),
      ping_page_(hosts_),
      tracert_page_(hosts_),
      lookup_page_(hosts_),
      statistics_page_(connections_page_),
      autorun_letter_(autorun_letter),
      unattended_(unattended) {
    // A report is a run nobody watches: no picture waits before it.
    if (autorun_letter_ == kNoAutoRunLetter && !(unattended_ && unattended_->Reports())) {
        SplashDialog splash;
        splash.DoModal(nullptr);
    }
    icon_.Reset(LoadProgramIcon(::GetSystemMetrics(SM_CXICON)));
    small_icon_.Reset(LoadProgramIcon(::GetSystemMetrics(SM_CXSMICON)));
    SetIcon(icon_.Get());
    SetHasHelp(true);

    AddPageAt(kPingPage, ping_page_);
    AddPageAt(kTracertPage, tracert_page_);
    AddPageAt(kLookupPage, lookup_page_);
    AddPageAt(kRoutesPage, routes_page_);
    AddPageAt(kArpPage, arp_page_);
    AddPageAt(kNetbiosPage, netbios_page_);
    AddPageAt(kConnectionsPage, connections_page_);
    AddPageAt(kStatisticsPage, statistics_page_);
    AddPageAt(kAboutPage, about_page_);

    // Before any page has its window: each gets it only when first opened,
    // which keeps a page's controls off the start-up time, and shows what
    // was read. The host list keeps its entries and the pages their hosts,
    // so the host pages need no window either.
    ReadAllSettings(settings_pages_);
    hosts_.SetReady();
}

void CAllControlsSheet::AddPageAt(int index, PropertyPage& page) {
    page_indices_.push_back(index);
    AddPage(page);
    if (auto* settings = dynamic_cast<PageSettings*>(&page)) settings_pages_.at(static_cast<std::size_t>(index)) = settings;
}

int CAllControlsSheet::PositionOfIndex(int index) const noexcept {
    const auto found = std::find(page_indices_.begin(), page_indices_.end(), index);
    return found == page_indices_.end() ? -1 : static_cast<int>(found - page_indices_.begin());
}

int CAllControlsSheet::IndexAtPosition(int position) const noexcept {
    if (position < 0 || position >= static_cast<int>(page_indices_.size())) return -1;
    return page_indices_[static_cast<std::size_t>(position)];
}

int CAllControlsSheet::ActiveIndex() const noexcept { return IndexAtPosition(ActivePosition()); }

void CAllControlsSheet::ActivateIndex(int index) noexcept {
    const int position = PositionOfIndex(index);
    if (position >= 0) SetActivePosition(position);
}

// Minimizable, and centred on the screen like every top-level dialog.
void CAllControlsSheet::OnPreCreate(DWORD& style) { style |= WS_MINIMIZEBOX | DS_CENTER; }

void CAllControlsSheet::OnInitialized() {
    help_.SetOwner(Hwnd());
    SetUpSystemMenu();
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.Get()));
    ArrangeButtons();
    OpenStartPage();
}

void CAllControlsSheet::SetUpSystemMenu() {
    HMENU menu = ::GetSystemMenu(Hwnd(), FALSE);
    if (!menu) return;
    ::DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    ::DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    const std::string about = LoadResourceString(IDS_ABOUT_MENU);
    if (!about.empty()) {
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
    ::DrawMenuBar(Hwnd());
}

// Only Help and Exit stay visible: Help where Apply Now was, Exit at the
// right end where Help was. OK and Apply Now are hidden but still exist.
void CAllControlsSheet::ArrangeButtons() {
    HWND apply = ::GetDlgItem(Hwnd(), IDC_SHEET_APPLY);
    HWND help = ::GetDlgItem(Hwnd(), IDC_SHEET_HELP);
    HWND cancel = ::GetDlgItem(Hwnd(), IDCANCEL);
    HWND ok = ::GetDlgItem(Hwnd(), IDOK);
    const WINDOWPLACEMENT apply_place = PlacementOf(apply);
    Place(apply, apply_place, SW_HIDE);
    const WINDOWPLACEMENT help_place = PlacementOf(help);
    Place(help, apply_place, SW_SHOWNORMAL);
    ::SetWindowTextA(cancel, "Exit");
    const WINDOWPLACEMENT cancel_place = PlacementOf(cancel);
    Place(cancel, help_place, SW_SHOWNORMAL);
    Place(ok, cancel_place, SW_HIDE);
}

void CAllControlsSheet::OpenStartPage() {
    if (unattended_ && unattended_->Reports()) {
        // Posted, so the report starts once the sheet is on the screen.
        if (!::PostMessageA(Hwnd(), kReportNext, 0, 0)) Leave();
        return;
    }
    const int letter_page = PageIndexForLetter(autorun_letter_);
    if (letter_page >= 0 && PositionOfIndex(letter_page) >= 0) {
        ActivateIndex(letter_page);
        const bool watched = !unattended_ || WatchRuns(letter_page);
        // Posted, so the page runs once the sheet is on the screen.
        const bool posted = ::PostMessageA(PropSheet_GetCurrentPageHwnd(Hwnd()), WM_COMMAND, MAKEWPARAM(IDC_RUN, 0), 0);
        if (unattended_ && (!watched || !posted)) WatchedRunEnded(letter_page, NeverRan());
        return;
    }
    const int index = ReadActivePage();
    if (index >= 1 && index <= kAboutPage) ActivateIndex(index);
}

AsyncCommandPage* CAllControlsSheet::WatchRuns(int index) {
    auto* runs = dynamic_cast<AsyncCommandPage*>(&PageAt(PositionOfIndex(index)));
    if (runs) runs->WatchNextRunEnd([this, index](const AsyncCommandPage::RunEnd& end) { WatchedRunEnded(index, end); });
    return runs;
}

void CAllControlsSheet::WatchedRunEnded(int index, const AsyncCommandPage::RunEnd& end) {
    unattended_->RunEnded(index, end.text, end.exit_code, end.started);
    // The next step is posted: the page is not yet done with its run's end.
    if (unattended_->Reports()) {
        if (!::PostMessageA(Hwnd(), kReportNext, static_cast<WPARAM>(index + 1), 0)) Leave();
    } else if (unattended_->LeavesAfterFirstRun()) {
        // Through Exit; at once when that cannot be posted, as nobody would ever click it.
        if (!::PostMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0)) Leave();
    } else {
        WatchRuns(index);  // every run of the page goes to the log
    }
}

// Runs the report's next page from page index `wparam` on, once each with
// its saved options and without its repeat; after the last, leaves.
INT_PTR CAllControlsSheet::OnReportNext(WPARAM wparam, LPARAM) {
    int index = static_cast<int>(wparam);
    while (index < kAboutPage && PositionOfIndex(index) < 0) ++index;
    if (index >= kAboutPage) {
        unattended_->ReportEnded();
        Leave();
        return 0;
    }
    ActivateIndex(index);
    unattended_->ReportPageStarting(index);
    AsyncCommandPage* runs = WatchRuns(index);
    if (runs) runs->DropRepeat();
    if (!runs || !::PostMessageA(PropSheet_GetCurrentPageHwnd(Hwnd()), WM_COMMAND, MAKEWPARAM(IDC_RUN, 0), 0)) {
        WatchedRunEnded(index, NeverRan());
    }
    return 0;
}

void CAllControlsSheet::Leave() {
    if (unattended_) unattended_->Leaving();
    // Nobody is there to act on a failed save: its text went to the log and
    // the exit code, and the program leaves.
    if (!SaveAllSettings(Hwnd(), ActiveIndex(), settings_pages_) && !unattended_) return;
    for (int position = 0; position < PageCount(); ++position) PageAt(position).StopRun();
    CallDefault(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
}

// Enter: the active page's Run button; the sheet stays open.
INT_PTR CAllControlsSheet::OnDefaultCommand(WPARAM, LPARAM) {
    ::SendMessageA(PropSheet_GetCurrentPageHwnd(Hwnd()), WM_COMMAND, MAKEWPARAM(IDC_RUN, 0), 0);
    return 0;
}

INT_PTR CAllControlsSheet::OnExit(WPARAM, LPARAM) {
    Leave();
    return 0;
}

INT_PTR CAllControlsSheet::OnHelp(WPARAM, LPARAM) {
    help_.ShowTopic(HelpTopicForPage(ActiveIndex()));
    return 0;
}

INT_PTR CAllControlsSheet::OnSysCommand(WPARAM wparam, LPARAM lparam) {
    switch (wparam & 0xFFF0) {
        case SC_CLOSE: {
            // What was typed in the active page's field counts, as if the
            // field had lost the focus.
            const int position = ActivePosition();
            if (position >= 0) PageAt(position).CommitInput();
            Leave();
            return 0;
        }
        case IDM_ABOUTBOX: {
            AboutDialog about;
            about.DoModal(Hwnd());
            return 0;
        }
        default:
            return CallDefault(WM_SYSCOMMAND, wparam, lparam);
    }
}

INT_PTR CAllControlsSheet::OnDestroy(WPARAM wparam, LPARAM lparam) {
    help_.Close();
    return CallDefault(WM_DESTROY, wparam, lparam);
}

INT_PTR CAllControlsSheet::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<INT_PTR>(icon_.Get());
}

}  // namespace tracewick
