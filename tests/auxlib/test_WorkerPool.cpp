#include "auxlib/utility/WorkerPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using auxlib::utility::WorkerPool;

namespace {

// Counts the threads inside a task at any moment.
struct BusyCount {
    std::atomic<int> now{0};
    std::atomic<int> most{0};
    void enter()
    {
        const int n = ++now;
        int seen = most;
        while (n > seen && !most.compare_exchange_weak(seen, n)) {
        }
    }
    void leave() { --now; }
};

struct RestoreThreads {
    int threads = WorkerPool::shared().threads();
    ~RestoreThreads() { WorkerPool::shared().setThreads(threads); }
};

} // namespace

TEST(WorkerPool, EveryTaskRunsOnceAndNestedWorkKeepsToTheBudget)
{
    RestoreThreads restore;
    for (int budget : {1, 2, 3}) {
        WorkerPool::shared().setThreads(budget);
        BusyCount busy;
        std::vector<std::atomic<int>> outer(7), inner(7 * 5);
        // Each task holds its thread a moment, so free threads would be
        // seen taking more work than the budget allows.
        WorkerPool::shared().run(7, [&](int i) {
            ++outer[size_t(i)];
            WorkerPool::shared().run(5, [&](int j) {
                busy.enter();
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                ++inner[size_t(5 * i + j)];
                busy.leave();
            });
        });
        for (const auto& n : outer)
            EXPECT_EQ(n, 1);
        for (const auto& n : inner)
            EXPECT_EQ(n, 1);
        EXPECT_LE(busy.most, budget) << "budget " << budget;
        EXPECT_GE(busy.most, 1);
    }
}

TEST(WorkerPool, AnOfferIsTakenWhileItStandsAndWithdrawnWhenItGoes)
{
    RestoreThreads restore;
    WorkerPool::shared().setThreads(3);
    std::atomic<int> taken{0};
    std::atomic<bool> release{false};
    {
        WorkerPool::Offer helpers(5, [&] {
            ++taken;
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        // Two pool threads (the budget less the caller) take it, no more.
        for (int i = 0; i < 2000 && taken < 2; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(taken, 2);
        release = true;
    }
    // Withdrawn: a new offer's work is the only one run.
    std::atomic<int> later{0};
    WorkerPool::shared().run(4, [&](int) { ++later; });
    EXPECT_EQ(later, 4);
    EXPECT_EQ(taken, 2);
}
