// The threads that outlive the windows that started them: they run on
// their own, and whoever holds the set (the program, at its exit) waits
// for what still runs.

#include "section/modelling/BackgroundThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>

namespace lp {
namespace {

TEST(BackgroundThreads, RunOnTheirOwnAndTheExitWaitsForThem)
{
    auto done = std::make_shared<std::atomic<int>>(0);
    std::promise<void> gate;
    std::shared_future<void> opened = gate.get_future().share();
    {
        TBackgroundThreads threads;
        threads.Start([opened, done] {
            opened.wait();
            done->fetch_add(1);
        });
        // Start returned with the work still held: nobody waited for it.
        EXPECT_EQ(threads.Running(), 1);
        EXPECT_EQ(done->load(), 0);
        // Work that throws ends its thread quietly.
        threads.Start([] { throw std::runtime_error("lost"); });
        gate.set_value();
        // Leaving the scope (the program's exit) waits for every thread.
    }
    EXPECT_EQ(done->load(), 1);
}

TEST(BackgroundThreads, JoinAllWaitsForEveryThreadAndLeavesTheSetUsable)
{
    TBackgroundThreads threads;
    auto done = std::make_shared<std::atomic<int>>(0);
    for (int i = 0; i < 20; ++i)
        threads.Start([done] { done->fetch_add(1); });
    threads.JoinAll();
    EXPECT_EQ(done->load(), 20);
    EXPECT_EQ(threads.Running(), 0);
    std::atomic<bool> ran{false};
    threads.Start([&ran] { ran.store(true); });
    threads.JoinAll();
    EXPECT_TRUE(ran.load());
}

} // namespace
} // namespace lp
