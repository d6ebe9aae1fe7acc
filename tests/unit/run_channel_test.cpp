#include "core/run_channel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace tracewick {

// A fast worker against a slow window: every byte arrives once and in order,
// the end only after all of them, and never more than one wake-up waits.
TEST(RunChannel, NothingLostNothingAfterTheEndOneWakeAtATime) {
    RunChannel channel(4096);
    std::atomic<int> outstanding{0}, most{0};
    const auto woke = [&](bool wake) {
        if (!wake) return;
        most = std::max(most.load(), ++outstanding);
    };
    std::string sent;
    std::thread worker([&] {
        for (int i = 0; i < 20000; ++i) {
            const std::string chunk = std::to_string(i) + ",";
            woke(channel.Append(chunk));
            sent += chunk;
        }
        woke(channel.Finish({"End", 7}));
    });
    std::string shown;
    std::optional<RunChannel::End> end;
    while (!end) {
        if (outstanding == 0) {
            std::this_thread::yield();
            continue;
        }
        --outstanding;  // the window takes the wake-up from its queue
        const RunChannel::Batch batch = channel.Take(1000);
        ASSERT_FALSE(end) << "output after the end";
        shown += batch.text;
        end = batch.end;
        woke(batch.more);  // more waits: the window wakes itself for the next batch
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    worker.join();
    EXPECT_EQ(shown, sent);
    EXPECT_EQ(end->line, "End");
    EXPECT_EQ(end->exit_code, 7u);
    EXPECT_EQ(most.load(), 1);
    EXPECT_FALSE(channel.Take(1000).end) << "the end comes once";
}

// A window that stops taking (a cancel) never leaves the worker waiting for room.
TEST(RunChannel, CloseReleasesAWaitingWorker) {
    RunChannel channel(8);
    EXPECT_TRUE(channel.Append("0123456789"));  // over the bound: the next append waits
    std::thread worker([&] {
        EXPECT_FALSE(channel.Append("more"));  // the wake-up is still outstanding
        EXPECT_FALSE(channel.Finish({"cancelled", 1}));
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    channel.Close();
    worker.join();
    const RunChannel::Batch batch = channel.Take(100);
    EXPECT_EQ(batch.text, "0123456789more");
    ASSERT_TRUE(batch.end);
    EXPECT_EQ(batch.end->line, "cancelled");
    EXPECT_FALSE(channel.Append("late")) << "nothing after the end";
}

}  // namespace tracewick
