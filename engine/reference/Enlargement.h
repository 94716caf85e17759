#ifndef ENGINE_REFERENCE_ENLARGEMENT_H
#define ENGINE_REFERENCE_ENLARGEMENT_H

#include "engine/CellEnlargement.h"

namespace engine::reference {

// The enlargement pixel by pixel, through the effector's per-pixel passes
// (PixEffector::resample, correctAlphaGrid, sharpen), each over the whole
// cell: the reference does not cut its rows into bands.
class Enlargement final : public CellEnlargement {
public:
    Enlargement(const PixEffector& effector, const auxlib::draw::Surface& cell, std::int32_t gridWidth,
                std::int32_t gridHeight, std::int32_t sharpenLevel, bool eraseAlphaGrid)
        : CellEnlargement(effector, cell, gridWidth, gridHeight, sharpenLevel, eraseAlphaGrid)
    {
    }

    bool prepare() override;
    std::int32_t maxBands() const override { return 1; }
    bool resampleBand(std::int32_t band, std::int32_t bands) override;
    bool correct() override;
    bool sharpenBand(std::int32_t band, std::int32_t bands) override;
    auxlib::draw::Surface result() const override;

private:
    bool fail();

    auxlib::draw::Surface target_;
};

} // namespace engine::reference

#endif
