// The Ping page: echo requests to a host through the spawner, streamed into
// its pane, with an optional repeat at an interval. UI thread only; its
// worker talks to it only through the runner's posted messages.
#pragma once

#include <string>

#include "core/ping_options.h"
#include "framework/message_map.h"
#include "framework/property_page.h"
#include "hostlist/host_list.h"
#include "runner/async_runner.h"
#include "runner/output_pane.h"
#include "settings/page_settings.h"

namespace tracewick {

class CPingPage : public WithMessageMap<CPingPage, PropertyPage>, public PageSettings, public HostPage {
public:
    explicit CPingPage(HostList& hosts);

    static const MessageEntry<CPingPage> kMessageMap[];

    // The host field's focus-loss routine, also run by the sheet on Close.
    void CommitInput() override;

    const char* SettingsFileName() const override { return kPingSettingsFile; }
    void WriteSettings(SettingsWriter& writer) const override;

    HWND HostCombo() const override;
    void TakeHost(const std::string& host) override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& exchange) override;

private:
    INT_PTR OnRun(WPARAM, LPARAM);
    INT_PTR OnCancel(WPARAM, LPARAM);
    INT_PTR OnOptions(WPARAM, LPARAM);
    INT_PTR OnCumulative(WPARAM, LPARAM);
    INT_PTR OnHostKillFocus(WPARAM, LPARAM);
    INT_PTR OnHostSetFocus(WPARAM, LPARAM);
    INT_PTR OnTimer(WPARAM, LPARAM);
    INT_PTR OnOutput(WPARAM, LPARAM);
    INT_PTR OnDone(WPARAM, LPARAM);

    // "Repeat Ping cancelled" on a line of its own.
    void NoteRepeatCancelled();
    void SetRunning(bool running);

    HostList& hosts_;
    PingOptions options_;
    std::string host_ = " ";
    AsyncRunner runner_;
    OutputPane pane_;
    UINT_PTR timer_id_ = 0;  // 0, the repeat timer (pending or last fired) or the cancel timer
};

}  // namespace tracewick
