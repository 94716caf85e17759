#include "auxlib/utility/SDLInitializer.h"

#include "auxlib/error/Exception.h"

#include <SDL.h>
#include <csignal>
#include <cstdlib>
#include <map>
#include <mutex>

namespace auxlib::utility {

namespace {

constexpr const char* sourceName = "..\\..\\..\\auxlib\\utility\\SDLInitializer";

// Pictures are made and released on several threads at once; the count and
// SDL's own start and stop go together under one lock.
std::mutex& startLock()
{
    static std::mutex lock;
    return lock;
}

int starts = 0;
std::map<int, int>& subsystems()
{
    static std::map<int, int> table;
    return table;
}

// SDL turns SIGINT and SIGTERM into quit events for a window's event loop
// when its video starts. The engine has no event loop, so the signals would
// be swallowed: Ctrl-C would no longer stop the program that loaded it. The
// handlers the program had stay in place instead.
class SignalHandlersKept {
public:
    SignalHandlersKept()
    {
#if defined(_WIN32)
        interrupt_ = std::signal(SIGINT, SIG_DFL);
        std::signal(SIGINT, interrupt_);
        terminate_ = std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGTERM, terminate_);
#else
        sigaction(SIGINT, nullptr, &interrupt_);
        sigaction(SIGTERM, nullptr, &terminate_);
#endif
    }
    ~SignalHandlersKept()
    {
#if defined(_WIN32)
        std::signal(SIGINT, interrupt_);
        std::signal(SIGTERM, terminate_);
#else
        sigaction(SIGINT, &interrupt_, nullptr);
        sigaction(SIGTERM, &terminate_, nullptr);
#endif
    }
    SignalHandlersKept(const SignalHandlersKept&) = delete;
    SignalHandlersKept& operator=(const SignalHandlersKept&) = delete;

private:
#if defined(_WIN32)
    void (*interrupt_)(int);
    void (*terminate_)(int);
#else
    struct sigaction interrupt_ {};
    struct sigaction terminate_ {};
#endif
};

template <typename Error>
[[noreturn]] void raise(int line, const char* detail)
{
    Error error(sourceName, line);
    error.setDetail(std::string(detail));
    throw error;
}

} // namespace

void SDLInitializer::acquire(int flags)
{
    std::lock_guard<std::mutex> guard(startLock());
    const SignalHandlersKept handlers;
    if (starts++ == 0) {
        // The engine works on in-memory surfaces only; without this SDL's
        // video subsystem would look for a display and fail on a server.
#if defined(_WIN32)
        if (std::getenv("SDL_VIDEODRIVER") == nullptr)
            _putenv_s("SDL_VIDEODRIVER", "dummy");
#else
        setenv("SDL_VIDEODRIVER", "dummy", 0);
#endif
        if (SDL_Init(0) != 0) {
            // A failed start is undone, so the caller holds nothing and the
            // next user tries again instead of finding SDL half started.
            --starts;
            raise<error::RuntimeError>(125, "SDLの初期化に失敗しました。");
        }
    }
    int& count = subsystems()[flags];
    if (count++ == 0) {
        if (SDL_InitSubSystem(static_cast<Uint32>(flags)) != 0) {
            --count;
            if (--starts == 0) {
                SDL_Quit();
                subsystems().clear();
            }
            raise<error::RuntimeError>(93, "SDL SubSystem の初期化に失敗しました。");
        }
    }
}

void SDLInitializer::release(int flags)
{
    std::lock_guard<std::mutex> guard(startLock());
    if (subsystems().find(flags) == subsystems().end())
        raise<error::LogicError>(103, "SDL SubSystem : 初期化前に終了処理が行われています。");
    if (--starts == 0) {
        SDL_Quit();
        subsystems().clear();
    }
}

int SDLInitializer::startCount()
{
    std::lock_guard<std::mutex> guard(startLock());
    return starts;
}

int SDLInitializer::subsystemCount(int flags)
{
    std::lock_guard<std::mutex> guard(startLock());
    auto entry = subsystems().find(flags);
    return entry == subsystems().end() ? -1 : entry->second;
}

} // namespace auxlib::utility
