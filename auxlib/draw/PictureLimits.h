#ifndef AUXLIB_DRAW_PICTURELIMITS_H
#define AUXLIB_DRAW_PICTURELIMITS_H

#include <cstdint>

namespace auxlib::draw {

// Bounds a decoded picture must stay within; checked before any pixel memory is allocated.
// SDL 1.2 itself makes no surface 16384 pixels wide or wider (its pitch is 16-bit), so
// the width is held to 16383 whatever maxWidth says.
struct PictureLimits {
    std::uint32_t maxWidth = 16384;
    std::uint32_t maxHeight = 16384;
    std::uint64_t maxDecodedBytes = 16384ull * 16384 * 4; // of the surface's pixel memory
};

// SDL 1.2 refuses surfaces this wide or wider: 4-byte pixels would overflow
// its 16-bit pitch. Its heights are 16-bit too.
inline constexpr std::uint32_t sdlWidthLimit = 16383;
inline constexpr std::uint32_t sdlHeightLimit = 65535;

// Whether a picture of this size, in SDL surface rows of bytesPerPixel
// bytes a pixel (rows padded to 4 bytes, as SDL pads them), may be
// allocated. A size of no pixels never fits.
inline bool fitsLimits(const PictureLimits& limits, std::uint32_t width, std::uint32_t height, int bytesPerPixel)
{
    if (width == 0 || height == 0 || width > limits.maxWidth || width > sdlWidthLimit || height > limits.maxHeight
        || height > sdlHeightLimit)
        return false;
    const std::uint64_t pitch = (std::uint64_t(width) * std::uint64_t(bytesPerPixel) + 3) / 4 * 4;
    return pitch * height <= limits.maxDecodedBytes;
}

} // namespace auxlib::draw

#endif
