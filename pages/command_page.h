// A page that runs its command on a worker thread: Run, Cancel and the cancel
// time-out, the output pane, cumulative output and, on the pages that take a
// host, the host combo box of the shared host list. Each page adds its
// command line and its options. UI thread only.
#pragma once

#include <optional>
#include <string>

#include "core/command_line.h"
#include "core/run_cycle.h"
#include "framework/message_map.h"
#include "framework/timer.h"
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
    RunCycleTraits cycle;
    UINT_PTR cancel_timer_id;
    UINT_PTR repeat_timer_id;  // 0 on a page that does not repeat
    int margin;         // scroll margin for the header, output and end lines
};

class AsyncCommandPage : public WithMessageMap<AsyncCommandPage, PropertyPage>, public HostPage {
public:
    AsyncCommandPage(const CommandPageTraits& traits, HostList* hosts);

    static const MessageEntry<AsyncCommandPage> kMessageMap[];

    // The host field's focus-loss routine, also run by the sheet on Close.
    void CommitInput() override;

    void StopRun() override { runner_.Stop(); }

    HWND HostCombo() const override;
    void TakeHost(const std::string& host) override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& exchange) override;
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;

    // Reads the page's settings file into its members (initialisation).
    virtual void ReadSettings() {}
    // The command line for `host` (leading blanks gone, never empty), or
    // nothing once the user has been told why the run cannot start.
    virtual std::optional<std::string> BuildCommand(const std::string& host) = 0;
    // What the worker does to each chunk of this run; nothing by default.
    virtual ChunkRewrite RewriteFor(const std::string& host);

    // The command line of `command` with `host`, or nothing after the user
    // has been told why the host does not fit.
    std::optional<std::string> CommandFor(const CommandTemplate& command, const std::string& host);
    // Carries out what the run cycle said; `end_line` is the text an End
    // event shows. Output is shown by the output handler, in batches.
    void Carry(const RunEffects& effects, std::string_view end_line = {});

    HostList* hosts_;
    std::string host_;
    bool cumulative_ = false;
    RunCycle cycle_;
    AsyncRunner runner_;
    OutputPane pane_;

private:
    INT_PTR OnRun(WPARAM, LPARAM);
    INT_PTR OnCancel(WPARAM, LPARAM);
    INT_PTR OnCumulative(WPARAM, LPARAM);
    INT_PTR OnViewList(WPARAM, LPARAM);
    INT_PTR OnTimer(WPARAM, LPARAM);
    void OnOutput(LPARAM lparam);
    void StartRun(unsigned run);

    CommandPageTraits traits_;
    WindowTimer cancel_timer_;
    WindowTimer repeat_timer_;
    // What the next started run runs: set by Run just before the cycle starts it.
    std::string next_command_;
    ChunkRewrite next_rewrite_;
};

}  // namespace tracewick
