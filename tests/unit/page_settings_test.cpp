#include <gtest/gtest.h>

#include "core/lookup_settings.h"
#include "core/tracert_options.h"

namespace tracewick {
namespace {

TEST(TracertSettings, BytesBothWays) {
    SettingsWriter writer;
    WriteTracertSettings(TracertOptions{}, writer);
    EXPECT_EQ(writer.Bytes(), std::string("20\r\r\n300\r\r\nFALSE\r\r\nFALSE\r\r\n"));

    const std::string bytes = "30\r\r\n1000\r\r\nTRUE\r\r\ntrue\r\r\n";
    SettingsReader reader(bytes);
    TracertOptions read;
    ReadTracertSettings(reader, read);
    EXPECT_EQ(read.maximum_hops, 30);
    EXPECT_EQ(read.timeout, 1000);
    EXPECT_TRUE(read.resolve_names);
    EXPECT_FALSE(read.cumulative);  // "true" in lower case is not TRUE
}

TEST(LookupSettings, BytesBothWays) {
    LookupSettings settings;
    settings.cumulative = true;
    settings.host = "gw";
    settings.hosts = {"alpha", "Alpha", "beta "};  // differing only in case, trailing blank kept
    SettingsWriter writer;
    WriteLookupSettings(settings, writer);
    const std::string bytes = writer.Bytes();
    EXPECT_EQ(bytes, "TRUE\r\r\ngw\r\r\nalpha\r\r\nAlpha\r\r\nbeta \r\r\n");

    SettingsReader reader(bytes);
    LookupSettings read;
    ReadLookupSettings(reader, read);
    EXPECT_TRUE(read.cumulative);
    EXPECT_EQ(read.host, "gw");
    EXPECT_EQ(read.hosts, settings.hosts);
}

TEST(LookupSettings, EmptyListEmptyHostAndHandEditedFiles) {
    {
        // An empty list is two lines; it reads back as no entries at all.
        LookupSettings empty;
        SettingsWriter writer;
        WriteLookupSettings(empty, writer);
        EXPECT_EQ(writer.Bytes(), std::string("FALSE\r\r\n\r\r\n"));
        const std::string bytes = writer.Bytes();
        SettingsReader reader(bytes);
        LookupSettings read;
        read.host = "kept";
        read.hosts = {"localhost"};
        ReadLookupSettings(reader, read);
        EXPECT_EQ(read.host, "kept");  // an empty host line leaves the host as it was
        EXPECT_TRUE(read.hosts.empty());
    }
    {
        // Single CR LF line ends and a last line without one; an entry too
        // long for any command line (a damaged file) is passed over whole.
        const std::string bytes = "TRUE\r\nserver1\r\nalpha\r\n" + std::string(119, 'h') + "\r\n" +
                                  std::string(1 << 20, '\x01') + "\r\nomega";
        SettingsReader reader(bytes);
        LookupSettings read;
        ReadLookupSettings(reader, read);
        EXPECT_EQ(read.host, "server1");
        ASSERT_EQ(read.hosts.size(), 3u);
        EXPECT_EQ(read.hosts[1], std::string(119, 'h'));  // one entry, not split
        EXPECT_EQ(read.hosts[2], "omega");
        // A current host that long keeps the one the page had.
        const std::string long_host = "FALSE\r\n" + std::string(600, 'x') + "\r\nbeta\r\n";
        SettingsReader second(long_host);
        ReadLookupSettings(second, read);
        EXPECT_EQ(read.host, "server1");
        EXPECT_EQ(read.hosts, std::vector<std::string>{"beta"});
    }
}

TEST(TracertRewrite, OnlyTheExactChunkIsRewritten) {
    EXPECT_EQ(RewriteUnresolvedTarget("Unable to resolve target system name -d.\r\r\n", "gw"),
              "Unable to resolve target system name gw");
    EXPECT_EQ(RewriteUnresolvedTarget("Unable to resolve target system name -w.\r\r\n", "host name"),
              "Unable to resolve target system name host name");
    for (const char* other : {"Unable to resolve target system name -d.\r\n",
                              "x\r\nUnable to resolve target system name -d.\r\r\n",
                              "Unable to resolve target system name -d.\r\r\nmore",
                              "Unable to resolve target system name -x.\r\r\n", ""}) {
        SCOPED_TRACE(other);
        EXPECT_EQ(RewriteUnresolvedTarget(other, "gw"), other);
    }
}

}  // namespace
}  // namespace tracewick
