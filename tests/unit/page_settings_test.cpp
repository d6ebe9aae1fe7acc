#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "core/arp_options.h"
#include "core/connections_options.h"
#include "core/lookup_settings.h"
#include "core/netbios_options.h"
#include "core/ping_options.h"
#include "core/routes_options.h"
#include "core/settings_files.h"
#include "core/statistics_options.h"
#include "core/tracert_options.h"

namespace tracewick {
namespace {

// '|' for CR CR LF.
std::string Lines(std::string bytes) {
    for (std::size_t at = 0; (at = bytes.find("\r\r\n", at)) != std::string::npos;) bytes.replace(at, 3, "|");
    return bytes;
}

// A page's file both ways, "~" between: what its fields write of `options`;
// what they read of `file` into `kept`, written back so that every field
// shows; and the defaults with the Cumulative Output box checked.
template <class Options>
std::string BothWays(SettingsLayout<Options> layout, const Options& options, const std::string& file, Options kept) {
    SettingsWriter written, read_back, cumulative;
    SettingsReader reader(file);
    layout.Write(options, written);
    layout.Read(reader, kept);
    layout.Write(kept, read_back);
    if (!layout.Cumulative()) return "no Cumulative Output line";
    Options defaults{};
    defaults.*layout.Cumulative() = true;
    layout.Write(defaults, cumulative);
    return Lines(written.Bytes() + "~" + read_back.Bytes() + "~" + cumulative.Bytes());
}

}  // namespace

// One row a page, in its file's line order. A file cut short, or an empty
// text line, keeps what the page had; numbers are taken as read, in range or
// not; a line of any length is one value. The last part shows the defaults
// and which line is the Cumulative Output box.
TEST(PageSettings, EachPagesFieldsBothWays) {
    const std::string entry(119, 'h');  // the longest that fits a command line
    const std::pair<std::string, std::string> rows[] = {
        {BothWays<PingOptions>(kPingFields, {25, 10000, 3600, 0, true}, "99\r\r\n-1\r\n", {}),
         "25|10000|3600|0|TRUE|~99|-1|0|32|FALSE|~4|300|0|32|TRUE|"},
        {BothWays<TracertOptions>(kTracertFields, {45, 2500, true, false}, "30\r\r\n1000\r\r\nTRUE\r\r\n",
                                  {20, 300, false, true}),
         "45|2500|TRUE|FALSE|~30|1000|TRUE|TRUE|~20|300|FALSE|TRUE|"},
        {BothWays<RoutesOptions>(kRoutesFields, {"10.0.0.0", true}, "\r\r\nTRUE\r\r\n", {"kept", false}),
         "10.0.0.0|TRUE|~kept|TRUE|~|TRUE|"},
        {BothWays<ArpOptions>(kArpFields, {true, "10.0.0.1", false}, "FALSE\r\r\n", {true, "kept", true}),
         "TRUE|10.0.0.1|FALSE|~FALSE|kept|TRUE|~TRUE||TRUE|"},
        {BothWays<NetbiosOptions>(kNetbiosFields, {"SERVER", true, false, true, false},
                                  "\r\r\nFALSE\r\r\nTRUE\r\r\nTRUE\r\r\nTRUE\r\r\n", {"kept", true, false, false, false}),
         "SERVER|TRUE|FALSE|TRUE|FALSE|~kept|FALSE|TRUE|TRUE|TRUE|~|TRUE|FALSE|FALSE|TRUE|"},
        {BothWays<ConnectionsOptions>(kConnectionsFields, {false, true, false, false, true},
                                      "FALSE\r\r\nFALSE\r\nTRUE\r\r\nTRUE\r\r\n", {true, true, false, false, true}),
         "FALSE|TRUE|FALSE|FALSE|TRUE|~FALSE|FALSE|TRUE|TRUE|TRUE|~TRUE|TRUE|TRUE|FALSE|TRUE|"},
        // netstat.dat's order: Interface, UDP, TCP, IP, NetBIOS, Cumulative.
        {BothWays<StatisticsOptions>(kStatisticsFields, {false, false, false, true, false, true},
                                     "FALSE\r\r\nTRUE\r\r\nFALSE\r\r\nFALSE\r\r\n", {true, false, true, false, true, true}),
         "FALSE|TRUE|FALSE|FALSE|FALSE|TRUE|~FALSE|TRUE|FALSE|FALSE|TRUE|TRUE|~TRUE|FALSE|FALSE|FALSE|FALSE|TRUE|"},
        // Entries differing only in case and trailing blanks are kept; the
        // list is every further line, by hand with single CR LF line ends.
        {BothWays<LookupSettings>(kLookupFields, {true, "gw", {"alpha", "Alpha", "beta "}},
                                  "TRUE\r\nserver1\r\nalpha\r\n" + entry + "\r\nomega", {false, "kept", {"localhost"}}),
         "TRUE|gw|alpha|Alpha|beta |~TRUE|server1|alpha|" + entry + "|omega|~TRUE||"},
        // A damaged file: what could never fit a command line is passed over.
        {BothWays<LookupSettings>(kLookupFields, {false, "", {}},
                                  "FALSE\r\n\r\n" + entry + "h\r\n" + std::string(1 << 20, '\x01') + "\r\nbeta\r\n",
                                  {true, "kept", {"localhost"}}),
         "FALSE||~FALSE|kept|beta|~TRUE||"},
    };
    for (const auto& [got, expected] : rows) EXPECT_EQ(got, expected);
}

// Each order takes every file once, the sheet's own file read after every
// page's; every diagnostic page and the sheet keep one file each.
TEST(SettingsFiles, EveryFileOnceInEachOrder) {
    for (const auto order : {&SettingsFile::read_order, &SettingsFile::write_order, &SettingsFile::attribute_order}) {
        int place = 0;
        for (const SettingsFile* file : SettingsFilesBy(order)) EXPECT_EQ(file->*order, place++) << file->name;
    }
    EXPECT_EQ(SettingsFilesBy(&SettingsFile::read_order).back()->page, kSheetFile);
    std::set<std::string> names;
    for (int page = kSheetFile; page < kPageCount; ++page) {
        const SettingsFile* file = SettingsFileOf(page);
        EXPECT_EQ(file != nullptr, page != kAboutPage) << page;
        if (file) names.insert(file->name);
    }
    EXPECT_EQ(names.size(), kSettingsFileCount);
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
    };
    for (const auto& [chunk, host, shown] : rows) EXPECT_EQ(RewriteUnresolvedTarget(chunk, host), shown) << chunk;
}

}  // namespace tracewick
