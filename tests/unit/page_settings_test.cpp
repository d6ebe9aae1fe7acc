#include <gtest/gtest.h>

#include <tuple>

#include "core/lookup_settings.h"
#include "core/tracert_options.h"

namespace tracewick {

TEST(TracertSettings, BytesBothWays) {
    SettingsWriter writer;
    WriteTracertSettings(TracertOptions{}, writer);
    EXPECT_EQ(writer.Bytes(), "20\r\r\n300\r\r\nFALSE\r\r\nFALSE\r\r\n");

    SettingsReader reader("30\r\r\n1000\r\r\nTRUE\r\r\ntrue\r\r\n");
    TracertOptions read;
    ReadTracertSettings(reader, read);
    // "true" in lower case is not TRUE.
    EXPECT_EQ(std::tie(read.maximum_hops, read.timeout, read.resolve_names, read.cumulative),
              std::make_tuple(30, 1000, true, false));
}

TEST(LookupSettings, BytesBothWays) {
    struct Row {
        const char* name;
        LookupSettings settings;
        std::string bytes;
        bool written;  // false: a file edited by hand, only read
    };
    const Row rows[] = {
        // Entries differing only in case and trailing blanks are kept.
        {"host and list", {true, "gw", {"alpha", "Alpha", "beta "}},
         "TRUE\r\r\ngw\r\r\nalpha\r\r\nAlpha\r\r\nbeta \r\r\n", true},
        // An empty list is two lines; an empty host line leaves the host as it was.
        {"empty host and list", {false, "", {}}, "FALSE\r\r\n\r\r\n", true},
        {"single CR LF line ends, a long entry and no last line end",
         {true, "server1", {"alpha", std::string(119, 'h'), "omega"}},
         "TRUE\r\nserver1\r\nalpha\r\n" + std::string(119, 'h') + "\r\nomega", false},
        // A damaged file: what could never fit a command line is passed over.
        {"entries too long ever to run", {false, "", {"beta"}},
         "FALSE\r\n" + std::string(600, 'x') + "\r\n" + std::string(1 << 20, '\x01') + "\r\nbeta\r\n", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SettingsWriter writer;
        WriteLookupSettings(row.settings, writer);
        if (row.written) { EXPECT_EQ(writer.Bytes(), row.bytes); }
        SettingsReader reader(row.bytes);
        LookupSettings read{false, "kept", {"localhost"}};
        ReadLookupSettings(reader, read);
        EXPECT_EQ(read.cumulative, row.settings.cumulative);
        EXPECT_EQ(read.host, row.settings.host.empty() ? "kept" : row.settings.host);
        EXPECT_EQ(read.hosts, row.settings.hosts);
    }
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
    for (const auto& [chunk, host, shown] : rows) {
        SCOPED_TRACE(chunk);
        EXPECT_EQ(RewriteUnresolvedTarget(chunk, host), shown);
    }
}

}  // namespace tracewick
