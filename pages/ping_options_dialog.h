// The Ping Options dialog: echo requests, timeout, repeat interval and
// packet size, each checked against its range on OK. UI thread only.
#pragma once

#include "core/ping_options.h"
#include "framework/dialog.h"
#include "framework/message_map.h"

namespace tracewick {

class PingOptionsDialog : public WithMessageMap<PingOptionsDialog, Dialog> {
public:
    // Edits `options` (all but cumulative output); they change only on OK.
    explicit PingOptionsDialog(const PingOptions& options);

    static const MessageEntry<PingOptionsDialog> kMessageMap[];

    [[nodiscard]] const PingOptions& Options() const noexcept { return options_; }

protected:
    void DoDataExchange(DataExchange& exchange) override;

private:
    INT_PTR OnDefaults(WPARAM, LPARAM);
    INT_PTR OnHelp(WPARAM, LPARAM);

    PingOptions options_;
};

}  // namespace tracewick
