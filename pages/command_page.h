// A page that runs its command on a worker thread: Run, Cancel and the cancel
// time-out, the output pane, cumulative output and, on the pages that take a
// host, the host combo box of the shared host list. Each page adds its
// command line and its options. UI thread only.
#pragma once

#include <optional>
#include <string>

#include "core/command_line.h"
#include "framework/message_map.h"
#include "framework/property_page.h"
#include "hostlist/host_list.h"
#include "runner/async_runner.h"
#include "runner/output_pane.h"

namespace tracewick {

struct CommandPageTraits {
    int template_id;
    int pane_id;
    int host_combo_id;  // 0 on a page without a host
    RunnerTraits runner;
    int margin;         // scroll margin for the header, output and end lines
};

class AsyncCommandPage : public WithMessageMap<AsyncCommandPage, PropertyPage>, public HostPage {
public:
    AsyncCommandPage(const CommandPageTraits& traits, HostList* hosts);

    static const MessageEntry<AsyncCommandPage> kMessageMap[];

    // The host field's focus-loss routine, also run by the sheet on Close.
    void CommitInput() override;

    HWND HostCombo() const override;
    void TakeHost(const std::string& host) override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& exchange) override;
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;

    // Reads the page's settings file into its members (initialisation).
    virtual void ReadSettings() {}
    // Run was clicked (or sent) while no run is active, before anything else.
    virtual void OnRunRequested() {}
    // The command line for `host` (leading blanks gone, never empty), or
    // nothing once the user has been told why the run cannot start.
    virtual std::optional<std::string> BuildCommand(const std::string& host) = 0;
    // What the worker does to each chunk of this run; nothing by default.
    virtual ChunkRewrite RewriteFor(const std::string& host);
    // The run's end line has been shown. By default the page is idle again.
    virtual void OnRunEnded();
    // Cancel was clicked during a run (the run is being cancelled), or while
    // no run was active.
    virtual void OnRunCancelling() {}
    virtual void OnCancelWithoutRun() {}
    // A timer other than the cancel timer.
    virtual void OnOtherTimer(UINT_PTR id) { ::KillTimer(Hwnd(), id); }

    // The command line of `command` with `host`, or nothing after the user
    // has been told why the host does not fit.
    std::optional<std::string> CommandFor(const CommandTemplate& command, const std::string& host);
    void SetRunning(bool running);

    HostList* hosts_;
    std::string host_;
    bool cumulative_ = false;
    AsyncRunner runner_;
    OutputPane pane_;

private:
    INT_PTR OnRun(WPARAM, LPARAM);
    INT_PTR OnCancel(WPARAM, LPARAM);
    INT_PTR OnCumulative(WPARAM, LPARAM);
    INT_PTR OnViewList(WPARAM, LPARAM);
    INT_PTR OnTimer(WPARAM, LPARAM);

    CommandPageTraits traits_;
};

}  // namespace tracewick
