#ifndef ENGINE_CELLENLARGEMENT_H
#define ENGINE_CELLENLARGEMENT_H

#include "engine/PixEffector.h"

#include <memory>

namespace engine {

// Which kernels a conversion's pixel stages run: the row kernels
// (engine/rows/, the default), or the per-pixel reference that states each
// rule literally (engine/reference/). Both write the same bytes; the
// reference stays so the tests can hold the row kernels to it.
enum class KernelSet { Rows, Reference };

// One cell's enlargement, resampling, alpha-grid correction and sharpening,
// cut into steps so the rows of a large cell can be shared out between
// threads:
//
//     std::unique_ptr<CellEnlargement> e = makeEnlargement(kernels, effector, cell, gridW, gridH, level, erase);
//     if (e->prepare()) {
//         for each band: e->resampleBand(band, bands);   // bands side by side
//         if (e->correct())
//             for each band: e->sharpenBand(band, bands);
//     }
//     Surface out(e->result());   // empty on any failure
//
// Whichever kernels run, the bytes and the log entries of a failure are the
// same. A step that fails returns false; steps after a failed one do
// nothing.
class CellEnlargement {
public:
    virtual ~CellEnlargement() = default;

    // Makes the target. False on failure.
    virtual bool prepare() = 0;
    // How many bands of rows the banded steps may be cut into, at most.
    virtual std::int32_t maxBands() const = 0;
    virtual bool resampleBand(std::int32_t band, std::int32_t bands) = 0;
    // The alpha-grid correction, and what the sharpening needs. False on
    // failure.
    virtual bool correct() = 0;
    bool sharpens() const { return sharpenLevel_ > 0; }
    virtual bool sharpenBand(std::int32_t band, std::int32_t bands) = 0;
    // The enlarged cell, or an empty Surface after a failure.
    virtual auxlib::draw::Surface result() const = 0;

    // Target rows of the enlarged cell.
    std::int32_t targetHeight() const { return 2 * cellHeight_; }

protected:
    CellEnlargement(const PixEffector& effector, const auxlib::draw::Surface& cell, std::int32_t gridWidth,
                    std::int32_t gridHeight, std::int32_t sharpenLevel, bool eraseAlphaGrid);

    // Target rows [begin, end) of one band; the boundaries are even, so each
    // pair of target rows, which share their source row, stays in one band.
    void bandRows(std::int32_t band, std::int32_t bands, std::int32_t& begin, std::int32_t& end) const;

    const PixEffector& effector_;
    const auxlib::draw::Surface& cell_;
    std::int32_t cellWidth_;
    std::int32_t cellHeight_;
    // The grid square in source pixels, cut to the cell.
    std::int32_t gridWidth_;
    std::int32_t gridHeight_;
    std::int32_t sharpenLevel_;
    bool eraseAlphaGrid_;
    bool failed_ = false;
};

std::unique_ptr<CellEnlargement> makeEnlargement(KernelSet kernels, const PixEffector& effector,
                                                 const auxlib::draw::Surface& cell, std::int32_t gridWidth,
                                                 std::int32_t gridHeight, std::int32_t sharpenLevel,
                                                 bool eraseAlphaGrid);

// All the steps on the calling thread, one band each.
auxlib::draw::Surface enlargeCell(KernelSet kernels, const PixEffector& effector, const auxlib::draw::Surface& cell,
                                  std::int32_t gridWidth, std::int32_t gridHeight, std::int32_t sharpenLevel,
                                  bool eraseAlphaGrid);

} // namespace engine

#endif
