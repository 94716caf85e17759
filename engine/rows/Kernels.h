// The row kernels: the same rules as the per-pixel passes of PixEffector
// and PixSaver (engine/reference/, which stay as their reference), read and written
// through row pointers, with the pixel format decoded once per picture. Every
// pass writes exactly the bytes of its reference; the tests hold them to it.
//
// The passes that write whole rows take a band [rowBegin, rowEnd) of target
// rows, so the rows of one large picture can be shared out between threads;
// the bands of one pass may run at the same time, each writes only its rows.
#ifndef ENGINE_ROWS_KERNELS_H
#define ENGINE_ROWS_KERNELS_H

#include "engine/PixEffector.h"
#include "engine/rows/PixelRows.h"

namespace engine::rows {

// The 2x enlargement, square by square: target rows [rowBegin, rowEnd) of a
// target twice the source's size. gridWidth and gridHeight are the square
// size in source pixels (1 to the source's size).
void resample(const PixEffector& effector, const PixelRows& source, const PixelRows& target, std::int32_t gridWidth,
              std::int32_t gridHeight, std::int32_t rowBegin, std::int32_t rowEnd);

// One target row Y of the pixel-art modes (engine/rows/PixelArt.cpp): the
// 2 * source.width pixels at out, square by square as resample.
void scale2xRow(const PixelRows& source, Pixel* out, std::int32_t Y, std::int32_t gridWidth, std::int32_t gridHeight,
                Pixel key, Pixel empty);
void xbrRow(const PixelRows& source, Pixel* out, std::int32_t Y, std::int32_t gridWidth, std::int32_t gridHeight,
            Pixel key, Pixel empty);

// The alpha-grid correction of the whole picture, in place.
void correctAlphaGrid(const PixEffector& effector, const PixelRows& picture, std::int32_t spacingX,
                      std::int32_t spacingY);

// Sharpened rows [rowBegin, rowEnd) of target, every neighbourhood read from
// unsharpened, a copy of the picture taken before the pass.
void sharpen(const PixEffector& effector, const PixelRows& unsharpened, const PixelRows& target,
             std::int32_t centreWeight, std::int32_t rowBegin, std::int32_t rowEnd);

// The colour variant of a picture in the engine's 32-bit format: its red,
// green and blue bytes into colour, a picture of the same size in the
// engine's 24-bit format.
void copyColour(const auxlib::draw::Surface& picture, const auxlib::draw::Surface& colour);
// The alpha variant: each pixel's alpha as the index of grey, an 8-bit
// picture of the same size with the grey palette.
void copyAlpha(const auxlib::draw::Surface& picture, const auxlib::draw::Surface& grey);

} // namespace engine::rows

#endif
