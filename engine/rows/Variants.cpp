// The variants PixSaver writes, copied row by row from a picture in the
// engine's 32-bit format.
#include "engine/rows/Kernels.h"

namespace engine::rows {

using auxlib::draw::Surface;

void copyColour(const Surface& picture, const Surface& colour)
{
    const PixelRows in = pixelRowsOf(picture);
    SDL_Surface* out = colour.sdl();
    for (std::int32_t y = 0; y < in.height; ++y) {
        const Pixel* src = in.row(y);
        Uint8* dst = static_cast<Uint8*>(out->pixels) + static_cast<std::ptrdiff_t>(y) * out->pitch;
        for (std::int32_t x = 0; x < in.width; ++x) {
            dst[3 * x] = redOf(src[x]);
            dst[3 * x + 1] = greenOf(src[x]);
            dst[3 * x + 2] = blueOf(src[x]);
        }
    }
}

void copyAlpha(const Surface& picture, const Surface& grey)
{
    // With the grey palette, index a is the level (a, a, a).
    const PixelRows in = pixelRowsOf(picture);
    SDL_Surface* out = grey.sdl();
    for (std::int32_t y = 0; y < in.height; ++y) {
        const Pixel* src = in.row(y);
        Uint8* dst = static_cast<Uint8*>(out->pixels) + static_cast<std::ptrdiff_t>(y) * out->pitch;
        for (std::int32_t x = 0; x < in.width; ++x)
            dst[x] = alphaOf(src[x]);
    }
}

} // namespace engine::rows
