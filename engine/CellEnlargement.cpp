#include "engine/CellEnlargement.h"

#include "engine/reference/Enlargement.h"
#include "engine/rows/Enlargement.h"

namespace engine {

using auxlib::draw::Surface;

CellEnlargement::CellEnlargement(const PixEffector& effector, const Surface& cell, std::int32_t gridWidth,
                                 std::int32_t gridHeight, std::int32_t sharpenLevel, bool eraseAlphaGrid)
    : effector_(effector), cell_(cell), cellWidth_(cell.width()), cellHeight_(cell.height()),
      gridWidth_(PixEffector::gridSquare(gridWidth, cell.width())),
      gridHeight_(PixEffector::gridSquare(gridHeight, cell.height())), sharpenLevel_(sharpenLevel),
      eraseAlphaGrid_(eraseAlphaGrid)
{
}

void CellEnlargement::bandRows(std::int32_t band, std::int32_t bands, std::int32_t& begin, std::int32_t& end) const
{
    const std::int32_t pairs = cellHeight_;
    begin = 2 * static_cast<std::int32_t>(std::int64_t(pairs) * band / bands);
    end = 2 * static_cast<std::int32_t>(std::int64_t(pairs) * (band + 1) / bands);
}

std::unique_ptr<CellEnlargement> makeEnlargement(KernelSet kernels, const PixEffector& effector, const Surface& cell,
                                                 std::int32_t gridWidth, std::int32_t gridHeight,
                                                 std::int32_t sharpenLevel, bool eraseAlphaGrid)
{
    if (kernels == KernelSet::Reference)
        return std::make_unique<reference::Enlargement>(effector, cell, gridWidth, gridHeight, sharpenLevel,
                                                        eraseAlphaGrid);
    return std::make_unique<rows::Enlargement>(effector, cell, gridWidth, gridHeight, sharpenLevel, eraseAlphaGrid);
}

Surface enlargeCell(KernelSet kernels, const PixEffector& effector, const Surface& cell, std::int32_t gridWidth,
                    std::int32_t gridHeight, std::int32_t sharpenLevel, bool eraseAlphaGrid)
{
    const std::unique_ptr<CellEnlargement> enlargement =
        makeEnlargement(kernels, effector, cell, gridWidth, gridHeight, sharpenLevel, eraseAlphaGrid);
    if (enlargement->prepare() && enlargement->resampleBand(0, 1) && enlargement->correct())
        enlargement->sharpenBand(0, 1);
    return enlargement->result();
}

} // namespace engine
