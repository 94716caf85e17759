#include "auxlib/utility/WorkerThreads.h"

#include <SDL.h>
#include <SDL_thread.h>

namespace auxlib::utility {

WorkerThreads::WorkerThreads(int count, std::function<void()> work) : work_(std::move(work))
{
    for (int i = 0; i < count; ++i) {
        SDL_Thread* thread = SDL_CreateThread(&WorkerThreads::run, this);
        if (thread == nullptr)
            break;
        threads_.push_back(thread);
    }
}

WorkerThreads::~WorkerThreads()
{
    for (SDL_Thread* thread : threads_)
        SDL_WaitThread(thread, nullptr);
}

int WorkerThreads::run(void* self)
{
    static_cast<WorkerThreads*>(self)->work_();
    return 0;
}

} // namespace auxlib::utility
