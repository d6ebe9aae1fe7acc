#include "pages/tracert_options_dialog.h"

#include "framework/data_exchange.h"
#include "framework/help_request.h"
#include "res/resource.h"

namespace tracewick {

const MessageEntry<TracertOptionsDialog> TracertOptionsDialog::kMessageMap[] = {
    OnCommand<TracertOptionsDialog>(IDC_TRACERT_DEFAULTS, &TracertOptionsDialog::OnDefaults),
    OnCommand<TracertOptionsDialog>(IDC_TRACERT_HELP, &TracertOptionsDialog::OnHelp),
    EndOfMessageMap<TracertOptionsDialog>(),
};

TracertOptionsDialog::TracertOptionsDialog(const TracertOptions& options)
    : WithMessageMap(IDD_TRACERT_OPTIONS), options_(options) {}

void TracertOptionsDialog::DoDataExchange(DataExchange& exchange) {
    exchange.Int(IDC_TRACERT_TIMEOUT, options_.timeout, TracertOptions::kMinTimeout, TracertOptions::kMaxTimeout);
    exchange.Int(IDC_TRACERT_HOPS, options_.maximum_hops, TracertOptions::kMinHops, TracertOptions::kMaxHops);
    exchange.Check(IDC_TRACERT_RESOLVE, options_.resolve_names);
}

INT_PTR TracertOptionsDialog::OnDefaults(WPARAM, LPARAM) {
    const TracertOptions defaults;
    options_.timeout = defaults.timeout;
    options_.maximum_hops = defaults.maximum_hops;
    options_.resolve_names = defaults.resolve_names;
    UpdateData(false);
    return 0;
}

INT_PTR TracertOptionsDialog::OnHelp(WPARAM, LPARAM) {
    ShowHelpTopic("Trace Route page");
    return 0;
}

}  // namespace tracewick
