#include "pages/ping_options_dialog.h"

#include "framework/data_exchange.h"
#include "framework/help_request.h"
#include "res/resource.h"

namespace tracewick {

const MessageEntry<PingOptionsDialog> PingOptionsDialog::kMessageMap[] = {
    OnCommand<PingOptionsDialog>(IDC_PING_DEFAULTS, &PingOptionsDialog::OnDefaults),
    OnCommand<PingOptionsDialog>(IDC_PING_HELP, &PingOptionsDialog::OnHelp),
    EndOfMessageMap<PingOptionsDialog>(),
};

PingOptionsDialog::PingOptionsDialog(const PingOptions& options)
    : WithMessageMap(IDD_PING_OPTIONS), options_(options) {}

// Checked in this order; the first bad field keeps the dialog open.
void PingOptionsDialog::DoDataExchange(DataExchange& exchange) {
    exchange.Int(IDC_PING_COUNT, options_.count, PingOptions::kMinCount, PingOptions::kMaxCount);
    exchange.Int(IDC_PING_TIMEOUT, options_.timeout, PingOptions::kMinTimeout, PingOptions::kMaxTimeout);
    exchange.Int(IDC_PING_REPEAT, options_.repeat, PingOptions::kMinRepeat, PingOptions::kMaxRepeat);
    exchange.Int(IDC_PING_PACKET_SIZE, options_.packet_size, PingOptions::kMinPacketSize,
                 PingOptions::kMaxPacketSize);
}

// Shows the default values; nothing is checked until OK.
INT_PTR PingOptionsDialog::OnDefaults(WPARAM, LPARAM) {
    const PingOptions defaults;
    options_.count = defaults.count;
    options_.timeout = defaults.timeout;
    options_.repeat = defaults.repeat;
    options_.packet_size = defaults.packet_size;
    UpdateData(false);
    return 0;
}

INT_PTR PingOptionsDialog::OnHelp(WPARAM, LPARAM) {
    ShowHelpTopic("Ping page");
    return 0;
}

}  // namespace tracewick
