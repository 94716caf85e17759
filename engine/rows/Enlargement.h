#ifndef ENGINE_ROWS_ENLARGEMENT_H
#define ENGINE_ROWS_ENLARGEMENT_H

#include "engine/CellEnlargement.h"
#include "engine/rows/PixelRows.h"

namespace engine::rows {

// The enlargement on rows of pixels: the cell decoded once, every band of
// target rows written by the row kernels of engine/rows/Kernels.h.
class Enlargement final : public CellEnlargement {
public:
    Enlargement(const PixEffector& effector, const auxlib::draw::Surface& cell, std::int32_t gridWidth,
                std::int32_t gridHeight, std::int32_t sharpenLevel, bool eraseAlphaGrid)
        : CellEnlargement(effector, cell, gridWidth, gridHeight, sharpenLevel, eraseAlphaGrid)
    {
    }

    // Also decodes the cell.
    bool prepare() override;
    std::int32_t maxBands() const override { return cellHeight_ > 0 ? cellHeight_ : 1; }
    bool resampleBand(std::int32_t band, std::int32_t bands) override;
    // Also takes the copy the sharpening reads.
    bool correct() override;
    bool sharpenBand(std::int32_t band, std::int32_t bands) override;
    auxlib::draw::Surface result() const override;

private:
    PixelBuffer source_;
    PixelBuffer unsharpened_;
    auxlib::draw::Surface target_;
    PixelRows targetRows_;
};

} // namespace engine::rows

#endif
