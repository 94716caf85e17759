#ifndef ENGINE_PIXELROWS_H
#define ENGINE_PIXELROWS_H

#include "auxlib/draw/Surface.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace engine {

// One pixel as the value of the engine's own 32-bit format: red in the low
// byte, then green, blue and alpha (masks 0xFF, 0xFF00, 0xFF0000,
// 0xFF000000). Two pixels are the same colour exactly when the values are
// equal, which is how the key is compared (all four bytes).
using Pixel = std::uint32_t;

constexpr Pixel packPixel(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    return Pixel(r) | Pixel(g) << 8 | Pixel(b) << 16 | Pixel(a) << 24;
}
constexpr Pixel packPixel(const auxlib::draw::Rgba& c) { return packPixel(c.r, c.g, c.b, c.a); }
constexpr std::uint8_t redOf(Pixel p) { return std::uint8_t(p); }
constexpr std::uint8_t greenOf(Pixel p) { return std::uint8_t(p >> 8); }
constexpr std::uint8_t blueOf(Pixel p) { return std::uint8_t(p >> 16); }
constexpr std::uint8_t alphaOf(Pixel p) { return std::uint8_t(p >> 24); }

// Rows of pixels: the memory of a picture in the engine's 32-bit format, or
// a buffer of its own. stride counts pixels from one row to the next.
struct PixelRows {
    Pixel* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::ptrdiff_t stride = 0;

    Pixel* row(std::int32_t y) const { return pixels + y * stride; }
};

// A picture decoded once into pixels, with getPixel's reading of every
// format: palette pictures give their palette colour, pictures without an
// alpha channel alpha 255.
class PixelBuffer {
public:
    PixelBuffer() = default;
    // Empty (no pixels) when the memory cannot be had.
    PixelBuffer(std::int32_t width, std::int32_t height);

    bool empty() const { return data_ == nullptr; }
    PixelRows rows() const { return PixelRows{data_.get(), width_, height_, width_}; }

private:
    std::unique_ptr<Pixel[]> data_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

// True for a valid picture whose memory is the engine's 32-bit format with
// alpha, so its rows can be worked on in place.
bool isEnginePixelFormat(const auxlib::draw::Surface& picture);

// The rows of such a picture (the picture must be locked, or need no lock).
PixelRows pixelRowsOf(const auxlib::draw::Surface& picture);

// Decodes a whole picture of any format into a buffer of its size, reading
// the format once per picture rather than once per pixel. Empty on failure
// (an invalid picture, no memory).
PixelBuffer decodePixels(const auxlib::draw::Surface& picture);

} // namespace engine

#endif
