// The Ping page's options and the lines of their settings file. Portable.
#pragma once

#include "core/settings_fields.h"

namespace tracewick {

struct PingOptions {
    int count = 4;          // echo requests, 1..25 when typed
    int timeout = 300;      // milliseconds per reply, 10..10000 when typed
    int repeat = 0;         // seconds between runs, 0..3600 when typed; 0 = no repeat
    int packet_size = 32;   // bytes, 0..32739 when typed
    bool cumulative = false;

    // The option ranges of the options dialog.
    static constexpr int kMinCount = 1, kMaxCount = 25;
    static constexpr int kMinTimeout = 10, kMaxTimeout = 10000;
    static constexpr int kMinRepeat = 0, kMaxRepeat = 3600;
    static constexpr int kMinPacketSize = 0, kMaxPacketSize = 32739;
};

// Values are taken as read, without the dialog's range checks.
inline constexpr SettingsField<PingOptions> kPingFields[] = {
    Field<&PingOptions::count>(),
    Field<&PingOptions::timeout>(),
    Field<&PingOptions::repeat>(),
    Field<&PingOptions::packet_size>(),
    CumulativeField<&PingOptions::cumulative>(),
};

}  // namespace tracewick
