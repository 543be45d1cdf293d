// The threads one analysis may use: the calling thread and Count() - 1
// helpers, which wait between jobs.
//
// A TWorkers is owned by whoever owns the analysis (the session); nothing is
// shared between two of them. The helpers start with the first job that
// needs them, so a count of 1, or an analysis that never runs a job, starts no
// thread at all. Jobs are run from one thread at a time (the owner's).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The number of processors this process may run on (its affinity, so that a
// process confined to one core uses one), at least 1.
int DefaultWorkerCount();

class TWorkers {
  public:
    explicit TWorkers(int count = DefaultWorkerCount()); // below 1 counts as 1
    ~TWorkers();
    TWorkers(const TWorkers&) = delete;
    TWorkers& operator=(const TWorkers&) = delete;

    int Count() const { return Count_; }

    // Runs job(slot) once on each thread, the calling thread as slot 0 and
    // the helpers as slots 1 to Count() - 1, and returns when all have
    // returned. The first exception a job throws is rethrown then.
    void RunOnAll(const std::function<void(int slot)>& job);

    // Runs task(i, slot) once for every i from 0 to n - 1, each on whichever
    // thread takes it first, and returns when all are done. An exception
    // stops the tasks not yet taken and is rethrown.
    void ForEach(int n, const std::function<void(int i, int slot)>& task);

  private:
    void Start();
    void Helper(int slot);

    int Count_;
    std::vector<std::thread> Helpers_;
    std::mutex Mutex_;
    std::condition_variable Wake_, Done_;
    uint64_t Generation_ = 0; // one more for every job
    int Pending_ = 0;         // helpers still running the current job
    bool Stop_ = false;
    const std::function<void(int)>* Job_ = nullptr;
    std::exception_ptr Error_;
};
