#pragma once
// The threads of long computations, kept by the program rather than by the
// window that started them: a window closes at once, whatever its runs are
// doing; a run it no longer wants (cancelled through its own flag) ends in
// the background, and the program's exit waits for what still runs.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace lp {

class TBackgroundThreads {
public:
    TBackgroundThreads() = default;
    TBackgroundThreads(const TBackgroundThreads&) = delete;
    TBackgroundThreads& operator=(const TBackgroundThreads&) = delete;
    // Waits for every thread still running.
    ~TBackgroundThreads();

    // The program's one set: the start-up routine waits for it on exit.
    static TBackgroundThreads& Program();

    // Runs Work on a thread of its own; threads that have ended are joined
    // first. Work must hold only what it owns or shares (never a window).
    // Raises std::system_error when no thread can be had.
    void Start(std::function<void()> Work);
    // The threads that have not ended yet.
    int Running() const;
    // Waits for every thread (the program's exit; tests between cases).
    void JoinAll();

private:
    struct TEntry {
        std::thread Thread;
        std::shared_ptr<std::atomic<bool>> Ended;
    };
    // Joins the threads that have ended; FLock held.
    void JoinEnded();
    mutable std::mutex FLock;
    std::vector<TEntry> FThreads;
};

} // namespace lp
