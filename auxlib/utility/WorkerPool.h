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
// A thread is free again only once the work returns, so work that runs in
// steps returns when it finds nothing to do for now rather than waiting,
// and its owner renews the offer when more is ready: the thread may then
// meanwhile help with work offered from inside another step (a file's
// pieces compressed while its cell's other steps wait).
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
        // More units are ready: the offer stands again for as many threads
        // as it was made for, less those still running it (a thread on its
        // way out, having found nothing, counts as gone).
        void renew();
        Offer(const Offer&) = delete;
        Offer& operator=(const Offer&) = delete;

        struct State;

    private:
        friend class WorkerPool;
        State* state_;
    };

    // Runs task(0) to task(count - 1), each once, on the calling thread and
    // on the pool's free threads; returns when all have returned. offered,
    // when given, is called once the units stand on offer, before the
    // calling thread starts on them: a thread waiting elsewhere may be told
    // to help (helpOnce).
    void run(int count, const std::function<void(int)>& task, const std::function<void()>& offered = {});

    // For a thread already counted in the budget that would otherwise wait:
    // takes a turn at units offered through run() that still want threads,
    // on the calling thread, and returns true once the turn ends; false
    // when none stand. It adds no thread to the budget, and it never takes
    // a long-running Offer's work, which may not return while there is
    // work to do.
    bool helpOnce();

    ~WorkerPool();

private:
    WorkerPool();
    struct Impl;
    Impl* impl_;
};

} // namespace auxlib::utility

#endif
