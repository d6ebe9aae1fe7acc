// The Routes page's options, the lines of their settings file and its
// command line. Portable.
#pragma once

#include <cstddef>
#include <string>

#include "core/command_line.h"
#include "core/settings_fields.h"

namespace tracewick {

struct RoutesOptions {
    std::string address;  // at most kMaxRouteAddress characters from the field
    bool cumulative = false;
};

inline constexpr std::size_t kMaxRouteAddress = 15;

inline constexpr SettingsField<RoutesOptions> kRoutesFields[] = {
    Field<&RoutesOptions::address, kMaxRouteAddress>(),
    CumulativeField<&RoutesOptions::cumulative>(),
};

// conspawn.exe "route print ADDRESS", the address going in with With();
// with none, a blank stands before the closing quote.
[[nodiscard]] CommandTemplate RoutesCommand();

}  // namespace tracewick
