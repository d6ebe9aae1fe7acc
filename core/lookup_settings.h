// The Lookup page's settings file, lookup.dat: its cumulative flag, the
// current host and the shared host list. Portable.
#pragma once

#include <string>
#include <vector>

#include "core/settings_format.h"

namespace tracewick {

inline constexpr char kLookupSettingsFile[] = "lookup.dat";

struct LookupSettings {
    bool cumulative = false;
    std::string host;                // kept as it was when the line is empty
    std::vector<std::string> hosts;  // every further line, as it stands
};

// A damaged file never keeps the program from starting: a host too long
// ever to fit a command line, and an empty list line, are passed over when
// reading, like any other value that cannot be read.

void WriteLookupSettings(const LookupSettings& settings, SettingsWriter& writer);
void ReadLookupSettings(SettingsReader& reader, LookupSettings& settings);

}  // namespace tracewick
