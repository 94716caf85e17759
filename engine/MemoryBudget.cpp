#include "engine/MemoryBudget.h"

#include "engine/Pixwright_DLL.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <unistd.h>
#endif

namespace engine {

namespace {

struct Budget {
    std::mutex lock;
    std::condition_variable freed;
    std::uint64_t limit = 0; // 0: half the machine's memory
    std::uint64_t reserved = 0;
    std::uint64_t peak = 0;
};

Budget& budget()
{
    static Budget b;
    return b;
}

std::uint64_t machineMemory()
{
#if defined(_WIN32)
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status))
        return status.ullTotalPhys;
    return 0;
#else
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long size = sysconf(_SC_PAGESIZE);
    return pages > 0 && size > 0 ? std::uint64_t(pages) * std::uint64_t(size) : 0;
#endif
}

std::uint64_t resolvedLimit(std::uint64_t limit)
{
    if (limit != 0)
        return limit;
    const std::uint64_t machine = machineMemory();
    // A machine that does not say gets a budget no picture the limits take
    // can exceed: every conversion then runs as the threads allow.
    return machine != 0 ? machine / 2 : ~std::uint64_t(0);
}

} // namespace

std::uint64_t estimatedPeak(std::uint32_t width, std::uint32_t height)
{
    const std::uint64_t pixels = std::uint64_t(width) * height;
    return pixels * (4 + 4 + 16 + 16);
}

std::uint64_t memoryBudget()
{
    Budget& b = budget();
    std::lock_guard<std::mutex> guard(b.lock);
    return resolvedLimit(b.limit);
}

MemoryReservation::MemoryReservation(std::uint64_t bytes)
{
    Budget& b = budget();
    std::unique_lock<std::mutex> guard(b.lock);
    if (bytes > resolvedLimit(b.limit))
        return;
    b.freed.wait(guard, [&] { return b.reserved + bytes <= resolvedLimit(b.limit); });
    b.reserved += bytes;
    b.peak = std::max(b.peak, b.reserved);
    bytes_ = bytes;
    held_ = true;
}

MemoryReservation::~MemoryReservation()
{
    if (!held_)
        return;
    Budget& b = budget();
    {
        std::lock_guard<std::mutex> guard(b.lock);
        b.reserved -= bytes_;
    }
    b.freed.notify_all();
}

std::uint64_t peakReserved()
{
    Budget& b = budget();
    std::lock_guard<std::mutex> guard(b.lock);
    return b.peak;
}

} // namespace engine

extern "C" PIXWRIGHT_API void setMemoryLimit(long long bytes)
{
    engine::Budget& b = engine::budget();
    {
        std::lock_guard<std::mutex> guard(b.lock);
        b.limit = bytes > 0 ? static_cast<std::uint64_t>(bytes) : 0;
    }
    // A larger budget may admit conversions that are waiting.
    b.freed.notify_all();
}
