// The rules of the effector that both kernel sets share.
#include "engine/PixEffector.h"

#include "engine/CellEnlargement.h"

#include <algorithm>

namespace engine {

using auxlib::draw::Surface;

Surface PixEffector::enlargeCell(const Surface& cell, std::int32_t gridWidth, std::int32_t gridHeight,
                                 std::int32_t sharpenLevel, bool eraseAlphaGrid) const
{
    return engine::enlargeCell(KernelSet::Reference, *this, cell, gridWidth, gridHeight, sharpenLevel,
                               eraseAlphaGrid);
}

std::int32_t PixEffector::gridSquare(std::int32_t grid, std::int32_t cellSize)
{
    return grid > 0 ? std::max(1, std::min(grid, cellSize)) : cellSize;
}

std::int32_t PixEffector::sharpenCentreWeight(float levelFraction)
{
    // Written so that NaN falls to 0 along with the negative values.
    float v = levelFraction >= 0.0f ? levelFraction : 0.0f;
    if (v >= 1.0f)
        v = 1.0f;
    // The float v is a shade above level / 5 (0.2f is 0.200000003), so
    // 40 - 30 v lies just below a whole number and level 1 gives 33, not 34.
    return static_cast<std::int32_t>(40.0 - 30.0 * static_cast<double>(v));
}

} // namespace engine
