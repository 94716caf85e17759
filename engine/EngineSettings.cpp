#include "engine/EngineSettings.h"

#include "auxlib/utility/WorkerPool.h"

#include <mutex>
#include <thread>

namespace engine {

namespace {

struct StoredSettings {
    int pngFilter = WPX_PNG_FILTER_DEFAULT;
    int pngCompression = WPX_PNG_COMPRESSION_DEFAULT;
    bool pngPalette = false;
    ProgressReporter progress;
    WorkReporter work;
};

std::mutex& settingsLock()
{
    static std::mutex lock;
    return lock;
}

StoredSettings& stored()
{
    static StoredSettings settings;
    return settings;
}

} // namespace

EngineSettings currentSettings()
{
    std::lock_guard<std::mutex> guard(settingsLock());
    const StoredSettings& s = stored();
    EngineSettings settings;
    settings.threads = auxlib::utility::WorkerPool::shared().threads();
    settings.pngFilter = s.pngFilter;
    settings.pngCompression = s.pngCompression;
    settings.pngPalette = s.pngPalette;
    settings.progress = s.progress;
    settings.work = s.work;
    return settings;
}

} // namespace engine

extern "C" PIXWRIGHT_API void setThreadCount(int threads)
{
    // More threads than there is work for are never busy, but a caller's
    // absurd number must not reach the thread library.
    const unsigned cores = std::thread::hardware_concurrency();
    const int resolved = threads <= 0 ? (cores == 0 ? 1 : static_cast<int>(cores)) : (threads > 256 ? 256 : threads);
    auxlib::utility::WorkerPool::shared().setThreads(resolved);
}

extern "C" PIXWRIGHT_API void runTasks(int count, PixwrightTask task, void* user)
{
    if (task == nullptr)
        return;
    auxlib::utility::WorkerPool::shared().run(count, [task, user](int index) { task(user, index); });
}

extern "C" PIXWRIGHT_API void setPngFilter(int filter)
{
    std::lock_guard<std::mutex> guard(engine::settingsLock());
    engine::stored().pngFilter = filter >= WPX_PNG_FILTER_DEFAULT && filter <= WPX_PNG_FILTER_ALL
                                     ? filter
                                     : WPX_PNG_FILTER_DEFAULT;
}

extern "C" PIXWRIGHT_API void setPngCompression(int mode)
{
    // The engine's numbers are the saver's.
    static_assert(PIXWRIGHT_PNG_COMPRESSION_FAST == WPX_PNG_COMPRESSION_FAST
                      && PIXWRIGHT_PNG_COMPRESSION_SMALL == WPX_PNG_COMPRESSION_SMALL,
                  "one numbering of the PNG compressions");
    std::lock_guard<std::mutex> guard(engine::settingsLock());
    engine::stored().pngCompression = mode == PIXWRIGHT_PNG_COMPRESSION_FAST || mode == PIXWRIGHT_PNG_COMPRESSION_SMALL
                                          ? mode
                                          : PIXWRIGHT_PNG_COMPRESSION_DEFAULT;
}

extern "C" PIXWRIGHT_API void setPngPalette(int on)
{
    std::lock_guard<std::mutex> guard(engine::settingsLock());
    engine::stored().pngPalette = on != 0;
}

extern "C" PIXWRIGHT_API void setProgressHandler(PixwrightProgressHandler handler, void* user)
{
    std::lock_guard<std::mutex> guard(engine::settingsLock());
    engine::stored().progress = engine::ProgressReporter{handler, handler != nullptr ? user : nullptr};
}

extern "C" PIXWRIGHT_API void setWorkProgressHandler(PixwrightWorkHandler handler, void* user)
{
    std::lock_guard<std::mutex> guard(engine::settingsLock());
    engine::stored().work = engine::WorkReporter{handler, handler != nullptr ? user : nullptr};
}
