#include "core/host_rules.h"

namespace tracewick {

namespace {

char Lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualIgnoringCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

int CompareIgnoringCase(std::string_view a, std::string_view b) noexcept {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(Lower(a[i])), y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

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
