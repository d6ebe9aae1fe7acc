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

}  // namespace

TEST(ArpCommand, NumbersOnlyForAnAddressByInterface) {
    const std::tuple<bool, const char*, const char*> rows[] = {
        {true, "10.0.0.1", "conspawn.exe \"arp -a 10.0.0.1\""}, {false, "10.0.0.1 ", "conspawn.exe \"arp -a -n 10.0.0.1 \""},
        {false, "", "conspawn.exe \"arp -a \""}, {true, "", "conspawn.exe \"arp -a \""},  // no address: no radio button
    };
    for (const auto& [by_destination, address, line] : rows) EXPECT_EQ(ArpCommand(by_destination, address).With(address), line);
}

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

// One netstat for both protocols or either; NetBIOS adds its sessions, then
// net use under a heading when something ran before it.
TEST(ConnectionsRun, NetstatThenNetbiosByNameOrNumber) {
    const std::string net_use = "|\r\n\r\nConnected NetBIOS Shared Resources\r\n\r\nconspawn.exe \"net use\"";
    const std::pair<ConnectionsOptions, std::string> rows[] = {  // by name, TCP, UDP, NetBIOS
        {{true, true, false, false, false}, "conspawn.exe \"netstat -a -p TCP\""},
        {{false, false, true, false, true}, "conspawn.exe \"netstat -n -a -p UDP\""},
        {{true, true, true, true, false}, "conspawn.exe \"netstat -a\"|conspawn.exe \"nbtstat -s\"" + net_use},
        {{false, false, false, true, false}, "conspawn.exe \"nbtstat -S\"" + net_use},
        {{true, false, false, false, false}, ""},
    };
    for (const auto& [options, steps] : rows) EXPECT_EQ(Steps(ConnectionsRun(options)), steps);
}

// Always in the order Workgroup, Resources, Name Table; the cache listing
// only for this computer, named in any case or not at all.
TEST(NetbiosRun, EachOptionsCommandsInTheirOrder) {
    const std::pair<NetbiosOptions, std::string> rows[] = {  // options, steps
        {{"", true, true, true, false},
         "conspawn.exe \"net config workstation\"|conspawn.exe \"net view\"|conspawn.exe \"net view \\\\MYHOST\"|"
         "conspawn.exe \"nbtstat -c\"|conspawn.exe \"nbtstat -a MYHOST\""},
        {{"other-pc", true, true, true, false},
         "conspawn.exe \"net config workstation\"|conspawn.exe \"net view\"|conspawn.exe \"net view \\\\other-pc\"|"
         "conspawn.exe \"nbtstat -a other-pc\""},
        {{"myHost", false, false, true, false}, "conspawn.exe \"nbtstat -c\"|conspawn.exe \"nbtstat -a myHost\""},
        {{"", false, true, false, false}, "conspawn.exe \"net view \\\\MYHOST\""},
        {{"other-pc", false, false, false, false}, ""},
    };
    for (const auto& [options, steps] : rows) EXPECT_EQ(Steps(NetbiosRun(options, "MYHOST")), steps);
}

// netstat -s takes one protocol or, with none named, all three: two are
// refused, whatever else is chosen, and so is nothing at all.
TEST(StatisticsRun, OneNetstatThenNbtstat) {
    const std::tuple<StatisticsOptions, bool, const char*> rows[] = {  // Interface, IP, TCP, UDP, NetBIOS; by number
        {{true, false, false, false, false, false}, false, "\r\nconspawn.exe \"netstat -e\""},
        {{false, false, true, false, false, false}, false, "conspawn.exe \"netstat -s -p TCP\""},
        {{false, false, false, true, false, false}, true, "conspawn.exe \"netstat -s -p UDP -n\""},
        {{true, true, false, false, true, false}, true,
         "\r\nconspawn.exe \"netstat -e -s -p IP -n\"|conspawn.exe \"nbtstat -r\""},
        {{true, true, true, true, false, true}, true, "\r\nconspawn.exe \"netstat -e -s -n\""},
        {{false, false, false, false, true, false}, false, "conspawn.exe \"nbtstat -r\""},
        {{false, true, true, false, false, false}, false, ""},
        {{true, true, false, true, true, false}, true, ""},
        {{false, false, false, false, false, true}, false, ""},
    };
    for (const auto& [options, by_number, steps] : rows) {
        EXPECT_EQ(Steps(StatisticsRun(options, by_number)), steps);
        EXPECT_EQ(StatisticsRefusal(options).has_value(), *steps == '\0') << steps;
    }
}

TEST(NetbiosNames, FirstForbiddenCharacter) {
    constexpr std::size_t none = std::string_view::npos;
    const std::pair<std::string_view, std::size_t> rows[] = {
        {"SERVER", none}, {"my-pc_01", none}, {"", none}, {"tab\there", none}, {"caf\xE9", none},
        {"my pc", 2}, {"pc ", 2}, {" pc", 0}, {"a.b", 1}, {"\\\\pc", 0}, {"ab/c.d", 2}, {"x\"", 1},
    };
    for (const auto& [name, index] : rows) EXPECT_EQ(ForbiddenNameCharacter(name), index) << name;
    for (const char c : std::string_view(" \\~!@#$%^&*()+=[]{};:,.<>?'\"|/")) {
        EXPECT_EQ(ForbiddenNameCharacter(std::string("pc") + c), 2u) << c;
    }
}

}  // namespace tracewick
