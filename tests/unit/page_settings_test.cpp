#include <gtest/gtest.h>

#include <tuple>

#include "core/arp_options.h"
#include "core/connections_options.h"
#include "core/lookup_settings.h"
#include "core/netbios_options.h"
#include "core/ping_options.h"
#include "core/routes_options.h"
#include "core/statistics_options.h"
#include "core/tracert_options.h"

namespace tracewick {
namespace {

// What `write` makes of `options`, "~", then what `read` leaves of `kept`
// from `file`, written back so that every field shows; '|' for CR CR LF.
template <class Options>
std::string BothWays(void (*write)(const Options&, SettingsWriter&), void (*read)(SettingsReader&, Options&),
                     const Options& options, const std::string& file, Options kept) {
    SettingsWriter written, read_back;
    SettingsReader reader(file);
    write(options, written);
    read(reader, kept);
    write(kept, read_back);
    std::string lines = written.Bytes() + "~" + read_back.Bytes();
    for (std::size_t at = 0; (at = lines.find("\r\r\n", at)) != std::string::npos;) lines.replace(at, 3, "|");
    return lines;
}

}  // namespace

// Each page's lines in its file's order. A file cut short, or an empty text
// line, keeps what the page had; numbers are taken as read, in range or not;
// a line of any length is one value.
TEST(PageSettings, EachFileBothWays) {
    const std::string entry(119, 'h');  // the longest that fits a command line
    const std::pair<std::string, std::string> rows[] = {
        {BothWays(WritePingSettings, ReadPingSettings, {25, 10000, 3600, 0, true}, "99\r\r\n-1\r\n", {}),
         "25|10000|3600|0|TRUE|~99|-1|0|32|FALSE|"},
        {BothWays(WriteTracertSettings, ReadTracertSettings, {45, 2500, true, false}, "30\r\r\n1000\r\r\nTRUE\r\r\n",
                  {20, 300, false, true}), "45|2500|TRUE|FALSE|~30|1000|TRUE|TRUE|"},
        {BothWays(WriteRoutesSettings, ReadRoutesSettings, {"10.0.0.0", true}, "\r\r\nTRUE\r\r\n", {"kept", false}),
         "10.0.0.0|TRUE|~kept|TRUE|"},
        {BothWays(WriteArpSettings, ReadArpSettings, {true, "10.0.0.1", false}, "FALSE\r\r\n", {true, "kept", true}),
         "TRUE|10.0.0.1|FALSE|~FALSE|kept|TRUE|"},
        {BothWays(WriteNetbiosSettings, ReadNetbiosSettings, {"SERVER", true, false, true, false},
                  "\r\r\nFALSE\r\r\nTRUE\r\r\nTRUE\r\r\nTRUE\r\r\n", {"kept", true, false, false, false}),
         "SERVER|TRUE|FALSE|TRUE|FALSE|~kept|FALSE|TRUE|TRUE|TRUE|"},
        {BothWays(WriteConnectionsSettings, ReadConnectionsSettings, {false, true, false, false, true},
                  "FALSE\r\r\nFALSE\r\nTRUE\r\r\nTRUE\r\r\n", {true, true, false, false, true}),
         "FALSE|TRUE|FALSE|FALSE|TRUE|~FALSE|FALSE|TRUE|TRUE|TRUE|"},
        // netstat.dat's order: Interface, UDP, TCP, IP, NetBIOS, Cumulative.
        {BothWays(WriteStatisticsSettings, ReadStatisticsSettings, {false, false, false, true, false, true},
                  "FALSE\r\r\nTRUE\r\r\nFALSE\r\r\nFALSE\r\r\n", {true, false, true, false, true, true}),
         "FALSE|TRUE|FALSE|FALSE|FALSE|TRUE|~FALSE|TRUE|FALSE|FALSE|TRUE|TRUE|"},
        // Entries differing only in case and trailing blanks are kept; the
        // list is every further line, by hand with single CR LF line ends.
        {BothWays(WriteLookupSettings, ReadLookupSettings, {true, "gw", {"alpha", "Alpha", "beta "}},
                  "TRUE\r\nserver1\r\nalpha\r\n" + entry + "\r\nomega", {false, "kept", {"localhost"}}),
         "TRUE|gw|alpha|Alpha|beta |~TRUE|server1|alpha|" + entry + "|omega|"},
        // A damaged file: what could never fit a command line is passed over.
        {BothWays(WriteLookupSettings, ReadLookupSettings, {false, "", {}},
                  "FALSE\r\n\r\n" + entry + "h\r\n" + std::string(1 << 20, '\x01') + "\r\nbeta\r\n",
                  {true, "kept", {"localhost"}}), "FALSE||~FALSE|kept|beta|"},
    };
    for (const auto& [got, expected] : rows) EXPECT_EQ(got, expected);
}

TEST(TracertRewrite, OnlyTheExactChunkIsRewritten) {
    const std::string said = "Unable to resolve target system name ";
    const std::tuple<std::string, const char*, std::string> rows[] = {  // chunk, host, shown
        {said + "-d.\r\r\n", "gw", said + "gw"},
        {said + "-w.\r\r\n", "host name", said + "host name"},
        {said + "-d.\r\n", "gw", said + "-d.\r\n"},
        {"x\r\n" + said + "-d.\r\r\n", "gw", "x\r\n" + said + "-d.\r\r\n"},
        {said + "-d.\r\r\nmore", "gw", said + "-d.\r\r\nmore"},
        {said + "-x.\r\r\n", "gw", said + "-x.\r\r\n"},
        {"", "gw", ""},
    };
    for (const auto& [chunk, host, shown] : rows) EXPECT_EQ(RewriteUnresolvedTarget(chunk, host), shown) << chunk;
}

}  // namespace tracewick
