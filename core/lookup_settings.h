// The lines of the Lookup page's settings file: its cumulative flag, the
// current host and the shared host list. Portable.
#pragma once

#include <string>
#include <vector>

#include "core/command_line.h"
#include "core/settings_fields.h"

namespace tracewick {

struct LookupSettings {
    bool cumulative = false;
    std::string host;                // kept as it was when the line is empty
    std::vector<std::string> hosts;  // every further line, as it stands
};

// A damaged file never keeps the program from starting: a host too long
// ever to fit a command line, and an empty list line, are passed over when
// reading, like any other value that cannot be read.
inline constexpr SettingsField<LookupSettings> kLookupFields[] = {
    CumulativeField<&LookupSettings::cumulative>(),
    Field<&LookupSettings::host, kMaxCommandLength>(),
    Field<&LookupSettings::hosts, kMaxCommandLength>(),
};

}  // namespace tracewick
