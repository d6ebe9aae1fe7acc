#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/arp_options.h"
#include "core/connections_options.h"
#include "core/netbios_options.h"

namespace tracewick {
namespace {

// Each step as its heading (shown first) and its command.
std::vector<std::string> Steps(const std::vector<RunStep>& run) {
    std::vector<std::string> steps;
    for (const RunStep& step : run) steps.push_back(step.heading + step.command);
    return steps;
}

std::vector<std::string> Spawned(std::vector<std::string> commands) {
    for (std::string& command : commands) command = "conspawn.exe \"" + command + "\"";
    return commands;
}

}  // namespace

TEST(CommandLines, NoOptionsTextNamesTheChoices) {
    EXPECT_EQ(NoOptionsText("TCP, UDP, NetBIOS"),
              "No options were selected for this command.\r\n"
              " Please select one or more of the options:\r\n TCP, UDP, NetBIOS.");
}

TEST(ArpCommand, NumbersOnlyForAnAddressByInterface) {
    const std::tuple<bool, const char*, const char*> rows[] = {
        {true, "10.0.0.1", "conspawn.exe \"arp -a 10.0.0.1\""}, {false, "10.0.0.1 ", "conspawn.exe \"arp -a -n 10.0.0.1 \""},
        {false, "", "conspawn.exe \"arp -a \""}, {true, "", "conspawn.exe \"arp -a \""},  // no address: no radio button
    };
    for (const auto& [by_destination, address, line] : rows) {
        SCOPED_TRACE(line);
        EXPECT_EQ(ArpCommand(by_destination, address).With(address), line);
    }
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
            SCOPED_TRACE(std::string(error) + " at " + std::to_string(at));
            std::string chunk = before.substr(0, at) + error + after;
            RewriteArpErrors(chunk, by_destination);
            EXPECT_EQ(chunk, before.substr(0, at) + words + after);
        }
    }
    std::string both = "arp: bad IP address: x\r\narp: bad argument: y";
    RewriteArpErrors(both, true);
    EXPECT_EQ(both, "arp: bad IP address: x\r\nInvalid IP address y");
}

TEST(ConnectionsRun, EveryProtocolChoiceByNameAndByNumber) {
    const std::tuple<bool, bool, bool, const char*> rows[] = {  // TCP, UDP, NetBIOS, netstat's protocol options
        {false, false, false, nullptr}, {true, false, false, " -a -p TCP"}, {false, true, false, " -a -p UDP"},
        {true, true, false, " -a"},     {false, false, true, nullptr},      {true, false, true, " -a -p TCP"},
        {false, true, true, " -a -p UDP"}, {true, true, true, " -a"},
    };
    for (const auto& [tcp, udp, netbios, protocols] : rows) {
        for (const bool by_name : {true, false}) {
            std::vector<std::string> expected;
            if (protocols) expected.push_back(std::string(by_name ? "netstat" : "netstat -n") + protocols);
            if (netbios) expected.insert(expected.end(), {by_name ? "nbtstat -s" : "nbtstat -S", "net use"});
            SCOPED_TRACE(std::to_string(tcp) + std::to_string(udp) + std::to_string(netbios) + std::to_string(by_name));
            const std::vector<RunStep> run = ConnectionsRun({by_name, tcp, udp, netbios, false});
            expected = Spawned(expected);
            if (expected.size() > 1) expected.back().insert(0, "\r\n\r\nConnected NetBIOS Shared Resources\r\n\r\n");
            EXPECT_EQ(Steps(run), expected);
        }
    }
}

// Each option adds its own commands, always in the order Workgroup,
// Resources, Name Table; the cache listing only for the local computer.
TEST(NetbiosRun, EveryOptionChoiceForEachName) {
    const std::tuple<const char*, const char*, bool> names[] = {  // typed, used, cache listed
        {"", "MYHOST", true}, {"other-pc", "other-pc", false}, {"myHost", "myHost", true}};
    for (const bool nt : {true, false}) {
        for (const auto& [typed, used, cache] : names) {
            const std::string name = used;
            const std::vector<std::string> commands[] = {  // of Workgroup, Resources, Name Table
                Spawned({nt ? "net config workstation" : "net config", "net view"}),
                Spawned({"net view \\\\" + name}),
                Spawned(cache ? std::vector<std::string>{"nbtstat -c", "nbtstat -a " + name}
                              : std::vector<std::string>{"nbtstat -a " + name}),
            };
            for (int mask = 0; mask < 8; ++mask) {
                SCOPED_TRACE(std::string(typed) + (nt ? " NT " : " ") + std::to_string(mask));
                std::vector<std::string> expected;
                for (int option = 0; option < 3; ++option) {
                    const auto& added = commands[option];
                    if ((mask >> option) & 1) expected.insert(expected.end(), added.begin(), added.end());
                }
                const NetbiosOptions options{typed, (mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, false};
                EXPECT_EQ(Steps(NetbiosRun(options, nt, "MYHOST")), expected);
            }
        }
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

TEST(ArpSettings, BytesBothWays) {
    SettingsWriter writer;
    WriteArpSettings({true, "10.0.0.1", false}, writer);
    EXPECT_EQ(writer.Bytes(), "TRUE\r\r\n10.0.0.1\r\r\nFALSE\r\r\n");
    SettingsReader reader("FALSE\r\r\n\r\r\nTRUE\r\r\n");
    ArpOptions read{true, "kept", false};
    ReadArpSettings(reader, read);
    EXPECT_EQ(std::tie(read.by_destination, read.address, read.cumulative), std::make_tuple(false, "kept", true));
}

TEST(ConnectionsSettings, BytesBothWays) {
    SettingsWriter writer;
    WriteConnectionsSettings(ConnectionsOptions{}, writer);
    EXPECT_EQ(writer.Bytes(), "TRUE\r\r\nTRUE\r\r\nTRUE\r\r\nFALSE\r\r\nFALSE\r\r\n");
    SettingsReader reader("FALSE\r\r\nFALSE\r\nTRUE\r\r\nTRUE\r\r\n");  // the last line missing: kept
    ConnectionsOptions read{true, true, false, false, true};
    ReadConnectionsSettings(reader, read);
    EXPECT_EQ(std::tie(read.by_name, read.tcp, read.udp, read.netbios, read.cumulative),
              std::make_tuple(false, false, true, true, true));
}

TEST(NetbiosSettings, BytesBothWays) {
    SettingsWriter writer;
    WriteNetbiosSettings({"SERVER", true, false, true, false}, writer);
    EXPECT_EQ(writer.Bytes(), "SERVER\r\r\nTRUE\r\r\nFALSE\r\r\nTRUE\r\r\nFALSE\r\r\n");
    SettingsReader reader("\r\r\nFALSE\r\r\nTRUE\r\r\nTRUE\r\r\nTRUE\r\r\n");
    NetbiosOptions read{"kept", true, false, false, false};
    ReadNetbiosSettings(reader, read);
    EXPECT_EQ(std::tie(read.computer, read.workgroup, read.resources, read.name_table, read.cumulative),
              std::make_tuple("kept", false, true, true, true));
}

}  // namespace tracewick
