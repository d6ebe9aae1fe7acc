#include "lookup/lookup_format.h"

#include <gtest/gtest.h>

namespace tracewick::lookup {
namespace {

TEST(LookupFormat, AddressesComeIPv4FirstEachOnceInResolverOrder) {
    using F = AddressFamily;
    struct Row {
        const char* name;
        std::vector<ResolvedAddress> resolved;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"none", {}, {}},
        {"families interleaved",
         {{F::kIPv6, "::1"}, {F::kIPv4, "127.0.0.1"}, {F::kIPv6, "fe80::1%1"}, {F::kIPv4, "10.0.0.2"}},
         {"Address:   127.0.0.1", "Address:   10.0.0.2", "Address:   ::1", "Address:   fe80::1%1"}},
        // One entry per socket type: the first occurrence keeps its place.
        {"repeats per socket type",
         {{F::kIPv4, "10.0.0.9"}, {F::kIPv4, "10.0.0.1"}, {F::kIPv4, "10.0.0.9"}, {F::kIPv4, "10.0.0.1"},
          {F::kIPv6, "::1"}, {F::kIPv6, "::1"}},
         {"Address:   10.0.0.9", "Address:   10.0.0.1", "Address:   ::1"}},
        {"scope makes a different address",
         {{F::kIPv6, "fe80::1%1"}, {F::kIPv6, "fe80::1%2"}, {F::kIPv6, "fe80::1%1"}},
         {"Address:   fe80::1%1", "Address:   fe80::1%2"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.lines, AddressLines(row.resolved));
    }
}

TEST(LookupFormat, SystemReasonBecomesOneLine) {
    struct Row {
        const char* reason;
        const char* line;
    };
    const Row rows[] = {
        {"No such host is known. \r\n", "lookup: cannot resolve \"h\": No such host is known. (error 7)"},
        {"First part\r\nsecond part.\r\n\r\n", "lookup: cannot resolve \"h\": First part second part. (error 7)"},
        // No text from the system: the number is all there is, said once.
        {"", "lookup: cannot resolve \"h\": error 7"},
        {" \r\n", "lookup: cannot resolve \"h\": error 7"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reason);
        EXPECT_EQ(row.line, FailureLine("h", row.reason, 7));
    }
}

TEST(LookupFormat, ControlCharactersCannotStartALineOfTheirOwn) {
    // A reverse name comes from whoever runs the zone, the query from the
    // command line: neither may add a line that looks like ours.
    EXPECT_EQ("Name:      evil\\013\\010Address:   10.9.9.9", NameLine("evil\r\nAddress:   10.9.9.9"));
    EXPECT_EQ("a\\000b\\009c\\127d\\031", Printable(std::string("a\0b\tc\x7f" "d\x1f", 8)));
    EXPECT_EQ("lookup: cannot resolve \"x\\010y\": error 1", FailureLine("x\ny", "", 1));
    // Bytes of the ANSI code page and backslashes pass as they are.
    EXPECT_EQ("caf\xe9\\host ~", Printable("caf\xe9\\host ~"));
}

}  // namespace
}  // namespace tracewick::lookup
