#include "section/forward/WorkerPool.h"

#include "section/forward/ForwardResponse.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace lp {

namespace {

// Whether this thread runs a shared task (a worker's, or a caller's own copy).
thread_local bool InSharedTask = false;

std::atomic<int> ThreadsMade{0};

class TWorkerPool {
public:
    TWorkerPool()
    {
        const int workers = UsableCores() - 1;
        for (int w = 0; w < workers; ++w) {
            try {
                FWorkers.emplace_back([this] { Serve(); });
            } catch (const std::system_error&) {
                break; // the system gives no more: the callers do the rest
            }
            ++ThreadsMade;
        }
    }

    ~TWorkerPool()
    {
        {
            std::lock_guard<std::mutex> hold(FLock);
            FStopping = true;
        }
        FWake.notify_all();
        for (std::thread& worker : FWorkers)
            worker.join();
    }

    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    void Run(int Participants, const std::function<void()>& Task)
    {
        TJob job;
        job.Task = &Task;
        job.Unclaimed = std::min<int>(Participants - 1, static_cast<int>(FWorkers.size()));
        if (job.Unclaimed > 0) {
            {
                std::lock_guard<std::mutex> hold(FLock);
                FJobs.push_back(&job);
            }
            if (job.Unclaimed == 1)
                FWake.notify_one();
            else
                FWake.notify_all();
        }
        RunCopy(job);
        std::unique_lock<std::mutex> hold(FLock);
        if (job.Unclaimed > 0) {
            job.Unclaimed = 0; // too late to help: not started at all
            FJobs.erase(std::find(FJobs.begin(), FJobs.end(), &job));
        }
        FEnded.wait(hold, [&] { return job.Running == 0; });
        hold.unlock();
        if (job.Failure)
            std::rethrow_exception(job.Failure);
    }

private:
    struct TJob {
        const std::function<void()>* Task = nullptr;
        int Unclaimed = 0; // copies a worker may still take up
        int Running = 0;   // copies workers run now
        std::exception_ptr Failure;
    };

    // One copy of the job's task on this thread; its exception kept.
    void RunCopy(TJob& job)
    {
        InSharedTask = true;
        std::exception_ptr failure;
        try {
            (*job.Task)();
        } catch (...) {
            failure = std::current_exception();
        }
        InSharedTask = false;
        if (failure) {
            std::lock_guard<std::mutex> hold(FLock);
            if (!job.Failure)
                job.Failure = failure;
        }
    }

    void Serve()
    {
        std::unique_lock<std::mutex> hold(FLock);
        for (;;) {
            FWake.wait(hold, [&] { return FStopping || !FJobs.empty(); });
            if (FStopping)
                return;
            TJob& job = *FJobs.front();
            if (--job.Unclaimed == 0)
                FJobs.pop_front();
            ++job.Running;
            hold.unlock();
            RunCopy(job);
            hold.lock();
            if (--job.Running == 0)
                FEnded.notify_all();
        }
    }

    std::mutex FLock;
    std::condition_variable FWake, FEnded;
    std::deque<TJob*> FJobs;
    std::vector<std::thread> FWorkers;
    bool FStopping = false;
};

TWorkerPool& Pool()
{
    static TWorkerPool pool;
    return pool;
}

} // namespace

void RunShared(int Participants, const std::function<void()>& Task)
{
    if (Participants <= 1 || InSharedTask) {
        Task();
        return;
    }
    Pool().Run(Participants, Task);
}

int WorkerThreadsMade()
{
    return ThreadsMade;
}

} // namespace lp
