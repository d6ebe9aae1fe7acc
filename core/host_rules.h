// Rules of the shared host list, as pure functions over the list's entries.
// Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"

namespace tracewick {

// Hosts are kept to what one settings line carries.
inline constexpr int kMaxHostLength = 78;

// How two host texts are compared ignoring case. The program passes the
// comparison the combo box itself uses (by locale, so "Ärzte" equals
// "ärzte"); the ASCII one is the portable stand-in.
using SameText = bool (*)(std::string_view a, std::string_view b);

// How two host texts order ignoring case: below, at or above zero. The
// program passes the order the sorted combo box itself keeps (by locale,
// where "co-op" sorts after "coop"); the ASCII one is the portable stand-in.
using OrderText = int (*)(std::string_view a, std::string_view b);

// Whether the list already holds `host`, ignoring case (the commit rule
// adds nothing then).
[[nodiscard]] bool ListHoldsHost(const std::vector<std::string>& entries, std::string_view host,
                                 SameText same = EqualIgnoringCase);

// The entry that pushing `host` to a combo selects: the first that begins
// with it, ignoring case; -1 when none does or the host is empty (the text
// is then set as it is).
[[nodiscard]] int PushedEntry(const std::vector<std::string>& entries, std::string_view host,
                              SameText same = EqualIgnoringCase);

// Where a sorted combo box puts `host` among `entries`: it halves the list
// and takes the place of the first entry met that orders equal, else the
// place before the first that orders above. Entries equal but for case thus
// land as the combo box puts them, which its halving decides.
[[nodiscard]] std::size_t SortedPlace(const std::vector<std::string>& entries, std::string_view host,
                                      OrderText order = CompareIgnoringCase);

// The entries of the shared host list, in the order every host combo shows
// them; the combos mirror it, so a page without its window yet keeps up.
class HostEntries {
public:
    explicit HostEntries(OrderText order = CompareIgnoringCase, SameText same = EqualIgnoringCase)
        : order_(order), same_(same) {}

    [[nodiscard]] const std::vector<std::string>& Items() const noexcept { return items_; }

    // The commit rule's part on the list: a host not empty and not yet held
    // (ignoring case) goes to its sorted place, which is returned.
    std::optional<std::size_t> Commit(const std::string& host);
    // Exactly `entries`, each put in its sorted place in turn, as adding
    // them one by one to an emptied combo does.
    void Replace(const std::vector<std::string>& entries);
    // The entry that showing `host` selects (see PushedEntry).
    [[nodiscard]] int PushedEntry(std::string_view host) const;

private:
    OrderText order_;
    SameText same_;
    // A host combo as the page's template leaves it.
    std::vector<std::string> items_ = {"localhost"};
};

}  // namespace tracewick
