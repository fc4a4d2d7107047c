// The shared workers: every task done once, whatever threads the system
// gives; a failure passed on; nested use run inline; no thread made per call.

#include "section/forward/ForwardResponse.h"
#include "section/forward/WorkerPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace lp {
namespace {

// Count tasks shared through a counter on Threads threads; how often each ran.
std::vector<int> RunCounted(int Threads, int Count)
{
    std::vector<std::atomic<int>> runs(static_cast<size_t>(Count));
    std::atomic<int> next{0};
    RunOnThreads(Threads, [&](const std::atomic<bool>&) {
        for (int t = next++; t < Count; t = next++)
            ++runs[static_cast<size_t>(t)];
    });
    return {runs.begin(), runs.end()};
}

TEST(WorkerPool, EveryTaskIsDoneOnceWhateverTheThreadsAsked)
{
    for (const int threads : {1, 2, 3, 8, 64})
        for (const int count : {0, 1, 7, 1000}) {
            const std::vector<int> runs = RunCounted(threads, count);
            EXPECT_EQ(std::count(runs.begin(), runs.end(), 1), count) << threads << " threads, " << count << " tasks";
        }
}

TEST(WorkerPool, AFailureReachesTheCallerAndTheOthersSeeIt)
{
    std::atomic<int> next{0};
    const auto fail = [&] {
        RunOnThreads(4, [&](const std::atomic<bool>& Failed) {
            for (int t = next++; t < 100000; t = next++) {
                if (t == 7)
                    throw std::runtime_error("task 7 failed");
                if (Failed)
                    return;
            }
        });
    };
    EXPECT_THROW(
        try { fail(); } catch (const std::runtime_error& Error) {
            EXPECT_STREQ(Error.what(), "task 7 failed");
            throw;
        },
        std::runtime_error);
    EXPECT_LT(next.load(), 100000 + 4) << "the others stopped early";
    // The pool serves the next call as before.
    const std::vector<int> runs = RunCounted(4, 100);
    EXPECT_EQ(std::count(runs.begin(), runs.end(), 1), 100);
}

TEST(WorkerPool, NestedUseRunsOnTheTaskThread)
{
    std::atomic<int> inner{0}, next{0}, elsewhere{0};
    RunOnThreads(4, [&](const std::atomic<bool>&) {
        for (int t = next++; t < 64; t = next++) {
            const std::thread::id outer = std::this_thread::get_id();
            RunOnThreads(4, [&](const std::atomic<bool>&) {
                inner += 10;
                if (std::this_thread::get_id() != outer)
                    ++elsewhere;
            });
        }
    });
    EXPECT_EQ(inner.load(), 640);
    EXPECT_EQ(elsewhere.load(), 0);
}

TEST(WorkerPool, ManySmallCallsMakeNoThreads)
{
    RunCounted(4, 10); // the workers, made on first use
    const int made = WorkerThreadsMade();
    EXPECT_LE(made, UsableCores() - 1);
    std::mutex lock;
    std::set<std::thread::id> ids;
    for (int call = 0; call < 2000; ++call) {
        std::atomic<int> next{0};
        RunOnThreads(4, [&](const std::atomic<bool>&) {
            for (int t = next++; t < 8; t = next++) {
                std::lock_guard<std::mutex> hold(lock);
                ids.insert(std::this_thread::get_id());
            }
        });
    }
    EXPECT_EQ(WorkerThreadsMade(), made);
    EXPECT_LE(ids.size(), static_cast<size_t>(made) + 1) << "the workers and the caller, no others";
}

} // namespace
} // namespace lp
