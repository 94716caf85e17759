#ifndef ENGINE_CELLENLARGEMENT_H
#define ENGINE_CELLENLARGEMENT_H

#include "engine/PixEffector.h"
#include "engine/PixelRows.h"

namespace engine {

// PixEffector::enlargeCell on rows of pixels, cut into steps so that the
// rows of one large cell can be shared out between threads:
//
//     CellEnlargement e(effector, cell, gridW, gridH, level, eraseAlphaGrid);
//     if (e.prepare()) {
//         for each band: e.resampleBand(band, bands);   // bands side by side
//         if (e.correct())
//             for each band: e.sharpenBand(band, bands);
//     }
//     Surface out(e.result());   // empty on any failure
//
// The bytes are those of enlargeCell, and so are the log entries of a
// failure. Steps after a failed one do nothing.
class CellEnlargement {
public:
    CellEnlargement(const PixEffector& effector, const auxlib::draw::Surface& cell, std::int32_t gridWidth,
                    std::int32_t gridHeight, std::int32_t sharpenLevel, bool eraseAlphaGrid);

    // Decodes the cell and makes the target. False on failure.
    bool prepare();
    // Target rows of the picture, for choosing a number of bands.
    std::int32_t targetHeight() const { return 2 * cellHeight_; }
    std::int64_t targetPixels() const { return 4 * std::int64_t(cellWidth_) * cellHeight_; }
    void resampleBand(std::int32_t band, std::int32_t bands);
    // The alpha-grid correction, and the copy the sharpening reads. False on
    // failure.
    bool correct();
    bool sharpens() const { return sharpenLevel_ > 0; }
    void sharpenBand(std::int32_t band, std::int32_t bands);
    // The enlarged cell, or an empty Surface after a failure.
    auxlib::draw::Surface result() const;

private:
    void bandRows(std::int32_t band, std::int32_t bands, std::int32_t& begin, std::int32_t& end) const;

    const PixEffector& effector_;
    const auxlib::draw::Surface& cell_;
    std::int32_t cellWidth_;
    std::int32_t cellHeight_;
    std::int32_t gridWidth_;
    std::int32_t gridHeight_;
    std::int32_t sharpenLevel_;
    bool eraseAlphaGrid_;
    bool failed_ = false;
    PixelBuffer source_;
    PixelBuffer unsharpened_;
    auxlib::draw::Surface target_;
    PixelRows targetRows_;
};

// All the steps above on the calling thread: the row path's enlargeCell.
auxlib::draw::Surface enlargeCellRows(const PixEffector& effector, const auxlib::draw::Surface& cell,
                                      std::int32_t gridWidth, std::int32_t gridHeight, std::int32_t sharpenLevel,
                                      bool eraseAlphaGrid);

} // namespace engine

#endif
