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

TEST(WorkerPool, AnOfferTakenAgainOnlyOnceRenewed)
{
    RestoreThreads restore;
    WorkerPool::shared().setThreads(2);
    std::atomic<int> turns{0};
    auto waitFor = [&](int n) {
        for (int i = 0; i < 2000 && turns < n; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    {
        // Work that finds nothing to do returns at once, as a pipeline's
        // helper does between steps.
        WorkerPool::Offer helpers(1, [&] { ++turns; });
        waitFor(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(turns, 1) << "a thread that returned does not take the offer again by itself";
        helpers.renew();
        waitFor(2);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(turns, 2);
    }
}

TEST(WorkerPool, AWaitingThreadHelpsWithUnitsButNeverTakesAnOffer)
{
    RestoreThreads restore;
    WorkerPool::shared().setThreads(2);
    // The pool's one thread held by work that returns only when released.
    std::atomic<bool> release{false};
    std::atomic<int> held{0};
    WorkerPool::Offer holder(1, [&] {
        ++held;
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    for (int i = 0; i < 2000 && held < 1; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(held, 1);
    EXPECT_FALSE(WorkerPool::shared().helpOnce()) << "an Offer's work may not return while there is work";

    // Units offered from another thread (a helper writing a file) while
    // this one would wait: it takes its share of them.
    std::mutex lock;
    std::vector<std::thread::id> ranOn(8);
    std::atomic<bool> offered{false};
    // The writer's first unit lasts until another thread has taken one, so
    // the units cannot all be gone before this thread asks, however the
    // threads are scheduled.
    std::atomic<bool> joined{false};
    std::thread writer([&] {
        WorkerPool::shared().run(
            8,
            [&](int i) {
                if (i == 0)
                    for (int t = 0; t < 5000 && !joined; ++t)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                else
                    joined = true;
                std::lock_guard<std::mutex> guard(lock);
                ranOn[size_t(i)] = std::this_thread::get_id();
            },
            [&] { offered = true; });
    });
    for (int i = 0; i < 2000 && !offered; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(offered);
    const bool helped = WorkerPool::shared().helpOnce();
    const std::thread::id writerId = writer.get_id();
    writer.join();
    release = true;
    EXPECT_TRUE(helped);
    int here = 0, there = 0;
    for (const std::thread::id& id : ranOn) {
        here += id == std::this_thread::get_id();
        there += id == writerId;
    }
    EXPECT_EQ(here + there, 8) << "every unit ran once, on the two threads and on no pool thread";
    EXPECT_GE(here, 1);
    EXPECT_GE(there, 1);
}
