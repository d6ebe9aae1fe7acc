#include "core/command_line.h"

#include <gtest/gtest.h>

#include "core/ping_options.h"
#include "core/text.h"

namespace tracewick {
namespace {

TEST(PingCommand, JoinsOptionsAndHost) {
    struct Row {
        int timeout, count, size;
        const char* host;
        const char* line;
    };
    const Row rows[] = {
        {300, 4, 32, "localhost", "conspawn.exe \"ping -w 300 -n 4 -l 32 localhost\""},
        {10000, 25, 32739, "h", "conspawn.exe \"ping -w 10000 -n 25 -l 32739 h\""},
        {10, 1, 0, "a b ", "conspawn.exe \"ping -w 10 -n 1 -l 0 a b \""},  // trailing blanks kept
        {-5, 0, -1, "", "conspawn.exe \"ping -w -5 -n 0 -l -1 \""},        // values from a file, unchecked
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(PingCommand(row.timeout, row.count, row.size).With(row.host), row.line);
    }
}

TEST(PingCommand, HostRoomFollowsTheOptions) {
    // The largest options leave 75 characters for the host.
    const CommandTemplate largest = PingCommand(10000, 25, 32739);
    EXPECT_EQ(largest.HostRoom(), 75u);
    EXPECT_EQ(largest.With(std::string(75, 'h')).size(), kMaxCommandLength);
    EXPECT_FALSE(HostRefusal(largest, std::string(75, 'h')).has_value());
    const auto refusal = HostRefusal(largest, std::string(76, 'h'));
    ASSERT_TRUE(refusal.has_value());
    EXPECT_NE(refusal->find("at most 75 characters"), std::string::npos) << *refusal;
    EXPECT_EQ(PingCommand(300, 4, 32).HostRoom(), 119u - 38u);
}

TEST(PingCommand, RefusesAQuoteAnywhere) {
    const CommandTemplate command = PingCommand(300, 4, 32);
    for (const char* host : {"\"", "a\"b", "host\""}) {
        SCOPED_TRACE(host);
        const auto refusal = HostRefusal(command, host);
        ASSERT_TRUE(refusal.has_value());
        EXPECT_NE(refusal->find("double quote"), std::string::npos);
    }
    EXPECT_FALSE(HostRefusal(command, "").has_value());
}

TEST(HostText, OnlyLeadingBlanksGo) {
    EXPECT_EQ(StripLeadingBlanks("  \thost  "), "host  ");
    EXPECT_EQ(StripLeadingBlanks("   "), "");
    EXPECT_EQ(StripLeadingBlanks(""), "");
    EXPECT_EQ(StripLeadingBlanks("a b"), "a b");
}

TEST(PingSettings, DefaultFileIsExactly27Bytes) {
    SettingsWriter writer;
    WritePingSettings(PingOptions{}, writer);
    const std::string expected("4\r\r\n300\r\r\n0\r\r\n32\r\r\nFALSE\r\r\n");
    EXPECT_EQ(writer.Bytes(), expected);
    EXPECT_EQ(writer.Bytes().size(), 27u);
}

TEST(PingSettings, RoundTripAndPartialFiles) {
    PingOptions saved;
    saved.count = 25;
    saved.timeout = 10000;
    saved.repeat = 3600;
    saved.packet_size = 0;
    saved.cumulative = true;
    SettingsWriter writer;
    WritePingSettings(saved, writer);
    const std::string bytes = writer.Bytes();
    {
        SettingsReader reader(bytes);
        PingOptions read;
        ReadPingSettings(reader, read);
        EXPECT_EQ(read.count, 25);
        EXPECT_EQ(read.timeout, 10000);
        EXPECT_EQ(read.repeat, 3600);
        EXPECT_EQ(read.packet_size, 0);
        EXPECT_TRUE(read.cumulative);
    }
    {
        // A file cut short keeps the defaults of the lines it lacks; values
        // are taken as read, out of range or not.
        const std::string cut = "99\r\r\n-1\r\n";
        SettingsReader reader(cut);
        PingOptions read;
        ReadPingSettings(reader, read);
        EXPECT_EQ(read.count, 99);
        EXPECT_EQ(read.timeout, -1);
        EXPECT_EQ(read.repeat, 0);
        EXPECT_EQ(read.packet_size, 32);
        EXPECT_FALSE(read.cumulative);
    }
}

}  // namespace
}  // namespace tracewick

namespace tracewick {
namespace {

TEST(TracertCommand, OptionsInTheirFixedOrder) {
    EXPECT_EQ(TracertCommand(false, 300, 20).With("localhost"), "conspawn.exe \"tracert -d -w 300 -h 20 localhost\"");
    EXPECT_EQ(TracertCommand(true, 1000, 30).With("gw"), "conspawn.exe \"tracert -w 1000 -h 30 gw\"");
    // The longest options leave 77 characters for the host, the defaults 80.
    EXPECT_EQ(TracertCommand(false, 10000, 100).HostRoom(), 77u);
    EXPECT_EQ(TracertCommand(false, 300, 20).HostRoom(), 80u);
    EXPECT_EQ(TracertCommand(true, 300, 20).HostRoom(), 83u);
}

TEST(LookupCommand, HostInQuotes) {
    EXPECT_EQ(LookupCommand().With("localhost"), "conspawn.exe \"lookup localhost\"");
    EXPECT_EQ(LookupCommand().HostRoom(), 97u);
    EXPECT_TRUE(HostRefusal(LookupCommand(), std::string(98, 'a')).has_value());
    EXPECT_FALSE(HostRefusal(LookupCommand(), std::string(97, 'a')).has_value());
}

}  // namespace
}  // namespace tracewick
