#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/arp_options.h"
#include "core/connections_options.h"
#include "core/netbios_options.h"
#include "core/statistics_options.h"

namespace tracewick {
namespace {

// The run's steps, each as its heading (shown first) and its command, '|' between.
std::string Steps(const std::vector<RunStep>& run) {
    std::string steps;
    for (const RunStep& step : run) steps += (steps.empty() ? "" : "|") + step.heading + step.command;
    return steps;
}

// The Statistics page's run, after "refused" when the options are refused before it starts.
std::string StatisticsSteps(const StatisticsOptions& options, bool by_number) {
    return (StatisticsRefusal(options) ? "refused" : "") + Steps(StatisticsRun(options, by_number));
}

// What one rewrite shows of the chunks; "" ends a command's output.
std::string Shown(const std::vector<std::string>& chunks) {
    NbtFailureRewrite rewrite;
    std::string shown;
    for (const std::string& chunk : chunks) shown += chunk.empty() ? rewrite.Finish() : rewrite.Feed(chunk);
    return shown + rewrite.Finish();
}

}  // namespace

TEST(ArpErrors, RewrittenWhereTheyStand) {
    const std::string before = "Interface: 10.0.0.1\r\n";
    const std::string after = " 1.2.3.4.5\r\n";
    const std::tuple<const char*, bool, const char*> rows[] = {
        {"arp: bad argument:", true, "Invalid IP address"},
        {"arp: bad argument:", false, "Invalid interface "},
        {"arp: bad IP address:", true, "Invalid interface   "},
        {"arp: bad IP address:", false, "Invalid interface   "},
    };
    for (const auto& [error, by_destination, words] : rows) {
        for (std::size_t at = 0; at <= before.size(); ++at) {
            std::string chunk = before.substr(0, at) + error + after;
            RewriteArpErrors(chunk, by_destination);
            EXPECT_EQ(chunk, before.substr(0, at) + words + after) << error << " at " << at;
        }
    }
    std::string both = "arp: bad IP address: x\r\narp: bad argument: y";
    RewriteArpErrors(both, true);
    EXPECT_EQ(both, "arp: bad IP address: x\r\nInvalid IP address y");
}

// Each page's options give its command, or its run: every step's heading
// (shown first) and command, '|' between.
TEST(NetPages, EachPagesOptionsGiveItsRun) {
    const std::string net_use = "|\r\n\r\nConnected NetBIOS Shared Resources\r\n\r\nconspawn.exe \"net use\"";
    const std::pair<std::string, std::string> rows[] = {
        // ARP: numbers only for an address by interface; no address, no radio button.
        {ArpCommand(true, "10.0.0.1").With("10.0.0.1"), "conspawn.exe \"arp -a 10.0.0.1\""},
        {ArpCommand(false, "10.0.0.1 ").With("10.0.0.1 "), "conspawn.exe \"arp -a -n 10.0.0.1 \""},
        {ArpCommand(false, "").With(""), "conspawn.exe \"arp -a \""},
        {ArpCommand(true, "").With(""), "conspawn.exe \"arp -a \""},
        // Connections (by name, TCP, UDP, NetBIOS): one netstat for both
        // protocols or either; NetBIOS adds its sessions, then net use under
        // a heading when something ran before it.
        {Steps(ConnectionsRun({true, true, false, false, false})), "conspawn.exe \"netstat -a -p TCP\""},
        {Steps(ConnectionsRun({false, false, true, false, true})), "conspawn.exe \"netstat -n -a -p UDP\""},
        {Steps(ConnectionsRun({true, true, true, true, false})),
         "conspawn.exe \"netstat -a\"|conspawn.exe \"nbtstat -s\"" + net_use},
        {Steps(ConnectionsRun({false, false, false, true, false})), "conspawn.exe \"nbtstat -S\"" + net_use},
        {Steps(ConnectionsRun({true, false, false, false, false})), ""},
        // NetBIOS: always in the order Workgroup, Resources, Name Table; the
        // cache listing only for this computer, named in any case or not at all.
        {Steps(NetbiosRun({"", true, true, true, false}, "MYHOST")),
         "conspawn.exe \"net config workstation\"|conspawn.exe \"net view\"|conspawn.exe \"net view \\\\MYHOST\"|"
         "conspawn.exe \"nbtstat -c\"|conspawn.exe \"nbtstat -a MYHOST\""},
        {Steps(NetbiosRun({"other-pc", true, true, true, false}, "MYHOST")),
         "conspawn.exe \"net config workstation\"|conspawn.exe \"net view\"|conspawn.exe \"net view \\\\other-pc\"|"
         "conspawn.exe \"nbtstat -a other-pc\""},
        {Steps(NetbiosRun({"myHost", false, false, true, false}, "MYHOST")),
         "conspawn.exe \"nbtstat -c\"|conspawn.exe \"nbtstat -a myHost\""},
        {Steps(NetbiosRun({"", false, true, false, false}, "MYHOST")), "conspawn.exe \"net view \\\\MYHOST\""},
        {Steps(NetbiosRun({"other-pc", false, false, false, false}, "MYHOST")), ""},
        // Statistics (Interface, IP, TCP, UDP, NetBIOS; by number): netstat -s
        // takes one protocol or, with none named, all three: two are refused,
        // whatever else is chosen, and so is nothing at all.
        {StatisticsSteps({true, false, false, false, false, false}, false), "\r\nconspawn.exe \"netstat -e\""},
        {StatisticsSteps({false, false, true, false, false, false}, false), "conspawn.exe \"netstat -s -p TCP\""},
        {StatisticsSteps({false, false, false, true, false, false}, true), "conspawn.exe \"netstat -s -p UDP -n\""},
        {StatisticsSteps({true, true, false, false, true, false}, true),
         "\r\nconspawn.exe \"netstat -e -s -p IP -n\"|conspawn.exe \"nbtstat -r\""},
        {StatisticsSteps({true, true, true, true, false, true}, true), "\r\nconspawn.exe \"netstat -e -s -n\""},
        {StatisticsSteps({false, false, false, false, true, false}, false), "conspawn.exe \"nbtstat -r\""},
        {StatisticsSteps({false, true, true, false, false, false}, false), "refused"},
        {StatisticsSteps({true, true, false, true, true, false}, true), "refused"},
        {StatisticsSteps({false, false, false, false, false, true}, false), "refused"},
    };
    for (const auto& [got, expected] : rows) EXPECT_EQ(got, expected);
}

TEST(NetbiosNames, FirstForbiddenCharacter) {
    constexpr std::size_t none = std::string_view::npos;
    const std::pair<std::string_view, std::size_t> rows[] = {
        {"SERVER", none}, {"my-pc_01", none}, {"", none}, {"tab\there", none}, {"caf\xE9", none},
        {"my pc", 2}, {"pc ", 2}, {" pc", 0}, {"a.b", 1}, {"\\\\pc", 0}, {"ab/c.d", 2}, {"x\"", 1},
    };
    for (const auto& [name, index] : rows) EXPECT_EQ(ForbiddenNameCharacter(name), index) << name;
}

TEST(NbtFailureRewrite, ReplacesTheFailureWhereverTheChunksSplitIt) {
    const std::string failure = "Failed to access NBT";
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"x\r\nFailed to access NBT driver\r\n", "hidden\r\n", "shown\r\n"},
         "x\r\nNetBIOS services are unavailable.shown\r\n"},
        {{"Failed to", " load\r\n"}, "Failed to load\r\n"},
        {{"ends in Failed to acc"}, "ends in Failed to acc"},
        {{"Failed to acFailed to", " access NBT", "hidden"}, "Failed to acNetBIOS services are unavailable."},
        {{"Failed to access NBT", "", "hidden", "shown"}, "NetBIOS services are unavailable.shown"},
        {{"failed to access NBT", " x"}, "failed to access NBT x"},
    };
    for (const auto& [chunks, shown] : rows) EXPECT_EQ(Shown(chunks), shown) << chunks.front();
    for (std::size_t at = 1; at < failure.size(); ++at) {
        EXPECT_EQ(Shown({"x " + failure.substr(0, at), failure.substr(at) + " y", "hidden", "shown"}),
                  "x NetBIOS services are unavailable.shown") << at;
    }
    NbtFailureRewrite rewrite;  // only a possible start of the failure waits
    EXPECT_EQ(rewrite.Feed("Cache empty\r\nFail"), "Cache empty\r\n");
    EXPECT_EQ(rewrite.Finish(), "Fail");
}

}  // namespace tracewick
