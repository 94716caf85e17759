#ifndef ENGINE_MEMORYBUDGET_H
#define ENGINE_MEMORYBUDGET_H

#include <cstdint>

namespace engine {

// How much memory conversions running side by side may take together. Each
// conversion reserves its estimated peak before it decodes its picture and
// waits while the others' reservations leave no room for it, so a folder
// of large pictures run on several threads takes turns instead of taking
// the machine's memory several times over. A picture whose peak alone is
// past the budget is refused.

// The estimated peak of converting a width x height picture: the decoded
// picture and its cut cells (4 bytes a pixel each), the doubled picture and
// the variant made from it (16 bytes a source pixel each).
std::uint64_t estimatedPeak(std::uint32_t width, std::uint32_t height);

// The budget: set by setMemoryLimit, or half the machine's memory.
std::uint64_t memoryBudget();

class MemoryReservation {
public:
    // Waits until `bytes` fit beside the other reservations; held() is false
    // at once (and nothing is reserved) when they could never fit.
    explicit MemoryReservation(std::uint64_t bytes);
    ~MemoryReservation();
    MemoryReservation(const MemoryReservation&) = delete;
    MemoryReservation& operator=(const MemoryReservation&) = delete;

    bool held() const { return held_; }

private:
    std::uint64_t bytes_ = 0;
    bool held_ = false;
};

// The most ever reserved at once in this process (for tests).
std::uint64_t peakReserved();

} // namespace engine

#endif
