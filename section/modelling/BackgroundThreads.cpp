#include "section/modelling/BackgroundThreads.h"

#include <algorithm>

namespace lp {

TBackgroundThreads::~TBackgroundThreads()
{
    JoinAll();
}

TBackgroundThreads& TBackgroundThreads::Program()
{
    static TBackgroundThreads threads;
    return threads;
}

void TBackgroundThreads::Start(std::function<void()> Work)
{
    auto ended = std::make_shared<std::atomic<bool>>(false);
    std::lock_guard<std::mutex> hold(FLock);
    JoinEnded();
    std::thread thread([Work = std::move(Work), ended] {
        // Work reports its own failures; nothing may leave a thread.
        try {
            Work();
        } catch (...) {
        }
        ended->store(true);
    });
    FThreads.push_back({std::move(thread), std::move(ended)});
}

int TBackgroundThreads::Running() const
{
    std::lock_guard<std::mutex> hold(FLock);
    return static_cast<int>(std::count_if(FThreads.begin(), FThreads.end(),
                                          [](const TEntry& Entry) { return !Entry.Ended->load(); }));
}

void TBackgroundThreads::JoinEnded()
{
    for (auto at = FThreads.begin(); at != FThreads.end();) {
        if (at->Ended->load()) {
            at->Thread.join();
            at = FThreads.erase(at);
        } else {
            ++at;
        }
    }
}

void TBackgroundThreads::JoinAll()
{
    // Joined outside the lock, so Running and Start answer meanwhile.
    std::vector<TEntry> threads;
    {
        std::lock_guard<std::mutex> hold(FLock);
        threads.swap(FThreads);
    }
    for (TEntry& entry : threads)
        entry.Thread.join();
}

} // namespace lp
