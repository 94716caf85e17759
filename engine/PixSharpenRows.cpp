// The alpha-grid correction and the sharpening of PixEffector on rows of
// pixels.
#include "engine/PixEffectorRows.h"

#include <algorithm>
#include <cstdlib>

namespace engine::rows {

namespace {

constexpr std::int32_t alphaSpike = 63;

inline bool spike(Pixel p, Pixel neighbour) { return std::abs(std::int32_t(alphaOf(p)) - alphaOf(neighbour)) >= alphaSpike; }

inline Pixel withAlphaOf(Pixel p, Pixel from) { return (p & 0x00FFFFFFu) | (from & 0xFF000000u); }

// weightedChannel with the sharpening kernel: the centre weighs w, each of
// the eight neighbours -1, and values of 0 or less (missing or black) drop
// out of both sums.
inline std::uint8_t weighted(const std::int32_t (&v)[9], std::int32_t w)
{
    std::int32_t sum = 0;
    std::int32_t total = 0;
    for (int k = 0; k < 9; ++k) {
        if (v[k] > 0) {
            const std::int32_t weight = k == 4 ? w : -1;
            sum += v[k] * weight;
            total += weight;
        }
    }
    if (total <= 0)
        return 0;
    // Division truncates toward zero, then the clamp, as in the reference.
    return std::uint8_t(std::clamp(sum / total, 0, 255));
}

} // namespace

void correctAlphaGrid(const PixEffector& effector, const PixelRows& picture, std::int32_t spacingX,
                      std::int32_t spacingY)
{
    if (effector.interpolation != Bilinear)
        return;
    const std::int32_t w = picture.width;
    const std::int32_t h = picture.height;
    if (spacingX > 0) {
        for (std::int32_t x = spacingX - 1; x < w; x += spacingX) {
            if (x == 0)
                continue;
            for (std::int32_t y = 0; y < h; ++y) {
                Pixel* row = picture.row(y);
                bool replace = spike(row[x], row[x - 1]);
                if (x != w - 1)
                    replace = replace && spike(row[x], row[x + 1]);
                if (replace)
                    row[x] = withAlphaOf(row[x], row[x - 1]);
            }
        }
    }
    // Rows second: they see the columns' corrections where lines cross.
    if (spacingY > 0) {
        for (std::int32_t y = spacingY - 1; y < h; y += spacingY) {
            if (y == 0)
                continue;
            Pixel* row = picture.row(y);
            const Pixel* up = picture.row(y - 1);
            const Pixel* down = y != h - 1 ? picture.row(y + 1) : nullptr;
            for (std::int32_t x = 0; x < w; ++x) {
                bool replace = spike(row[x], up[x]);
                if (down != nullptr)
                    replace = replace && spike(row[x], down[x]);
                if (replace)
                    row[x] = withAlphaOf(row[x], up[x]);
            }
        }
    }
}

void sharpen(const PixEffector& effector, const PixelRows& unsharpened, const PixelRows& target,
             std::int32_t centreWeight, std::int32_t rowBegin, std::int32_t rowEnd)
{
    const Pixel key = packPixel(effector.keyColour);
    const Pixel empty = packPixel(effector.emptyColour);
    const std::int32_t w = unsharpened.width;
    const std::int32_t h = unsharpened.height;
    for (std::int32_t y = rowBegin; y < rowEnd; ++y) {
        const Pixel* rows[3] = {y > 0 ? unsharpened.row(y - 1) : nullptr, unsharpened.row(y),
                                y + 1 < h ? unsharpened.row(y + 1) : nullptr};
        Pixel* out = target.row(y);
        for (std::int32_t x = 0; x < w; ++x) {
            const Pixel centre = rows[1][x];
            // A key-coloured centre counts as transparent.
            if (centre == key || alphaOf(centre) == 0) {
                out[x] = empty;
                continue;
            }
            // Outside the picture and key-coloured neighbours have no colour.
            std::int32_t r[9], g[9], b[9];
            for (int dy = 0; dy < 3; ++dy) {
                for (int dx = 0; dx < 3; ++dx) {
                    const int k = 3 * dy + dx;
                    const std::int32_t nx = x + dx - 1;
                    if (rows[dy] == nullptr || nx < 0 || nx >= w || rows[dy][nx] == key) {
                        r[k] = g[k] = b[k] = -1;
                        continue;
                    }
                    const Pixel p = rows[dy][nx];
                    r[k] = redOf(p);
                    g[k] = greenOf(p);
                    b[k] = blueOf(p);
                }
            }
            out[x] = packPixel(weighted(r, centreWeight), weighted(g, centreWeight), weighted(b, centreWeight),
                               alphaOf(centre));
        }
    }
}

} // namespace engine::rows
