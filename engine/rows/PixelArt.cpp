// The pixel-art modes of engine/reference/PixelArt.cpp (the reference, where the
// rules are written out) on rows of pixels: one target row at a time, read
// from any source row, writing only that row.
//
// Each target row is the top or bottom half of one source row, so the rule's
// vertical neighbours are fixed for the whole row; the squares are walked
// one after another so their edges need no division per pixel.
#include "engine/rows/Kernels.h"

#include <algorithm>
#include <cstdlib>

namespace engine::rows {

namespace {

// The first and last pixel, in one direction, of the square holding v.
struct Span {
    std::int32_t first, last;
};

inline Span spanOf(std::int32_t v, std::int32_t grid, std::int32_t size)
{
    const std::int32_t first = v - v % grid;
    return Span{first, std::min(first + grid, size) - 1};
}

inline std::int32_t clampTo(std::int32_t v, const Span& span) { return std::max(span.first, std::min(v, span.last)); }

inline std::int32_t distance(Pixel p, Pixel q)
{
    const std::int32_t dr = std::int32_t(redOf(p)) - redOf(q);
    const std::int32_t dg = std::int32_t(greenOf(p)) - greenOf(q);
    const std::int32_t db = std::int32_t(blueOf(p)) - blueOf(q);
    const std::int32_t da = std::int32_t(alphaOf(p)) - alphaOf(q);
    return 48 * std::abs(299 * dr + 587 * dg + 114 * db) + 7 * std::abs(-169 * dr - 331 * dg + 500 * db)
           + 6 * std::abs(500 * dr - 419 * dg - 81 * db) + 48000 * std::abs(da);
}

// The mean of each byte, halves rounded up.
inline Pixel mean(Pixel p, Pixel q)
{
    auto channel = [](std::uint8_t s, std::uint8_t t) { return std::uint8_t((s + t + 1) >> 1); };
    return packPixel(channel(redOf(p), redOf(q)), channel(greenOf(p), greenOf(q)), channel(blueOf(p), blueOf(q)),
                     channel(alphaOf(p), alphaOf(q)));
}

// One xBR corner of E = rows[1][cols[1]]: rows[k] is the source row at
// v = k - 1 and cols[k] the column at u = k - 1 of the turned frame.
inline Pixel xbrCorner(const Pixel* const rows[4], const std::int32_t cols[4], Pixel key)
{
    auto at = [&](int u, int v) { return rows[v + 1][cols[u + 1]]; };
    const Pixel e = at(0, 0);
    const Pixel f = at(1, 0);
    const Pixel h = at(0, 1);
    if (f == e || h == e)
        return e;
    if (f == at(1, -1) && h == at(-1, 1))
        return e;
    const Pixel i = at(1, 1);
    const std::int32_t along = distance(e, at(1, -1)) + distance(e, at(-1, 1)) + distance(i, at(2, 0))
                               + distance(i, at(0, 2)) + 4 * distance(h, f);
    const std::int32_t across = distance(h, at(-1, 0)) + distance(h, at(1, 2)) + distance(f, at(2, 1))
                                + distance(f, at(0, -1)) + 4 * distance(e, i);
    if (!(along < across))
        return e;
    const Pixel partner = distance(e, f) <= distance(e, h) ? f : h;
    return partner == key ? e : mean(e, partner);
}

} // namespace

void scale2xRow(const PixelRows& source, Pixel* out, std::int32_t Y, std::int32_t gridWidth, std::int32_t gridHeight,
                Pixel key, Pixel empty)
{
    const std::int32_t y = Y >> 1;
    const bool bottom = (Y & 1) != 0;
    const Span rows = spanOf(y, gridHeight, source.height);
    const Pixel* here = source.row(y);
    const Pixel* above = y > rows.first ? source.row(y - 1) : here;
    const Pixel* below = y < rows.last ? source.row(y + 1) : here;
    // The four rules are one rule mirrored: with N the vertical neighbour on
    // the target row's side (A for the top row, D for the bottom) and M the
    // other one, a target pixel takes N when the horizontal neighbour on its
    // side equals N, differs from M, and N differs from the horizontal
    // neighbour on the other side. (Where the rule names the horizontal
    // neighbour instead, the two are equal.)
    const Pixel* near = bottom ? below : above;
    const Pixel* far = bottom ? above : below;
    // A neighbour outside the square counts as P: P's own row or pixel is
    // read in its place.
    for (std::int32_t first = 0; first < source.width; first += gridWidth) {
        const std::int32_t last = std::min(first + gridWidth, source.width) - 1;
        for (std::int32_t x = first; x <= last; ++x) {
            const Pixel p = here[x];
            const Pixel n = near[x];
            const Pixel m = far[x];
            const Pixel l = x > first ? here[x - 1] : p;
            const Pixel r = x < last ? here[x + 1] : p;
            const Pixel toLeft = (l == n && l != m && n != r) ? n : p;
            const Pixel toRight = (r == n && r != m && n != l) ? n : p;
            out[2 * x] = toLeft == key ? empty : toLeft;
            out[2 * x + 1] = toRight == key ? empty : toRight;
        }
    }
}

void xbrRow(const PixelRows& source, Pixel* out, std::int32_t Y, std::int32_t gridWidth, std::int32_t gridHeight,
            Pixel key, Pixel empty)
{
    const std::int32_t y = Y >> 1;
    const std::int32_t dy = (Y & 1) != 0 ? 1 : -1;
    const Span ys = spanOf(y, gridHeight, source.height);
    const Pixel* rows[4];
    for (int k = 0; k < 4; ++k)
        rows[k] = source.row(clampTo(y + (k - 1) * dy, ys));
    for (std::int32_t first = 0; first < source.width; first += gridWidth) {
        const Span xs{first, std::min(first + gridWidth, source.width) - 1};
        for (std::int32_t x = first; x <= xs.last; ++x) {
            if (rows[1][x] == key) {
                out[2 * x] = empty;
                out[2 * x + 1] = empty;
                continue;
            }
            const std::int32_t leftward[4] = {clampTo(x + 1, xs), x, clampTo(x - 1, xs), clampTo(x - 2, xs)};
            const std::int32_t rightward[4] = {clampTo(x - 1, xs), x, clampTo(x + 1, xs), clampTo(x + 2, xs)};
            out[2 * x] = xbrCorner(rows, leftward, key);
            out[2 * x + 1] = xbrCorner(rows, rightward, key);
        }
    }
}

} // namespace engine::rows
