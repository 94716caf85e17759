// The enlargement of PixEffector::resample on rows of pixels.
//
// At scale 2 every target pixel (X, Y) samples the source at (X / 2, Y / 2):
// the pixel x0 = X >> 1 itself, and for odd X halfway to x0 + 1. The fraction
// is therefore 0 or exactly one half, and every float blend of the reference
// comes out as an exact integer formula; these are used here. The grid
// square holding x0 spans [x0 - x0 % gw, that + gw), cut at the picture's
// edge; a neighbour beyond it is missing, just as fetchSample says.
#include "engine/rows/Kernels.h"

#include <algorithm>

namespace engine::rows {

namespace {

// A sample as fetchSample gives it: colour -1 when missing.
struct Sample {
    std::int32_t r, g, b, a;
};

inline Sample fetch(Pixel p, bool inside, Pixel key)
{
    if (!inside)
        return Sample{-1, -1, -1, 255};
    if (p == key)
        return Sample{-1, -1, -1, 0};
    return Sample{redOf(p), greenOf(p), blueOf(p), alphaOf(p)};
}

// blendInt at t = 0 or t = 1/2: (1 - t) a + t b truncated, with a missing end
// dropping out whatever t is.
inline std::int32_t blend(std::int32_t a, std::int32_t b, bool half)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    return half ? (a + b) >> 1 : a;
}

// (p + q) >> 1 in each of the four bytes at once: the shared bits, plus half
// the differing ones with the bit that would cross into the next byte
// masked off.
inline Pixel mean(Pixel p, Pixel q) { return (p & q) + (((p ^ q) >> 1) & 0x7F7F7F7Fu); }

// The end of the grid square (in one direction) that holds source position v.
inline std::int32_t squareEnd(std::int32_t v, std::int32_t grid, std::int32_t size)
{
    return std::min(v - v % grid + grid, size);
}

inline std::int32_t squareStart(std::int32_t v, std::int32_t grid) { return v - v % grid; }

void nearestRow(const PixelRows& source, Pixel* out, std::int32_t y0, Pixel key, Pixel empty)
{
    const Pixel* in = source.row(y0);
    for (std::int32_t x = 0; x < source.width; ++x) {
        const Pixel p = in[x] == key ? empty : in[x];
        out[2 * x] = p;
        out[2 * x + 1] = p;
    }
}

void bilinearRow(const PixelRows& source, Pixel* out, std::int32_t Y, std::int32_t gw, std::int32_t gh, Pixel key,
                 Pixel empty)
{
    const std::int32_t y0 = Y >> 1;
    const bool halfY = (Y & 1) != 0;
    const bool belowInside = y0 + 1 < squareEnd(y0, gh, source.height);
    const Pixel* top = source.row(y0);
    const Pixel* bottom = belowInside ? source.row(y0 + 1) : top;
    const std::int32_t width = 2 * source.width;
    for (std::int32_t X = 0; X < width; ++X) {
        const std::int32_t x0 = X >> 1;
        const bool halfX = (X & 1) != 0;
        const bool rightInside = x0 + 1 < squareEnd(x0, gw, source.width);
        const std::int32_t x1 = rightInside ? x0 + 1 : x0;
        if (rightInside && belowInside) {
            const Pixel a = top[x0], b = top[x1], c = bottom[x0], d = bottom[x1];
            if (a != key && b != key && c != key && d != key) {
                // All four samples there: the blends of the rule are plain
                // means, each truncated, channel by channel.
                if (!halfX)
                    out[X] = halfY ? mean(a, c) : a;
                else
                    out[X] = halfY ? mean(mean(a, b), mean(c, d)) : mean(a, b);
                continue;
            }
        }
        const Sample p00 = fetch(top[x0], true, key);
        const Sample p10 = fetch(top[x1], rightInside, key);
        const Sample p01 = fetch(bottom[x0], belowInside, key);
        const Sample p11 = fetch(bottom[x1], rightInside && belowInside, key);
        if (p00.r < 0 && p10.r < 0 && p01.r < 0 && p11.r < 0) {
            out[X] = empty;
            continue;
        }
        auto channel = [&](std::int32_t Sample::*c) {
            return std::uint8_t(blend(blend(p00.*c, p10.*c, halfX), blend(p01.*c, p11.*c, halfX), halfY) & 0xFF);
        };
        out[X] = packPixel(channel(&Sample::r), channel(&Sample::g), channel(&Sample::b), channel(&Sample::a));
    }
}

void originalRow(const PixelRows& source, Pixel* out, std::int32_t Y, std::int32_t gw, std::int32_t gh, Pixel key,
                 Pixel empty)
{
    const std::int32_t y0 = Y >> 1;
    const bool halfY = (Y & 1) != 0;
    const std::int32_t top = std::max(squareStart(y0, gh), 0);
    const std::int32_t bottom = squareEnd(y0, gh, source.height);
    const Pixel* rows[3] = {y0 - 1 >= top ? source.row(y0 - 1) : nullptr, source.row(y0),
                            y0 + 1 < bottom ? source.row(y0 + 1) : nullptr};
    const std::int32_t width = 2 * source.width;
    for (std::int32_t X = 0; X < width; ++X) {
        const std::int32_t x0 = X >> 1;
        const Pixel centre = rows[1][x0];
        if (centre == key) {
            out[X] = empty;
            continue;
        }
        const bool halfX = (X & 1) != 0;
        const bool leftInside = x0 - 1 >= squareStart(x0, gw);
        const bool rightInside = x0 + 1 < squareEnd(x0, gw, source.width);
        // Outside the square the alpha counts as opaque, a key-coloured pixel
        // as transparent.
        auto alphaAt = [&](const Pixel* row, std::int32_t x, bool inside) -> std::int32_t {
            if (!inside || row == nullptr)
                return 255;
            return row[x] == key ? 0 : alphaOf(row[x]);
        };
        std::int32_t tap[3];
        for (int k = 0; k < 3; ++k) {
            const std::int32_t l = alphaAt(rows[k], x0 - 1, leftInside);
            const std::int32_t c = alphaAt(rows[k], x0, true);
            // Each row is cut to a whole number before the vertical pass.
            if (halfX)
                tap[k] = (l + 2 * c + alphaAt(rows[k], x0 + 1, rightInside)) >> 2;
            else
                tap[k] = (l + c) >> 1;
        }
        // The vertical mean rounded half up (half away from zero: it is never
        // negative).
        const std::int32_t alpha = halfY ? (tap[0] + 2 * tap[1] + tap[2] + 2) >> 2 : (tap[0] + tap[1] + 1) >> 1;
        out[X] = (centre & 0x00FFFFFFu) | Pixel(std::uint8_t(alpha)) << 24;
    }
}

} // namespace

