// The main sheet: the program's only main window. It owns every page, sets
// up its buttons and system menu, opens the chosen page, turns Enter into a
// click of the active page's Run button, and saves the settings on Exit and
// Close. UI thread only.
#pragma once

#include <string_view>
#include <vector>

#include "app/about_page.h"
#include "app/help_window.h"
#include "app/unattended.h"
#include "framework/handles.h"
#include "framework/message_map.h"
#include "framework/property_sheet.h"
#include "hostlist/host_list.h"
#include "pages/arp_page.h"
#include "pages/connections_page.h"
#include "pages/lookup_page.h"
#include "pages/netbios_page.h"
#include "pages/routes_page.h"
#include "pages/statistics_page.h"
#include "pages/ping_page.h"
#include "pages/tracert_page.h"
#include "settings/all_settings.h"

namespace tracewick {

class CAllControlsSheet : public WithMessageMap<CAllControlsSheet, PropertySheet> {
public:
    // Shows the splash first when `autorun_letter` is a blank. With
    // `unattended`, the letter's first run is reported there and no failed
    // save keeps the sheet open.
    explicit CAllControlsSheet(char autorun_letter, UnattendedRun* unattended = nullptr);

    static const MessageEntry<CAllControlsSheet> kMessageMap[];
    // Posted to run the report's next page, from the page index in wParam.
    static constexpr UINT kReportNext = WM_APP + 1;

    // Position in the sheet of the page with index `index`, or -1 when this
    // build has no such page.
    [[nodiscard]] int PositionOfIndex(int index) const noexcept;
    [[nodiscard]] int IndexAtPosition(int position) const noexcept;
    [[nodiscard]] int ActiveIndex() const noexcept;
    void ActivateIndex(int index) noexcept;

protected:
    void OnPreCreate(DWORD& style) override;
    void OnInitialized() override;

private:
    // Adds the page with page index `index`; calls come in index order.
    // A page that keeps a settings file is read and saved with the others.
    void AddPageAt(int index, PropertyPage& page);

    void SetUpSystemMenu();
    void ArrangeButtons();
    void OpenStartPage();
    // The next run of the page with index `index` goes to the unattended
    // run, which then leaves, runs the report's next page or watches again;
    // the page, or null for one that runs nothing.
    AsyncCommandPage* WatchRuns(int index);
    void WatchedRunEnded(int index, const AsyncCommandPage::RunEnd& end);
    INT_PTR OnReportNext(WPARAM, LPARAM);
    // Saves, then ends the modal run; stays open when the save failed,
    // unless nobody watches the run.
    void Leave();

    INT_PTR OnDefaultCommand(WPARAM, LPARAM);
    INT_PTR OnExit(WPARAM, LPARAM);
    INT_PTR OnHelp(WPARAM, LPARAM);
    INT_PTR OnSysCommand(WPARAM, LPARAM);
    INT_PTR OnDestroy(WPARAM, LPARAM);
    INT_PTR OnQueryDragIcon(WPARAM, LPARAM);

    HostList hosts_;
    CPingPage ping_page_;
    CTracertPage tracert_page_;
    CLookupPage lookup_page_;
    CRoutesPage routes_page_;
    CArpPage arp_page_;
    CNetbiosPage netbios_page_;
    CConnectionsPage connections_page_;
    CStatisticsPage statistics_page_;
    CAboutPage about_page_;
    UniqueIcon icon_;
    UniqueIcon small_icon_;
    std::vector<int> page_indices_;  // page index at each sheet position
    SettingsPages settings_pages_{};
    HelpWindow help_;
    char autorun_letter_;
    UnattendedRun* unattended_;
};

}  // namespace tracewick
