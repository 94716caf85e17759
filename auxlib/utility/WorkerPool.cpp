#include "auxlib/utility/WorkerPool.h"

#include <SDL.h>
#include <SDL_thread.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

namespace auxlib::utility {

struct WorkerPool::Offer::State {
    std::function<void()> work;
    int helpers = 0; // threads it was made for
    int wanted = 0;  // threads that may still take it
    int running = 0; // threads running it now
    // Renewed since a thread last took it: a thread that leaves it now may
    // have found nothing just before the new units came, and its place is
    // offered again.
    bool renewed = false;
    bool withdrawn = false;
    // Units of run(): their work returns once every unit is taken, so a
    // waiting thread may help with them.
    bool units = false;
};

namespace {

int coreCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
}

} // namespace

struct WorkerPool::Impl {
    std::mutex lock;
    std::condition_variable changed;
    int budget = coreCount();
    int busy = 0; // pool threads running an offer
    bool quitting = false;
    std::list<Offer::State*> offers; // oldest first
    std::vector<SDL_Thread*> threads;

    // Under the lock: the offer a free thread should take, if any.
    Offer::State* next()
    {
        if (busy >= budget - 1)
            return nullptr;
        for (Offer::State* offer : offers)
            if (offer->wanted > 0)
                return offer;
        return nullptr;
    }

    static int loop(void* self)
    {
        Impl& pool = *static_cast<Impl*>(self);
        std::unique_lock<std::mutex> guard(pool.lock);
        for (;;) {
            Offer::State* offer = pool.next();
            if (offer == nullptr) {
                if (pool.quitting)
                    return 0;
                pool.changed.wait(guard);
                continue;
            }
            --offer->wanted;
            ++offer->running;
            offer->renewed = false;
            ++pool.busy;
            guard.unlock();
            offer->work();
            guard.lock();
            --pool.busy;
            pool.leave(offer);
        }
    }

    // Under the lock: after a thread's turn at an offer ends.
    void leave(Offer::State* offer)
    {
        --offer->running;
        if (offer->renewed && !offer->withdrawn)
            offer->wanted = std::max(offer->wanted, offer->helpers - offer->running);
        changed.notify_all();
    }

    // Under the lock: enough threads for the budget. A thread that cannot be
    // started is simply not there.
    void grow()
    {
        while (static_cast<int>(threads.size()) < budget - 1) {
            SDL_Thread* thread = SDL_CreateThread(&Impl::loop, this);
            if (thread == nullptr)
                break;
            threads.push_back(thread);
        }
    }
};

WorkerPool::WorkerPool() : impl_(new Impl) {}

WorkerPool::~WorkerPool()
{
    {
        std::lock_guard<std::mutex> guard(impl_->lock);
        impl_->quitting = true;
        impl_->changed.notify_all();
    }
    for (SDL_Thread* thread : impl_->threads)
        SDL_WaitThread(thread, nullptr);
    delete impl_;
}

WorkerPool& WorkerPool::shared()
{
#if defined(_WIN32)
    // Windows ends every other thread of a process before it destroys a
    // DLL's statics, so joining the workers there would wait forever on the
    // locks they held when they were stopped. The pool lives as long as the
    // process, and the system ends its threads.
    static WorkerPool* pool = new WorkerPool;
    return *pool;
#else
    static WorkerPool pool;
    return pool;
#endif
}

void WorkerPool::setThreads(int threads)
{
    std::lock_guard<std::mutex> guard(impl_->lock);
    impl_->budget = std::max(1, threads);
    impl_->changed.notify_all();
}

int WorkerPool::threads() const
{
    std::lock_guard<std::mutex> guard(impl_->lock);
    return impl_->budget;
}

WorkerPool::Offer::Offer(int helpers, std::function<void()> work) : state_(new State)
{
    state_->work = std::move(work);
    Impl& pool = *shared().impl_;
    std::lock_guard<std::mutex> guard(pool.lock);
    state_->helpers = std::max(0, std::min(helpers, pool.budget - 1));
    state_->wanted = state_->helpers;
    if (state_->wanted == 0)
        return;
    pool.grow();
    pool.offers.push_back(state_);
    pool.changed.notify_all();
}

WorkerPool::Offer::~Offer()
{
    Impl& pool = *shared().impl_;
    {
        std::unique_lock<std::mutex> guard(pool.lock);
        state_->wanted = 0;
        state_->withdrawn = true;
        pool.offers.remove(state_);
        pool.changed.wait(guard, [this] { return state_->running == 0; });
    }
    delete state_;
}

void WorkerPool::Offer::renew()
{
    Impl& pool = *shared().impl_;
    std::lock_guard<std::mutex> guard(pool.lock);
    if (state_->helpers == 0 || state_->withdrawn)
        return;
    state_->wanted = std::max(0, state_->helpers - state_->running);
    state_->renewed = true;
    pool.changed.notify_all();
}

void WorkerPool::run(int count, const std::function<void(int)>& task, const std::function<void()>& offered)
{
    if (count <= 0)
        return;
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < count; i = next++)
            task(i);
    };
    {
        Offer helpers(count - 1, work);
        {
            std::lock_guard<std::mutex> guard(impl_->lock);
            helpers.state_->units = true;
        }
        if (offered)
            offered();
        work();
    }
}

bool WorkerPool::helpOnce()
{
    Offer::State* offer = nullptr;
    {
        std::lock_guard<std::mutex> guard(impl_->lock);
        for (Offer::State* o : impl_->offers)
            if (o->units && o->wanted > 0) {
                offer = o;
                break;
            }
        if (offer == nullptr)
            return false;
        --offer->wanted;
        ++offer->running;
    }
    offer->work();
    std::lock_guard<std::mutex> guard(impl_->lock);
    impl_->leave(offer);
    return true;
}

} // namespace auxlib::utility
