// lookup.exe's line layout, one row per rule: what the layout gave for a
// resolver's answer, and what it must give.
#include "lookup/lookup_format.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tracewick::lookup {
namespace {

using F = AddressFamily;

// The address lines for `resolved`, each ended by '|'.
std::string Addresses(const std::vector<ResolvedAddress>& resolved) {
    std::string text;
    for (const std::string& line : AddressLines(resolved)) text += line + "|";
    return text;
}

TEST(LookupFormat, Lines) {
    const std::tuple<const char*, std::string, std::string> rows[] = {  // name, got, expected
        {"no address, no line", Addresses({}), ""},
        {"IPv4 first, each family in the resolver's order",
         Addresses({{F::kIPv6, "::1"}, {F::kIPv4, "127.0.0.1"}, {F::kIPv6, "fe80::1%1"}, {F::kIPv4, "10.0.0.2"}}),
         "Address:   127.0.0.1|Address:   10.0.0.2|Address:   ::1|Address:   fe80::1%1|"},
        // The resolver gives one entry per socket type: the first keeps its place.
        {"each address once",
         Addresses({{F::kIPv4, "10.0.0.9"}, {F::kIPv4, "10.0.0.1"}, {F::kIPv4, "10.0.0.9"}, {F::kIPv6, "::1"},
                    {F::kIPv6, "::1"}}),
         "Address:   10.0.0.9|Address:   10.0.0.1|Address:   ::1|"},
        {"a scope makes another address",
         Addresses({{F::kIPv6, "fe80::1%1"}, {F::kIPv6, "fe80::1%2"}, {F::kIPv6, "fe80::1%1"}}),
         "Address:   fe80::1%1|Address:   fe80::1%2|"},
        {"the system's reason on one line, its line breaks folded",
         FailureLine("h", "First part\r\nsecond part.\r\n\r\n", 7),
         "lookup: cannot resolve \"h\": First part second part. (error 7)"},
        // No text from the system, or blanks only: the number is all there is, said once.
        {"a blank reason", FailureLine("h", " \r\n", 7), "lookup: cannot resolve \"h\": error 7"},
        // A reverse name comes from whoever runs the zone, the query from the
        // command line: neither may add a line that looks like ours.
        {"a line break in a name", NameLine("evil\r\nAddress:   10.9.9.9"),
         "Name:      evil\\013\\010Address:   10.9.9.9"},
        {"a line break in the query", FailureLine("x\ny", "", 1), "lookup: cannot resolve \"x\\010y\": error 1"},
        {"other control characters", Printable(std::string("a\0b\tc\x7f" "d\x1f", 8)), "a\\000b\\009c\\127d\\031"},
        {"code page bytes and backslashes pass", Printable("caf\xe9\\host ~"), "caf\xe9\\host ~"},
    };
    for (const auto& [name, got, expected] : rows) EXPECT_EQ(expected, got) << name;
}

}  // namespace
}  // namespace tracewick::lookup
