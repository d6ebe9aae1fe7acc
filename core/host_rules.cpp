#include "core/host_rules.h"

namespace tracewick {

bool ListHoldsHost(const std::vector<std::string>& entries, std::string_view host, SameText same) {
    for (const std::string& entry : entries) {
        if (same(entry, host)) return true;
    }
    return false;
}

int PushedEntry(const std::vector<std::string>& entries, std::string_view host, SameText same) {
    // Every entry begins with the empty text; showing one would put a host
    // in the field that the page does not hold.
    if (host.empty()) return -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].size() >= host.size() && same(std::string_view(entries[i]).substr(0, host.size()), host)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::size_t SortedPlace(const std::vector<std::string>& entries, std::string_view host, OrderText order) {
    std::size_t low = 0, high = entries.size();
    while (low != high) {
        const std::size_t middle = (low + high) / 2;
        const int sign = order(host, entries[middle]);
        if (sign == 0) return middle;
        if (sign < 0) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return high;
}

std::optional<std::size_t> HostEntries::Commit(const std::string& host) {
    if (host.empty() || ListHoldsHost(items_, host, same_)) return std::nullopt;
    const std::size_t place = SortedPlace(items_, host, order_);
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(place), host);
    return place;
}

void HostEntries::Replace(const std::vector<std::string>& entries) {
    items_.clear();
    for (const std::string& entry : entries) {
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(SortedPlace(items_, entry, order_)), entry);
    }
}

int HostEntries::PushedEntry(std::string_view host) const { return tracewick::PushedEntry(items_, host, same_); }

}  // namespace tracewick
