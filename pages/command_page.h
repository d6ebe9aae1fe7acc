// A page that runs its commands on a worker thread: Run, Cancel and the
// cancel time-out, the output pane, cumulative output, the line filter of
// the pages that show output line by line and, on the pages that take a
// host, the host combo box of the shared host list. Each page adds its
// commands and its options. UI thread only.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/command_line.h"
#include "core/line_filter.h"
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
    int margin;         // scroll margin for the output and end lines
    int header_margin;  // for the header; OutputPane::kNoScroll for none
    const char* document_name;  // what a print job of the pane is called
    const LineRules* line_rules = nullptr;  // null: output is shown as it comes
};

// What one run runs.
struct RunPlan {
    std::vector<RunStep> steps;
    ChunkRewrite rewrite = {};
    // What a line filter's subject rule names in this run (the computer of
    // the run), fixed when the run is planned; in the program's code page.
    std::string subject = {};
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
    void EmptyHostField() override { host_field_empty_ = true; }

    // How a run ended: its text from its header to its end line (empty when
    // refused), its exit code (1 when refused or cancelled) and when it
    // started (its header's time).
    struct RunEnd {
        std::wstring_view text;
        DWORD exit_code;
        std::time_t started;
    };
    // Told once, when the next run has ended, was refused or could not start.
    using RunEndWatch = std::function<void(const RunEnd& end)>;
    void WatchNextRunEnd(RunEndWatch watch) { run_end_watch_ = std::move(watch); }
    // The next runs run once, whatever repeat interval the page has.
    void DropRepeat() { Carry(cycle_.SetRepeat(0)); }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& exchange) override;
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;

    // The flag of the Cumulative Output box, kept with the page's options.
    virtual bool& Cumulative() = 0;
    // Sets the controls that hold settings DoDataExchange does not carry.
    virtual void ShowSettings() {}
    // What Run runs, after the input was committed, or nothing once the user
    // has been told why the run cannot start. By default the page's one
    // command with its host.
    virtual std::optional<RunPlan> PlanRun();
    // The command line for `host` (leading blanks gone, never empty), or
    // nothing once the user has been told why the run cannot start.
    virtual std::optional<std::string> BuildCommand(const std::string&) { return std::nullopt; }
    // What the worker does to each chunk of this run; nothing by default.
    virtual ChunkRewrite RewriteFor(const std::string& host);
    // What Run commits before it plans: by default the field's focus-loss routine.
    virtual void CommitBeforeRun() { CommitInput(); }

    // The command line of `command` with `host`, or nothing after the user
    // has been told why the host does not fit; `noun` is what the field holds.
    std::optional<std::string> CommandFor(const CommandTemplate& command, const std::string& host,
                                          std::string_view noun = "host name");
    // Carries out what the run cycle said; `end_line` is the text an End
    // event shows, `exit_code` that run's. Output is shown by the output
    // handler, in batches.
    void Carry(const RunEffects& effects, std::string_view end_line = {}, DWORD exit_code = 1);

    // Pulls the controls into the members: a check box commits on each click.
    INT_PTR OnPullControls(WPARAM, LPARAM);
    // The text field's focus-loss routine: pull the controls, `tidy` the
    // members, push them back.
    void CommitField(const std::function<void()>& tidy);
    // Whether the radio button or check box `id` is checked now.
    [[nodiscard]] bool IsChecked(int id) const;
    // A button kept out of DoDataExchange: as checked, or as the settings
    // file said while the page has no window yet.
    [[nodiscard]] bool IsChecked(int id, bool as_read) const { return Hwnd() ? IsChecked(id) : as_read; }
    // Checks `on` and clears `off`.
    void ChooseRadio(int on, int off) const;

    HostList* hosts_;
    std::string host_;
    RunCycle cycle_;
    AsyncRunner runner_;
    OutputPane pane_;

private:
    INT_PTR OnRun(WPARAM, LPARAM);
    INT_PTR OnCancel(WPARAM, LPARAM);
    INT_PTR OnFieldFocus(WPARAM, LPARAM);
    INT_PTR OnFieldLeft(WPARAM, LPARAM);
    INT_PTR OnViewList(WPARAM, LPARAM);
    INT_PTR OnPrint(WPARAM, LPARAM);
    INT_PTR OnTimer(WPARAM, LPARAM);
    void OnOutput(LPARAM lparam);
    // The pane cannot take the run's output: the run stops, as with Cancel.
    void StopForFullPane();
    void StartRun(unsigned run);
    void WaitForEnd();
    void ReportRunEnd(std::wstring_view pane_text, DWORD exit_code);
    // The run the pane shows: when it started, and its header line.
    std::time_t run_started_ = 0;
    std::string run_header_;

    CommandPageTraits traits_;
    WindowTimer cancel_timer_;
    WindowTimer repeat_timer_;
    // What the next started run runs: set by Run just before the cycle starts it.
    RunPlan next_plan_;
    bool committing_ = false;
    // The host combo, once made, shows no text (see EmptyHostField).
    bool host_field_empty_ = false;
    std::optional<LineFilter> lines_;
    std::string subject_;  // of the run the pane shows, in the output's code page
    RunEndWatch run_end_watch_;
};

}  // namespace tracewick
