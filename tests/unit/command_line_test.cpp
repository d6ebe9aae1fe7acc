#include "core/command_line.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/ping_options.h"
#include "core/text.h"

namespace tracewick {

TEST(CommandLines, OptionsInTheirFixedOrderThenTheHost) {
    const std::tuple<CommandTemplate, const char*, const char*> rows[] = {
        {PingCommand(10, 1, 0), "a b ", "conspawn.exe \"ping -w 10 -n 1 -l 0 a b \""},  // trailing blanks kept
        {PingCommand(-5, 0, -1), "", "conspawn.exe \"ping -w -5 -n 0 -l -1 \""},        // values from a file, unchecked
        {TracertCommand(true, 1000, 30), "gw", "conspawn.exe \"tracert -w 1000 -h 30 gw\""},
    };
    for (const auto& [command, host, line] : rows) EXPECT_EQ(command.With(host), line);
}

TEST(CommandLines, HostFillsTheLineTo119CharactersAndNoFurther) {
    const std::pair<CommandTemplate, std::size_t> rows[] = {
        {PingCommand(10000, 25, 32739), 75}, {TracertCommand(false, 10000, 100), 77}, {TracertCommand(true, 300, 20), 83},
    };
    for (const auto& [command, room] : rows) {
        SCOPED_TRACE(command.prefix);
        EXPECT_EQ(command.HostRoom(), room);
        EXPECT_EQ(command.With(std::string(room, 'h')).size(), 119u);
        EXPECT_FALSE(HostRefusal(command, std::string(room, 'h')).has_value());
        const std::string refusal = HostRefusal(command, std::string(room + 1, 'h')).value_or("");
        EXPECT_NE(refusal.find("at most " + std::to_string(room) + " characters"), std::string::npos) << refusal;
    }
}

// A double quote would end the quoted command early; a leading - or /
// would make the host options of the command (an endless hidden ping).
TEST(CommandLines, RefusesHostsThatWouldChangeTheCommand) {
    const std::pair<const char*, const char*> rows[] = {
        {"\"", "double quote"}, {"a\"b", "double quote"}, {"host\"", "double quote"},
        {"-t x", "begin with - or /"}, {"/t", "begin with - or /"}, {"-", "begin with - or /"},
    };
    for (const auto& [host, reason] : rows)
        EXPECT_NE(HostRefusal(PingCommand(300, 4, 32), host).value_or("").find(reason), std::string::npos) << host;
    for (const char* host : {"", "a-b", "a/b", "x -t"}) EXPECT_FALSE(HostRefusal(LookupCommand(), host).has_value()) << host;
    // A page that asks for an address or a computer name speaks of that.
    EXPECT_EQ(HostRefusal(LookupCommand(), "1\"2", "address").value_or(""), "The address cannot contain a double quote (\").");
    EXPECT_EQ(OptionLikeRefusal("-R", "computer name").value_or(""),
              "The computer name cannot begin with - or /: the command would take it for an option.");
    EXPECT_FALSE(OptionLikeRefusal("PC-1", "computer name").has_value());
}

TEST(HostText, OnlyLeadingBlanksAndLineBreaksGo) {
    EXPECT_EQ(StripLeadingBlanks("  \thost  "), "host  ");
    EXPECT_EQ(StripLeadingBlanks("   "), "");
    EXPECT_EQ(WithoutLineBreaks("gw\r\n-t\rx\n"), "gw-tx");
}

}  // namespace tracewick
