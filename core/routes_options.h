// The Routes page's options, its settings file routes.dat and its command
// line. Portable.
#pragma once

#include <cstddef>
#include <string>

#include "core/command_line.h"
#include "core/settings_format.h"

namespace tracewick {

struct RoutesOptions {
    std::string address;  // at most kMaxRouteAddress characters from the field
    bool cumulative = false;
};

inline constexpr char kRoutesSettingsFile[] = "routes.dat";
inline constexpr std::size_t kMaxRouteAddress = 15;

// Lines: address, cumulative. An empty address line, or one longer than the
// field takes, leaves the address as it was.
void WriteRoutesSettings(const RoutesOptions& options, SettingsWriter& writer);
void ReadRoutesSettings(SettingsReader& reader, RoutesOptions& options);

// conspawn.exe "route print ADDRESS", the address going in with With();
// with none, a blank stands before the closing quote.
[[nodiscard]] CommandTemplate RoutesCommand();

}  // namespace tracewick
