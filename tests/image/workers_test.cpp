// The workers of one analysis: every task runs once, on the threads asked
// for, and a failing task stops the job with its exception.
#include "image/workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

TEST(Workers, EveryTaskRunsOnceAtEveryCount) {
    for (const int count : {1, 2, 4})
        for (const int n : {0, 1, 2, 7, 300}) {
            TWorkers workers(count);
            std::vector<std::atomic<int>> runs(static_cast<size_t>(n));
            std::atomic<int> badSlot{0};
            workers.ForEach(n, [&](int i, int slot) {
                ++runs[size_t(i)];
                if (slot < 0 || slot >= count) ++badSlot;
            });
            for (int i = 0; i < n; ++i) EXPECT_EQ(runs[size_t(i)], 1) << count << " " << n;
            EXPECT_EQ(badSlot, 0);
        }
}

TEST(Workers, OneWorkerRunsOnTheCallingThreadAndCountsBelowOneMeanOne) {
    TWorkers one(1), none(0);
    EXPECT_EQ(one.Count(), 1);
    EXPECT_EQ(none.Count(), 1);
    const std::thread::id caller = std::this_thread::get_id();
    std::set<std::thread::id> seen;
    one.ForEach(50, [&](int, int) { seen.insert(std::this_thread::get_id()); });
    one.RunOnAll([&](int) { seen.insert(std::this_thread::get_id()); });
    EXPECT_EQ(seen, std::set<std::thread::id>{caller});
    EXPECT_GE(DefaultWorkerCount(), 1);
}

TEST(Workers, RunOnAllGivesEachSlotOnceWithTheCallerAsSlotZero) {
    TWorkers workers(3);
    for (int round = 0; round < 200; ++round) {
        std::atomic<int> slots[3] = {0, 0, 0};
        std::atomic<bool> callerIsZero{false};
        const std::thread::id caller = std::this_thread::get_id();
        workers.RunOnAll([&](int slot) {
            ++slots[slot];
            if (slot == 0) callerIsZero = std::this_thread::get_id() == caller;
        });
        ASSERT_EQ(slots[0] + slots[1] * 10 + slots[2] * 100, 111) << "round " << round;
        ASSERT_TRUE(callerIsZero);
    }
}

TEST(Workers, AFailingTaskIsRethrownAndTheWorkersGoOn) {
    for (const int count : {1, 2}) {
        TWorkers workers(count);
        std::atomic<int> ran{0};
        EXPECT_THROW(workers.ForEach(1000,
                                     [&](int i, int) {
                                         ++ran;
                                         if (i == 3) throw std::runtime_error("task 3");
                                     }),
                     std::runtime_error);
        EXPECT_LT(ran, 1000) << "tasks after the failure are not taken";
        // A helper's failure as well as the caller's.
        EXPECT_THROW(workers.RunOnAll([&](int slot) {
            if (slot == count - 1) throw std::runtime_error("last slot");
        }),
                     std::runtime_error);
        std::atomic<int> after{0};
        workers.ForEach(10, [&](int, int) { ++after; });
        EXPECT_EQ(after, 10);
    }
}

} // namespace
