// Whatever a settings file holds, what the reader takes the writer writes
// back, and reading that again gives the same values: a damaged or
// hand-edited file can never make the save at Exit fail.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

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

// One file's layout: read the bytes into the defaults and write them back;
// nothing when the writer refuses them, which is never hidden.
using RoundTrip = std::function<std::optional<std::string>(const std::string& bytes)>;

template <class Options>
RoundTrip Layout(SettingsLayout<Options> layout) {
    return [layout](const std::string& bytes) -> std::optional<std::string> {
        Options options{};
        SettingsReader reader(bytes);
        layout.Read(reader, options);
        SettingsWriter writer;
        layout.Write(options, writer);
        if (writer.Refused()) return std::nullopt;
        return writer.Bytes();
    };
}

// Each file's layout by the page that keeps it.
const std::map<int, RoundTrip> kLayouts = {
    {kSheetFile, Layout<SheetSettings>(kSheetFields)},
    {kPingPage, Layout<PingOptions>(kPingFields)},
    {kTracertPage, Layout<TracertOptions>(kTracertFields)},
    {kLookupPage, Layout<LookupSettings>(kLookupFields)},
    {kRoutesPage, Layout<RoutesOptions>(kRoutesFields)},
    {kArpPage, Layout<ArpOptions>(kArpFields)},
    {kNetbiosPage, Layout<NetbiosOptions>(kNetbiosFields)},
    {kConnectionsPage, Layout<ConnectionsOptions>(kConnectionsFields)},
    {kStatisticsPage, Layout<StatisticsOptions>(kStatisticsFields)},
};

// UTF-16 as an editor saves it: a byte order mark, every byte followed by NUL.
std::string Utf16(const std::string& text) {
    std::string wide = "\xFF\xFE";
    for (const char c : text) wide += {c, '\0'};
    return wide;
}

// Files of the shapes hand edits, other editors and damage leave.
std::vector<std::string> HostileFiles() {
    std::mt19937 random(20261207);
    const auto byte = [&random] { return static_cast<char>(random() & 0xFF); };
    const std::string ends[] = {"\r\r\n", "\r\n", "\n", "\r", "\r\r\r\n", "\n\r", ""};
    const std::string values[] = {"TRUE", "FALSE", "10.0.\r0.1", "PC\rX", "gw\n", "-17", "", std::string("a\0b", 3),
                                  std::string(15, 'n'), std::string(16, 'n'), std::string(119, 'h')};
    std::vector<std::string> files = {"", "\r", "\n", "\r\r\n", std::string(3, '\0'), std::string(1 << 20, 'x'),
                                      std::string(1 << 20, 'x') + "\r\r\nTRUE\r\r\n"};
    for (const std::string& end : ends) {  // every value, with one kind of line end throughout
        std::string file;
        for (const std::string& value : values) file += value + end;
        files.push_back(file);
        files.push_back(Utf16(file));
    }
    for (int round = 0; round < 300; ++round) {  // random lines of random lengths and ends
        std::string file;
        for (int line = random() % 12; line > 0; --line) {
            const std::size_t length = random() % 4 == 0 ? random() % 300 : random() % 20;
            for (std::size_t i = 0; i < length; ++i) {
                file += random() % 3 == 0 ? byte() : values[random() % std::size(values)][0];
            }
            file += ends[random() % std::size(ends)];
        }
        files.push_back(file);
    }
    for (int round = 0; round < 50; ++round) {  // binary
        std::string file(random() % 65536, '\0');
        for (char& c : file) c = byte();
        files.push_back(file);
    }
    return files;
}

TEST(SettingsProperty, WhatIsReadIsWrittenBackAndReadAlike) {
    const std::vector<std::string> files = HostileFiles();
    for (const SettingsFile& file : kSettingsFiles) {
        ASSERT_EQ(kLayouts.count(file.page), 1u) << file.name;
        const RoundTrip& round_trip = kLayouts.at(file.page);
        for (std::size_t index = 0; index < files.size(); ++index) {
            const std::optional<std::string> written = round_trip(files[index]);
            ASSERT_TRUE(written) << file.name << ", file " << index;
            ASSERT_EQ(round_trip(*written), written) << file.name << ", file " << index;
        }
    }
}

// What the files above hold, as a user would hope to see it read.
TEST(SettingsProperty, DamagedLinesReadAsMeant) {
    const struct {
        const char* name;
        std::string bytes, written;
    } rows[] = {
        {"a stray CR inside a value goes", "10.0.\r0.1\r\r\nTRUE\r\r\n", "10.0.0.1\r\r\nTRUE\r\r\n"},
        {"CR line ends", "10.0.0.1\rTRUE\r", "10.0.0.1\r\r\nTRUE\r\r\n"},
        {"CR CR CR LF", "10.0.0.1\r\r\r\nTRUE\r\r\r\n", "10.0.0.1\r\r\nTRUE\r\r\n"},
        {"LF CR", "10.0.0.1\n\rTRUE\n\r", "10.0.0.1\r\r\nTRUE\r\r\n"},
        {"UTF-16 with its byte order mark", Utf16("10.0.0.1\r\nTRUE\r\n"), "10.0.0.1\r\r\nTRUE\r\r\n"},
        {"UTF-8 with its byte order mark", "\xEF\xBB\xBF" "10.0.0.1\r\nTRUE\r\n", "10.0.0.1\r\r\nTRUE\r\r\n"},
        {"longer than the field: the default", std::string(16, '1') + "\r\nTRUE\r\n", "\r\r\nTRUE\r\r\n"},
    };
    for (const auto& row : rows) EXPECT_EQ(kLayouts.at(kRoutesPage)(row.bytes), row.written) << row.name;
}

}  // namespace
}  // namespace tracewick
