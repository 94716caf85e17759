#ifndef ENGINE_PIXEFFECTOR_H
#define ENGINE_PIXEFFECTOR_H

#include "auxlib/draw/Surface.h"
#include "engine/Pixwright_DLL.h"

#include <array>
#include <cstdint>

namespace engine {

// The interpolation modes in the order of the window's list. The effector
// keeps the plain number: any other value makes every target pixel opaque
// black.
enum InterpolationMode : std::int32_t {
    Nearest = PIXWRIGHT_INTERPOLATION_NEAREST,
    Bilinear = PIXWRIGHT_INTERPOLATION_BILINEAR,
    Original = PIXWRIGHT_INTERPOLATION_ORIGINAL,
    // The pixel-art modes (engine/reference/PixelArt.cpp): each source pixel's four target
    // pixels are chosen, or blended, from its neighbours in its grid square.
    Scale2x = PIXWRIGHT_INTERPOLATION_SCALE2X,
    Xbr = PIXWRIGHT_INTERPOLATION_XBR,
};

// One source pixel as the filters see it. A sample whose colour is missing
// has r = g = b = -1 and still carries an alpha: 255 when it lies outside the
// window or the picture, 0 when it is key-coloured. Only r is looked at to
// tell a missing colour.
struct Sample {
    std::int32_t r = 0;
    std::int32_t g = 0;
    std::int32_t b = 0;
    std::int32_t a = 0;
};

// The grid square, in source pixels, that the current target square is
// resampled from; a pixel belongs to it when x <= px < x + w and
// y <= py < y + h.
using SampleWindow = auxlib::draw::Rect;

// Nine values or weights of a 3 x 3 neighbourhood in row order: the row
// above, the pixel's own row, the row below, each from left to right.
using Kernel = std::array<std::int32_t, 9>;

// Enlarges the cells of one conversion to twice their width and height, grid
// square by grid square, then corrects the alpha along the grid lines and
// sharpens. Built once per conversion and never changed afterwards.
//
//     engine::PixEffector effector(interpolation, key, empty);
//     auxlib::draw::Surface out(effector.enlargeCell(cell, gridW, gridH, level, eraseAlphaGrid));
//
// Failures are logged as "..\..\PixEffector" entries; enlargeCell then returns
// an empty Surface, the other steps a nonzero ResultCode.
class PixEffector {
public:
    PixEffector(std::int32_t interpolation, const auxlib::draw::Rgba& keyColour,
                const auxlib::draw::Rgba& emptyColour)
        : interpolation(interpolation), keyColour(keyColour), emptyColour(emptyColour)
    {
    }

    // A new 32-bit picture with alpha, twice the cell's size, or an empty
    // Surface on failure. A grid size of 0 or less means one square over the
    // whole cell in that direction; the level 0 means no sharpening.
    auxlib::draw::Surface enlargeCell(const auxlib::draw::Surface& cell, std::int32_t gridWidth,
                                      std::int32_t gridHeight, std::int32_t sharpenLevel,
                                      bool eraseAlphaGrid) const;

    // Fills target pixels (0, 0) to (targetWidth - 1, targetHeight - 1), each
    // once, square by square of squareWidth x squareHeight target pixels.
    // InvalidArgument for an invalid surface or a scale below 1.
    auxlib::draw::ResultCode resample(float scale, std::int32_t squareWidth, std::int32_t squareHeight,
                                      auxlib::draw::Surface& target, std::int32_t targetWidth,
                                      std::int32_t targetHeight, auxlib::draw::Surface& source) const;

    Sample fetchSample(auxlib::draw::Surface& source, const SampleWindow& window, std::int32_t x,
                       std::int32_t y) const;

