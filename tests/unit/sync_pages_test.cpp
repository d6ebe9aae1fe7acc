#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/statistics_options.h"

namespace tracewick {
namespace {

// What one rewrite shows of the chunks; "" ends a command's output.
std::string Shown(const std::vector<std::string>& chunks) {
    NbtFailureRewrite rewrite;
    std::string shown;
    for (const std::string& chunk : chunks) shown += chunk.empty() ? rewrite.Finish() : rewrite.Feed(chunk);
    return shown + rewrite.Finish();
}

}  // namespace

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
