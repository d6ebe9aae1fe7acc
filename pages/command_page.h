// A page that runs commands: a form that holds its options, plans each run
// and hands it to its PageRun, which carries the run out; on the pages that
// take a host, the host combo box of the shared host list. Each page adds
// its commands and its options. UI thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/command_line.h"
#include "framework/message_map.h"
#include "framework/property_page.h"
#include "hostlist/host_list.h"
#include "pages/page_run.h"

namespace tracewick {

class AsyncCommandPage : public WithMessageMap<AsyncCommandPage, PropertyPage>, public HostPage {
public:
    AsyncCommandPage(const CommandPageTraits& traits, HostList* hosts);

    static const MessageEntry<AsyncCommandPage> kMessageMap[];

    // The host field's focus-loss routine, also run by the sheet on Close.
    void CommitInput() override;

    void StopRun() override { run_.Stop(); }

    HWND HostCombo() const override;
    void TakeHost(const std::string& host) override;
    void EmptyHostField() override { host_field_empty_ = true; }

    using RunEnd = tracewick::RunEnd;
    // Told once, when the next run has ended, was refused or could not start.
    void WatchNextRunEnd(RunEndWatch watch) { run_.WatchNextEnd(std::move(watch)); }
    // The next runs run once, whatever repeat interval the page has.
    void DropRepeat() { run_.SetRepeat(0); }

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
    PageRun run_;

private:
    INT_PTR OnRun(WPARAM, LPARAM);
    INT_PTR OnCancel(WPARAM, LPARAM);
    INT_PTR OnFieldFocus(WPARAM, LPARAM);
    INT_PTR OnFieldLeft(WPARAM, LPARAM);
    INT_PTR OnViewList(WPARAM, LPARAM);
    INT_PTR OnPrint(WPARAM, LPARAM);
    INT_PTR OnTimer(WPARAM, LPARAM);

    CommandPageTraits traits_;
    bool committing_ = false;
    // The host combo, once made, shows no text (see EmptyHostField).
    bool host_field_empty_ = false;
};

}  // namespace tracewick
