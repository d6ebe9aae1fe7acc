#include "core/command_line.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/ping_options.h"
#include "core/text.h"

namespace tracewick {

TEST(CommandLines, OptionsInTheirFixedOrderThenTheHost) {
    const std::tuple<CommandTemplate, const char*, const char*> rows[] = {
        {PingCommand(300, 4, 32), "localhost", "conspawn.exe \"ping -w 300 -n 4 -l 32 localhost\""},
        {PingCommand(10, 1, 0), "a b ", "conspawn.exe \"ping -w 10 -n 1 -l 0 a b \""},  // trailing blanks kept
        {PingCommand(-5, 0, -1), "", "conspawn.exe \"ping -w -5 -n 0 -l -1 \""},        // values from a file, unchecked
        {TracertCommand(false, 300, 20), "localhost", "conspawn.exe \"tracert -d -w 300 -h 20 localhost\""},
        {TracertCommand(true, 1000, 30), "gw", "conspawn.exe \"tracert -w 1000 -h 30 gw\""},
        {LookupCommand(), "localhost", "conspawn.exe \"lookup localhost\""},
    };
    for (const auto& [command, host, line] : rows) {
        SCOPED_TRACE(line);
        EXPECT_EQ(command.With(host), line);
    }
}

TEST(CommandLines, HostFillsTheLineTo119CharactersAndNoFurther) {
    const std::pair<CommandTemplate, std::size_t> rows[] = {
        {PingCommand(10000, 25, 32739), 75}, {PingCommand(300, 4, 32), 81},
        {TracertCommand(false, 10000, 100), 77}, {TracertCommand(false, 300, 20), 80},
        {TracertCommand(true, 300, 20), 83}, {LookupCommand(), 97},
    };
    for (const auto& [command, room] : rows) {
        SCOPED_TRACE(command.prefix);
        EXPECT_EQ(command.HostRoom(), room);
        EXPECT_EQ(command.With(std::string(room, 'h')).size(), 119u);
        EXPECT_FALSE(HostRefusal(command, std::string(room, 'h')).has_value());
        const auto refusal = HostRefusal(command, std::string(room + 1, 'h'));
        ASSERT_TRUE(refusal.has_value());
        EXPECT_NE(refusal->find("at most " + std::to_string(room) + " characters"), std::string::npos) << *refusal;
    }
}

// A double quote would end the quoted command early; a leading - or /
// would make the host options of the command (an endless hidden ping).
TEST(CommandLines, RefusesHostsThatWouldChangeTheCommand) {
    const std::pair<const char*, const char*> rows[] = {
        {"\"", "double quote"}, {"a\"b", "double quote"}, {"host\"", "double quote"},
        {"-t x", "begin with - or /"}, {"/t", "begin with - or /"}, {"-", "begin with - or /"},
    };
    for (const auto& [host, reason] : rows) {
        SCOPED_TRACE(host);
        const auto refusal = HostRefusal(PingCommand(300, 4, 32), host);
        ASSERT_TRUE(refusal.has_value());
        EXPECT_NE(refusal->find(reason), std::string::npos) << *refusal;
    }
    for (const char* host : {"", "a-b", "a/b", "x -t"}) EXPECT_FALSE(HostRefusal(LookupCommand(), host).has_value()) << host;
}

TEST(HostText, OnlyLeadingBlanksAndLineBreaksGo) {
    EXPECT_EQ(StripLeadingBlanks("  \thost  "), "host  ");
    EXPECT_EQ(StripLeadingBlanks("   "), "");
    EXPECT_EQ(StripLeadingBlanks("a b"), "a b");
    EXPECT_EQ(WithoutLineBreaks("gw\r\n-t\rx\n"), "gw-tx");
}

TEST(PingSettings, DefaultFileRoundTripAndPartialFiles) {
    SettingsWriter defaults;
    WritePingSettings(PingOptions{}, defaults);
    EXPECT_EQ(defaults.Bytes(), "4\r\r\n300\r\r\n0\r\r\n32\r\r\nFALSE\r\r\n");

    const PingOptions saved{25, 10000, 3600, 0, true};
    SettingsWriter writer;
    WritePingSettings(saved, writer);
    // A file cut short keeps the defaults of the lines it lacks; values are
    // taken as read, out of range or not.
    const std::pair<std::string, PingOptions> rows[] = {
        {writer.Bytes(), saved},
        {"99\r\r\n-1\r\n", {99, -1, 0, 32, false}},
    };
    for (const auto& [bytes, expected] : rows) {
        SCOPED_TRACE(bytes);
        SettingsReader reader(bytes);
        PingOptions read;
        ReadPingSettings(reader, read);
        const auto fields = [](const PingOptions& o) {
            return std::tie(o.count, o.timeout, o.repeat, o.packet_size, o.cumulative);
        };
        EXPECT_EQ(fields(read), fields(expected));
    }
}

}  // namespace tracewick
