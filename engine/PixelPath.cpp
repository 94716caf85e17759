#include "engine/PixelPath.h"

#include <atomic>

namespace engine {

namespace {
std::atomic<PixelPath> chosenPath{PixelPath::Rows};
}

PixelPath pixelPath() { return chosenPath.load(std::memory_order_relaxed); }

void setPixelPath(PixelPath path) { chosenPath.store(path, std::memory_order_relaxed); }

} // namespace engine
