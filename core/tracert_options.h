// The Trace Route page's options, the lines of their settings file, and the
// rewrite of the unresolved-target message. Portable.
#pragma once

#include <string>
#include <string_view>

#include "core/settings_fields.h"

namespace tracewick {

struct TracertOptions {
    int maximum_hops = 20;     // 1..100 when typed
    int timeout = 300;         // milliseconds, 10..10000 when typed
    bool resolve_names = false;
    bool cumulative = false;

    static constexpr int kMinHops = 1, kMaxHops = 100;
    static constexpr int kMinTimeout = 10, kMaxTimeout = 10000;
};

inline constexpr SettingsField<TracertOptions> kTracertFields[] = {
    Field<&TracertOptions::maximum_hops>(),
    Field<&TracertOptions::timeout>(),
    Field<&TracertOptions::resolve_names>(),
    CumulativeField<&TracertOptions::cumulative>(),
};

// A chunk that is exactly the message naming an option word instead of the
// host ("Unable to resolve target system name -d." or "-w.", then CR CR LF)
// is turned into the message naming `host`, without full stop or line end.
// Any other chunk, also one that merely contains the message, stays as is.
[[nodiscard]] std::string RewriteUnresolvedTarget(std::string_view chunk, std::string_view host);

}  // namespace tracewick
