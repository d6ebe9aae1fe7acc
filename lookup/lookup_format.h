// What lookup.exe prints, as pure functions over what the resolver gave:
// the line layout, the order of the addresses and the failure line live here
// so that the native tests reach them. Portable: no <windows.h>.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tracewick::lookup {

inline constexpr char kUsageLine[] = "usage: lookup NAME-OR-ADDRESS";

enum class AddressFamily { kIPv4, kIPv6 };

struct ResolvedAddress {
    AddressFamily family;
    std::string text;  // numeric form, as the resolver renders it
};

// The one name or address among the arguments after the program name,
// without its surrounding blanks; empty when there is not exactly one or it
// is blank (the caller prints the usage then).
[[nodiscard]] std::string QueryFromArguments(const std::vector<std::string>& arguments);

// `text` with every control character written as \DDD (its decimal code, as
// in zone files), so that a name from the network cannot start a line of
// its own in the pane.
[[nodiscard]] std::string Printable(std::string_view text);

// One line each, without the line end; names go through Printable.
[[nodiscard]] std::string NameLine(std::string_view name);
[[nodiscard]] std::string CanonicalLine(std::string_view name);
[[nodiscard]] std::string AddressLine(std::string_view address);

// The address lines for a name: IPv4 before IPv6, each family in the
// resolver's order, each address once (the resolver repeats an address for
// every socket type it knows).
[[nodiscard]] std::vector<std::string> AddressLines(const std::vector<ResolvedAddress>& addresses);

// The one line for a lookup that failed: the query, the system's `reason`
// (its line breaks folded into blanks, the trailing ones dropped) and the
// error number, which is all that is left when the system has no text.
[[nodiscard]] std::string FailureLine(std::string_view query, std::string_view reason, int error);

}  // namespace tracewick::lookup
