#ifndef AUXLIB_UTILITY_WORKERPOOL_H
#define AUXLIB_UTILITY_WORKERPOOL_H

#include <functional>

namespace auxlib::utility {

// The process's one pool of worker threads and its one budget: at most
// threads() threads busy for a caller, the caller's own thread included.
//
// Work is offered, never queued: an Offer lends its work function to up to
// a given number of the pool's threads that are free, now or while the
// offer stands, and each thread that takes it runs it once, until it
// returns. The work function pulls its units itself, so it must not depend
// on how many threads run it (none may). Work offered from inside work (the
// cells of a conversion that runs as one task of a batch) borrows from the
// same threads, so nesting never adds to the budget: the pool never holds
// more than threads() - 1 threads.
//
// The threads are started through SDL because SDL 1.2 keeps an error text
// per thread only for threads it started; every other thread shares one
// text, and the savers report their failures through it.
class WorkerPool {
public:
    static WorkerPool& shared();

    // 1 or more (the machine's core count until set); the pool grows to
    // threads - 1 threads as work is offered.
    void setThreads(int threads);
    int threads() const;

    class Offer {
    public:
        // Lends work to up to `helpers` free threads of the pool.
        Offer(int helpers, std::function<void()> work);
        // Withdraws the offer and waits for the threads that took it.
        ~Offer();
        Offer(const Offer&) = delete;
        Offer& operator=(const Offer&) = delete;

        struct State;

    private:
        State* state_;
    };

    // Runs task(0) to task(count - 1), each once, on the calling thread and
    // on the pool's free threads; returns when all have returned.
    void run(int count, const std::function<void(int)>& task);

    ~WorkerPool();

private:
    WorkerPool();
    struct Impl;
    Impl* impl_;
};

} // namespace auxlib::utility

#endif
