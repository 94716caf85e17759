#include "auxlib/error/Exception.h"
#include "auxlib/utility/SDLInitializer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>

using auxlib::utility::SDLInitializer;

TEST(SDLInitializer, ReleaseWithoutAcquireThrowsLogicError)
{
    try {
        SDLInitializer::release(SDL_INIT_VIDEO);
        FAIL() << "no exception";
    } catch (const auxlib::error::LogicError& e) {
        EXPECT_STREQ(e.what(), "Exception!!\n  Program : ..\\..\\..\\auxlib\\utility\\SDLInitializer(103)\n"
                               "  Detail : SDL SubSystem : 初期化前に終了処理が行われています。");
        EXPECT_EQ(e.line(), 103);
    }
    EXPECT_EQ(SDLInitializer::startCount(), 0);
}

TEST(SDLInitializer, TwoUsersStartAndStopSdlOnce)
{
    ASSERT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
    SDLInitializer::acquire(SDL_INIT_VIDEO);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    EXPECT_EQ(SDLInitializer::subsystemCount(SDL_INIT_VIDEO), 1);
    SDLInitializer::acquire(SDL_INIT_VIDEO);
    EXPECT_EQ(SDLInitializer::startCount(), 2);
    EXPECT_EQ(SDLInitializer::subsystemCount(SDL_INIT_VIDEO), 2);

    SDLInitializer::release(SDL_INIT_VIDEO);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "SDL stopped while a user remains";
    EXPECT_EQ(SDLInitializer::subsystemCount(SDL_INIT_VIDEO), 2) << "a subsystem count is never lowered";
    SDLInitializer::release(SDL_INIT_VIDEO);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
    EXPECT_EQ(SDLInitializer::startCount(), 0);
    EXPECT_EQ(SDLInitializer::subsystemCount(SDL_INIT_VIDEO), -1) << "the table is emptied with SDL_Quit";

    // After SDL stopped, releasing again is a call in the wrong order.
    EXPECT_THROW(SDLInitializer::release(SDL_INIT_VIDEO), auxlib::error::LogicError);
}

TEST(SDLInitializer, RunsWithoutADisplay)
{
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("DISPLAY");
    EXPECT_NO_THROW(SDLInitializer::acquire(SDL_INIT_VIDEO));
    EXPECT_STREQ(getenv("SDL_VIDEODRIVER"), "dummy");
    SDLInitializer::release(SDL_INIT_VIDEO);
}

TEST(SDLInitializer, FailingSubsystemThrowsRuntimeErrorOfLine93)
{
    // A driver name SDL does not know makes the video subsystem fail to start.
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    try {
        SDLInitializer::acquire(SDL_INIT_VIDEO);
        FAIL() << "no exception";
    } catch (const auxlib::error::RuntimeError& e) {
        EXPECT_STREQ(e.what(), "Exception!!\n  Program : ..\\..\\..\\auxlib\\utility\\SDLInitializer(93)\n"
                               "  Detail : SDL SubSystem の初期化に失敗しました。");
    }
    // The failed start is undone: no user is left and SDL is stopped again,
    // so the next acquire starts from scratch and succeeds.
    EXPECT_EQ(SDLInitializer::startCount(), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
    EXPECT_THROW(SDLInitializer::release(SDL_INIT_VIDEO), auxlib::error::LogicError);

    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDLInitializer::acquire(SDL_INIT_VIDEO);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    SDLInitializer::release(SDL_INIT_VIDEO);
    EXPECT_EQ(SDLInitializer::startCount(), 0);
}

TEST(SDLInitializer, FailedStartWhileOthersHoldSdlKeepsTheirStart)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDLInitializer::acquire(0); // SDL itself, no subsystem
    EXPECT_EQ(SDLInitializer::startCount(), 1);
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    EXPECT_THROW(SDLInitializer::acquire(SDL_INIT_VIDEO), auxlib::error::RuntimeError);
    EXPECT_EQ(SDLInitializer::startCount(), 1);
    EXPECT_EQ(SDLInitializer::subsystemCount(SDL_INIT_VIDEO), 0);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDLInitializer::release(0);
    EXPECT_EQ(SDLInitializer::startCount(), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

#if !defined(_WIN32)
namespace {
volatile sig_atomic_t interrupts = 0;
void countInterrupt(int) { ++interrupts; }
} // namespace
#endif

TEST(SDLInitializer, StartingVideoLeavesTheProgramsSignalHandlers)
{
#if defined(_WIN32)
    GTEST_SKIP() << "reads the handlers with sigaction, which Windows does not have";
#else
    using auxlib::utility::SDLInitializer;
    // The default action, and one of the program's own.
    struct sigaction before {};
    sigaction(SIGTERM, nullptr, &before);
    ASSERT_EQ(before.sa_handler, SIG_DFL);
    struct sigaction own {};
    own.sa_handler = countInterrupt;
    sigemptyset(&own.sa_mask);
    ASSERT_EQ(sigaction(SIGINT, &own, nullptr), 0);

    SDLInitializer::acquire(SDL_INIT_VIDEO);
    struct sigaction during {};
    sigaction(SIGTERM, nullptr, &during);
    EXPECT_EQ(during.sa_handler, SIG_DFL) << "SDL would turn SIGTERM into a quit event no one reads";
    sigaction(SIGINT, nullptr, &during);
    EXPECT_EQ(during.sa_handler, countInterrupt);
    raise(SIGINT);
    EXPECT_EQ(interrupts, 1);
    SDLInitializer::release(SDL_INIT_VIDEO);

    struct sigaction after {};
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, countInterrupt);
    signal(SIGINT, SIG_DFL);
#endif
}
