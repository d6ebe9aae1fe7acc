// The Trace Route Options dialog: timeout, maximum hops and name
// resolution, the numbers checked against their ranges on OK. UI thread only.
#pragma once

#include "core/tracert_options.h"
#include "framework/dialog.h"
#include "framework/message_map.h"

namespace tracewick {

class TracertOptionsDialog : public WithMessageMap<TracertOptionsDialog, Dialog> {
public:
    explicit TracertOptionsDialog(const TracertOptions& options);

    static const MessageEntry<TracertOptionsDialog> kMessageMap[];

    [[nodiscard]] const TracertOptions& Options() const noexcept { return options_; }

protected:
    void DoDataExchange(DataExchange& exchange) override;

private:
    INT_PTR OnDefaults(WPARAM, LPARAM);
    INT_PTR OnHelp(WPARAM, LPARAM);

    TracertOptions options_;
};

}  // namespace tracewick