void resample(const PixEffector& effector, const PixelRows& source, const PixelRows& target, std::int32_t gridWidth,
              std::int32_t gridHeight, std::int32_t rowBegin, std::int32_t rowEnd)
{
    const Pixel key = packPixel(effector.keyColour);
    const Pixel empty = packPixel(effector.emptyColour);
    for (std::int32_t Y = rowBegin; Y < rowEnd; ++Y) {
        Pixel* out = target.row(Y);
        switch (effector.interpolation) {
        case Nearest:
            // A source pixel always lies inside its own square.
            if ((Y & 1) != 0 && Y > rowBegin)
                std::copy(target.row(Y - 1), target.row(Y - 1) + target.width, out);
            else
                nearestRow(source, out, Y >> 1, key, empty);
            break;
        case Bilinear:
            bilinearRow(source, out, Y, gridWidth, gridHeight, key, empty);
            break;
        case Original:
            originalRow(source, out, Y, gridWidth, gridHeight, key, empty);
            break;
        case Scale2x:
            scale2xRow(source, out, Y, gridWidth, gridHeight, key, empty);
            break;
        case Xbr:
            xbrRow(source, out, Y, gridWidth, gridHeight, key, empty);
            break;
        default:
            std::fill(out, out + target.width, packPixel(0, 0, 0, 255));
            break;
        }
    }
}

} // namespace engine::rows