    // The colour distance the xBR mode weighs edges with; 0 exactly for equal
    // pixels.
    static std::int32_t xbrDistance(const auxlib::draw::Rgba& p, const auxlib::draw::Rgba& q);
    // The xBR blend of a pixel with the neighbour along an edge: the mean of
    // each of the four channels, halves rounded up.
    static auxlib::draw::Rgba xbrBlend(const auxlib::draw::Rgba& p, const auxlib::draw::Rgba& q);

    // The grid square in source pixels for one direction of a cell: the
    // grid cut to the cell, or the whole cell for a grid of 0 or less.
    static std::int32_t gridSquare(std::int32_t grid, std::int32_t cellSize);

    // Linear blends in which a negative end (a missing colour) drops out.
    static std::int32_t blendInt(std::int32_t a, std::int32_t b, float t);
    static float blendFloat(float a, float b, float t);
    // The mean of two neighbouring blends: (p + q) / 2 at t = 0,
    // (p + 2q + r) / 4 at t = 0.5.
    static float threeTap(std::int32_t p, std::int32_t q, std::int32_t r, float t);

    // An alpha step of this size or more between a grid-line pixel and its
    // neighbours counts as a spike.
    static constexpr std::int32_t alphaSpike = 63;

    // Replaces single-pixel alpha spikes on the grid lines x = spacingX - 1,
    // 2 * spacingX - 1, ... and the same rows by the alpha of the pixel to the
    // left or above. Bilinear pictures with alpha only; always succeeds.
    auxlib::draw::ResultCode correctAlphaGrid(auxlib::draw::Surface& surface, std::int32_t spacingX,
                                              std::int32_t spacingY) const;

    // Sharpens the colour of the pixels in rect, reading every neighbourhood
    // from a copy taken before the pass. Levels above 5 act as 5.
    auxlib::draw::ResultCode sharpen(auxlib::draw::Surface& surface, std::int32_t level,
                                     const auxlib::draw::Rect& rect) const;
    // The kernel's centre weight for level / 5.
    static std::int32_t sharpenCentreWeight(float levelFraction);
    // The weighted mean of the positive values, 0 to 255.
    static std::int32_t weightedChannel(const Kernel& values, const Kernel& weights);

    std::int32_t interpolation;
    // The transparent colour of the conversion, compared in all four bytes.
    auxlib::draw::Rgba keyColour;
    // The key's red, green and blue with alpha 0: the colour of every pixel
    // that has no source.
    auxlib::draw::Rgba emptyColour;

private:
    // The samplers of resample, one per mode: the colour of the target pixel
    // at source position (sx, sy).
    auxlib::draw::Rgba sampleNearest(auxlib::draw::Surface& source, float sx, float sy,
                                     const SampleWindow& window) const;
    auxlib::draw::Rgba sampleBilinear(auxlib::draw::Surface& source, float sx, float sy,
                                      const SampleWindow& window) const;
    auxlib::draw::Rgba sampleOriginal(auxlib::draw::Surface& source, float sx, float sy,
                                      const SampleWindow& window) const;
    // The reader of the pixel-art modes, which compare the key like any other
    // colour: the pixel's own four bytes and true inside the window and the
    // picture, false (pixel untouched) outside.
    bool readWindowPixel(auxlib::draw::Surface& source, const SampleWindow& window, std::int32_t x, std::int32_t y,
                         auxlib::draw::Rgba& pixel) const;
    auxlib::draw::Rgba sampleScale2x(auxlib::draw::Surface& source, float sx, float sy,
                                     const SampleWindow& window) const;
    auxlib::draw::Rgba sampleXbr(auxlib::draw::Surface& source, float sx, float sy, const SampleWindow& window) const;
    auxlib::draw::Rgba sharpenPixel(auxlib::draw::Surface& copy, std::int32_t x, std::int32_t y,
                                    std::int32_t centreWeight) const;
    auxlib::draw::Rgba sampleUnknownMode(auxlib::draw::Surface& source, float sx, float sy,
                                         const SampleWindow& window) const;
};

} // namespace engine

#endif
