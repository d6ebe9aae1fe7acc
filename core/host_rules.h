// Rules of the shared host list, as pure functions over the list's entries.
// Portable: no <windows.h>.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tracewick {

// Hosts are kept to what one settings line carries.
inline constexpr int kMaxHostLength = 78;

[[nodiscard]] bool EqualIgnoringCase(std::string_view a, std::string_view b) noexcept;

// How two host texts are compared ignoring case. The program passes the
// comparison the combo box itself uses (by locale, so "Ärzte" equals
// "ärzte"); the ASCII one is the portable stand-in.
using SameText = bool (*)(std::string_view a, std::string_view b);

// Whether the list already holds `host`, ignoring case (the commit rule
// adds nothing then).
[[nodiscard]] bool ListHoldsHost(const std::vector<std::string>& entries, std::string_view host,
                                 SameText same = EqualIgnoringCase);

// The entry that pushing `host` to a combo selects: the first that begins
// with it, ignoring case; -1 when none does or the host is empty (the text
// is then set as it is).
[[nodiscard]] int PushedEntry(const std::vector<std::string>& entries, std::string_view host,
                              SameText same = EqualIgnoringCase);

}  // namespace tracewick
