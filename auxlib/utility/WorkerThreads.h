#ifndef AUXLIB_UTILITY_WORKERTHREADS_H
#define AUXLIB_UTILITY_WORKERTHREADS_H

#include <functional>
#include <vector>

struct SDL_Thread;

namespace auxlib::utility {

// A few threads that each run one function until it returns, joined when
// the object goes. They are started through SDL because SDL 1.2 keeps an
// error text per thread only for threads it started; every other thread
// shares one text, and the savers report their failures through it.
// Threads that cannot be started are simply not there: the work function
// must not depend on how many run.
class WorkerThreads {
public:
    WorkerThreads(int count, std::function<void()> work);
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;


private:
    static int run(void* self);

    std::function<void()> work_;
    std::vector<SDL_Thread*> threads_;
};

} // namespace auxlib::utility

#endif
