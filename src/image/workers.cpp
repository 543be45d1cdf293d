#include "workers.h"

#include <atomic>

#if defined(__linux__)
#include <sched.h>
#endif

int DefaultWorkerCount() {
#if defined(__linux__)
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0) return n;
    }
#endif
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? int(n) : 1;
}

TWorkers::TWorkers(int count) : Count_(count < 1 ? 1 : count) {}

TWorkers::~TWorkers() {
    {
        const std::lock_guard lock(Mutex_);
        Stop_ = true;
    }
    Wake_.notify_all();
    for (std::thread& t : Helpers_) t.join();
}

void TWorkers::Start() {
    Helpers_.reserve(size_t(Count_ - 1));
    for (int slot = 1; slot < Count_; ++slot) Helpers_.emplace_back([this, slot] { Helper(slot); });
}

void TWorkers::Helper(int slot) {
    uint64_t seen = 0;
    for (;;) {
        const std::function<void(int)>* job;
        {
            std::unique_lock lock(Mutex_);
            Wake_.wait(lock, [&] { return Stop_ || Generation_ != seen; });
            if (Stop_) return;
            seen = Generation_;
            job = Job_;
        }
        std::exception_ptr error;
        try {
            (*job)(slot);
        } catch (...) {
            error = std::current_exception();
        }
        const std::lock_guard lock(Mutex_);
        if (error && !Error_) Error_ = error;
        if (--Pending_ == 0) Done_.notify_one();
    }
}

void TWorkers::RunOnAll(const std::function<void(int)>& job) {
    if (Count_ == 1) {
        job(0);
        return;
    }
    if (Helpers_.empty()) Start();
    {
        const std::lock_guard lock(Mutex_);
        Job_ = &job;
        Pending_ = Count_ - 1;
        Error_ = nullptr;
        ++Generation_;
    }
    Wake_.notify_all();
    std::exception_ptr error;
    try {
        job(0);
    } catch (...) {
        error = std::current_exception();
    }
    std::unique_lock lock(Mutex_);
    Done_.wait(lock, [&] { return Pending_ == 0; });
    Job_ = nullptr;
    if (!error) error = Error_;
    Error_ = nullptr;
    lock.unlock();
    if (error) std::rethrow_exception(error);
}

void TWorkers::ForEach(int n, const std::function<void(int, int)>& task) {
    if (n <= 0) return;
    if (Count_ == 1 || n == 1) {
        for (int i = 0; i < n; ++i) task(i, 0);
        return;
    }
    std::atomic<int> next{0};
    RunOnAll([&](int slot) {
        for (int i; (i = next.fetch_add(1, std::memory_order_relaxed)) < n;) {
            try {
                task(i, slot);
            } catch (...) {
                next.store(n, std::memory_order_relaxed); // no further task is taken
                throw;
            }
        }
    });
}
