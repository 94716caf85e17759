#include "engine/EngineSettings.h"

#include <mutex>
#include <thread>

namespace engine {

namespace {

struct StoredSettings {
    int threads = 0; // 0: the core count
    int pngFilter = WPX_PNG_FILTER_DEFAULT;
    ProgressReporter progress;
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

// The machine's core count, at least 1.
int coreCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
}

} // namespace

EngineSettings currentSettings()
{
    std::lock_guard<std::mutex> guard(settingsLock());
    const StoredSettings& s = stored();
    EngineSettings settings;
    settings.threads = s.threads > 0 ? s.threads : coreCount();
    settings.pngFilter = s.pngFilter;
    settings.progress = s.progress;
    return settings;
}

} // namespace engine

extern "C" PIXWRIGHT_API void setThreadCount(int threads)
{
    std::lock_guard<std::mutex> guard(engine::settingsLock());
    // More threads than cells or rows are never started, but a caller's
    // absurd number must not reach the thread library.
    engine::stored().threads = threads <= 0 ? 0 : (threads > 256 ? 256 : threads);
}

extern "C" PIXWRIGHT_API void setPngFilter(int filter)
{
    std::lock_guard<std::mutex> guard(engine::settingsLock());
    engine::stored().pngFilter = filter >= WPX_PNG_FILTER_DEFAULT && filter <= WPX_PNG_FILTER_ALL
                                     ? filter
                                     : WPX_PNG_FILTER_DEFAULT;
}

extern "C" PIXWRIGHT_API void setProgressHandler(PixwrightProgressHandler handler, void* user)
{
    std::lock_guard<std::mutex> guard(engine::settingsLock());
    engine::stored().progress = engine::ProgressReporter{handler, handler != nullptr ? user : nullptr};
}
