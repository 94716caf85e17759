// The alpha-grid correction and the sharpening of PixEffector on rows of
// pixels.
#include "engine/rows/Kernels.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace engine::rows {

namespace {

inline bool spike(Pixel p, Pixel neighbour)
{
    return std::abs(std::int32_t(alphaOf(p)) - alphaOf(neighbour)) >= PixEffector::alphaSpike;
}

inline Pixel withAlphaOf(Pixel p, Pixel from) { return (p & 0x00FFFFFFu) | (from & 0xFF000000u); }

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

namespace {

// The sharpening rule per channel, for a pixel whose centre is visible:
// every neighbour weighs -1 and the centre W, and values of 0 or less (a
// missing colour, a key-coloured or black channel, or a place outside the
// picture) leave both sums. A missing neighbour adds 0 to the weighted sum
// either way, so with S the sum of the eight neighbours' values and n the
// number of them above 0:
//   centre c > 0:  (W c - S) / (W - n), truncated, clamped to 0..255;
//   centre 0:      the weights add up to -n <= 0, so the channel is 0.
// W - n is at least 2 (W >= 10), and it takes one of nine values.
class Divisors {
public:
    explicit Divisors(std::int32_t centreWeight) : weight_(centreWeight)
    {
        // Exact: q = (v * m) >> 24 with m = ceil(2^24 / d) gives v / d for
        // every v < 2^24 / d, far beyond the largest W c (40 * 255).
        for (int n = 0; n <= 8; ++n) {
            const std::uint32_t d = std::uint32_t(centreWeight - n);
            magic_[n] = d > 0 ? std::uint32_t(((std::uint64_t(1) << 24) + d - 1) / d) : 0;
        }
    }

    std::uint8_t channel(std::int32_t c, std::int32_t neighbourSum, std::int32_t neighboursAboveZero) const
    {
        if (c <= 0)
            return 0;
        const std::int32_t weighted = weight_ * c - neighbourSum;
        if (weighted <= 0)
            return 0;
        const std::uint32_t q =
            std::uint32_t((std::uint64_t(std::uint32_t(weighted)) * magic_[neighboursAboveZero]) >> 24);
        return std::uint8_t(q > 255 ? 255 : q);
    }

private:
    std::int32_t weight_;
    std::uint32_t magic_[9];
};

// One row of the picture as three planes of channel values with every
// missing colour (a key-coloured pixel) as 0, and the three planes' column
// sums and counts of values above 0 over the row and its two neighbours.
struct Planes {
    std::vector<std::int32_t> value[3];
    explicit Planes(std::int32_t w)
    {
        for (auto& v : value)
            v.assign(std::size_t(w), 0);
    }
    void fill(const Pixel* row, std::int32_t w, Pixel key)
    {
        for (std::int32_t x = 0; x < w; ++x) {
            const Pixel p = row != nullptr && row[x] != key ? row[x] : 0;
            value[0][x] = redOf(p);
            value[1][x] = greenOf(p);
            value[2][x] = blueOf(p);
        }
    }
};

} // namespace

void sharpen(const PixEffector& effector, const PixelRows& unsharpened, const PixelRows& target,
             std::int32_t centreWeight, std::int32_t rowBegin, std::int32_t rowEnd)
{
    const Pixel key = packPixel(effector.keyColour);
    const Pixel empty = packPixel(effector.emptyColour);
    const std::int32_t w = unsharpened.width;
    const std::int32_t h = unsharpened.height;
    if (w <= 0 || rowBegin >= rowEnd)
        return;
    const Divisors divisors(centreWeight);
    // The three rows around y, rolled down one row at a time; a row outside
    // the picture is all missing.
    Planes rows[3] = {Planes(w), Planes(w), Planes(w)};
    auto rowAt = [&](std::int32_t y) { return y >= 0 && y < h ? unsharpened.row(y) : nullptr; };
    rows[0].fill(rowAt(rowBegin - 1), w, key);
    rows[1].fill(rowAt(rowBegin), w, key);
    std::vector<std::int32_t> sum(std::size_t(w) + 2), count(std::size_t(w) + 2);
    std::vector<std::uint8_t> channels[3];
    for (auto& c : channels)
        c.resize(std::size_t(w));
    for (std::int32_t y = rowBegin; y < rowEnd; ++y) {
        Planes& above = rows[(y - rowBegin) % 3];
        Planes& here = rows[(y - rowBegin + 1) % 3];
        Planes& below = rows[(y - rowBegin + 2) % 3];
        below.fill(rowAt(y + 1), w, key);
        const Pixel* centres = unsharpened.row(y);
        Pixel* out = target.row(y);
        // Per channel: column sums over the three rows, with a missing
        // column on either side of the picture.
        for (int c = 0; c < 3; ++c) {
            const std::int32_t* a = above.value[c].data();
            const std::int32_t* m = here.value[c].data();
            const std::int32_t* b = below.value[c].data();
            sum[0] = count[0] = 0;
            sum[std::size_t(w) + 1] = count[std::size_t(w) + 1] = 0;
            for (std::int32_t x = 0; x < w; ++x) {
                sum[std::size_t(x) + 1] = a[x] + m[x] + b[x];
                count[std::size_t(x) + 1] = (a[x] > 0) + (m[x] > 0) + (b[x] > 0);
            }
            for (std::int32_t x = 0; x < w; ++x) {
                const std::int32_t centre = m[x];
                const std::int32_t s = sum[std::size_t(x)] + sum[std::size_t(x) + 1] + sum[std::size_t(x) + 2] - centre;
                const std::int32_t n = count[std::size_t(x)] + count[std::size_t(x) + 1] + count[std::size_t(x) + 2]
                                       - (centre > 0);
                channels[c][std::size_t(x)] = divisors.channel(centre, s, n);
            }
        }
        for (std::int32_t x = 0; x < w; ++x) {
            const Pixel centre = centres[x];
            // A key-coloured centre counts as transparent.
            if (centre == key || alphaOf(centre) == 0) {
                out[x] = empty;
                continue;
            }
            out[x] = packPixel(channels[0][std::size_t(x)], channels[1][std::size_t(x)], channels[2][std::size_t(x)],
                               alphaOf(centre));
        }
    }
}

} // namespace engine::rows
