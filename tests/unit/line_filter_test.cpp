#include "core/line_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace tracewick {

TEST(LineFilter, FirstMatchingRuleDecides) {
    const LineRules& c = kConnectionsLineRules;
    const LineRules& n = kNetbiosLineRules;
    const std::string unavailable = "NetBIOS services are unavailable.\r\n";
    const std::string dos = "Error 3545: You cannot start or stop the network from within an MS-DOS window";
    const std::string dashes = std::string(78, '-') + "\r\n";
    const std::tuple<const LineRules&, std::string, const char*, std::string> rows[] = {  // rules, line, subject, shown
        {c, "Failed to access NBT driver 1 (more)", "", unavailable},
        {c, "Failed to access NBT driver ", "", "Failed to access NBT driver \r\n"},  // shorter: no match
        {c, dos + ".", "", unavailable},
        {c, "Error 3787: No connections.", "", "No connections.\r\n"},
        {c, "Error 3787:", "", "\r\n"},  // cut beyond the end
        {c, "Error 53: The network path was not found.", "", "Error 53: The network path was not found.\r\n"},
        {c, "\xC4\xC4\xC4\xC4", "", dashes},
        {c, "\xC4", "", "\xC4\r\n"},  // one character: no second one to be 0xC4
        {n, "Failed to access NBT driver 1", "", unavailable},
        {n, dos, "", unavailable},  // replaced before the error-code rule cuts it
        {n, "Error 53: The network path was not found.", "", "The network path was not found.\r\n"},
        {n, "Error 123: Bad name.", "", "Bad name.\r\n"},
        {n, "Error 53:x:yz", "", ":yz\r\n"},  // 9 before 11
        {n, "Error 123::ab", "", "b\r\n"},    // 11 before 10
        {n, "Error 53:", "", "\r\n"},
        {n, "Error 5 happened", "", "Error 5 happened\r\n"},  // no colon: the failure stays visible
        {n, "Error 53", "", "Error 53\r\n"},
        {n, " \xC4\xC4", "", dashes},
        {n, "There are no entries in the list.", "SERVER", "No shared resources at SERVER\r\n"},
        {n, "There are no entries in the list.", "", "No shared resources at \r\n"},
        {n, "There are no entries in the list", "SERVER", "There are no entries in the list\r\n"},
        {n, "The command was completed successfully.", "", ""},
        {n, "The command completed successfully.", "", ""},
        {n, "System error 6118 has occurred.", "", ""},
        {n, "", "", "\r\n"},
    };
    for (const auto& [rules, line, subject, shown] : rows) EXPECT_EQ(FilterLine(line, rules, subject), shown) << line;
}

// However the output is cut into chunks, the same lines show, none cut short
// and none lost.
TEST(LineFilter, ChunkBoundariesDoNotChangeTheText) {
    const std::string long_line(3000, 'L');
    const std::string held(1500, 'p');
    const std::string output = "Shared resources at \\\\SERVER\r\n" "\r\n" "Share name   Type\r\r\n"
                               "\xC4\xC4\xC4\xC4\xC4\n" + long_line + "\r\n"
                               "Error 53: The network path was not found.\r\r\n"
                               "The command completed successfully.\n"
                               "mid\rline\r\n"
                               "There are no entries in the list.\r\n" + held + "\r";
    const std::string expected = "Shared resources at \\\\SERVER\r\n" "\r\n" "Share name   Type\r\n" +
                                 std::string(78, '-') + "\r\n" + long_line + "\r\n"
                                 "The network path was not found.\r\n"
                                 "mid\rline\r\n"
                                 "No shared resources at SRV\r\n";
    const std::string last = held + "\r\n";  // the held CR and the next CR LF end it together

    for (std::size_t cut = 0; cut <= output.size(); ++cut) {  // cut at the end: fed whole
        LineFilter filter(kNetbiosLineRules);
        std::string shown = filter.Feed(output.substr(0, cut), "SRV");
        shown += filter.Feed(output.substr(cut), "SRV");
        ASSERT_EQ(shown + filter.Feed("\r\n", "SRV"), expected + last) << "cut at " << cut;
    }
    LineFilter bytes(kNetbiosLineRules);
    std::string shown;
    for (const char c : output) shown += bytes.Feed(std::string_view(&c, 1), "SRV");
    EXPECT_EQ(shown + bytes.Feed("\r\n", "SRV"), expected + last);
}

}  // namespace tracewick
