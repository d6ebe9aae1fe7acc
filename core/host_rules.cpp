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

}  // namespace tracewick
