// The pixel-art modes of PixEffector::resample, per target pixel: the
// reference that engine/rows/PixelArt.cpp is held to.
//
// Both modes look only at source pixels, never at positions between them: the
// target pixel (X, Y) belongs to the source pixel P = (X / 2, Y / 2), and
// which quarter of P it is (left or right, top or bottom) picks the corner of
// P whose neighbours decide it. Nothing is read outside P's grid square, so
// tiles never influence each other. Colours are compared in all four bytes,
// the key like any other colour; only the written colour treats the key
// apart.
//
// Scale2x (also known as EPX and AdvMAME2x). With A above P, B right, C left
// and D below:
//     top-left     = A if C == A, C != D and A != B, else P
//     top-right    = B if A == B, A != C and B != D, else P
//     bottom-left  = C if D == C, D != B and C != A, else P
//     bottom-right = D if B == D, B != A and D != C, else P
// A neighbour outside the square counts as P itself. A target pixel whose
// chosen colour is the key becomes the empty colour; every other one takes
// the chosen pixel's colour and alpha unchanged.
//
// xBR, at 2x. The rules follow the published description of the xBR ("scale
// by rules") algorithm by Hyllian, level 1, with one addition (the
// right-angle rule below); no code of any implementation was used. Each
// corner is decided on its own, in a frame turned so that the corner lies
// between P = E, its neighbour F beside it and H above or below it, and I
// diagonally across (the names of the bottom-right corner):
//
//              B   C
//          D   E   F   F4
//          G   H   I   I4
//              H5  I5
//
// (B above E, C above F, D left of E, G left of H, F4 and I4 two to the
// right, H5 and I5 two below.) The corner lies on an edge when
//   1. F != E and H != E: an edge must separate E from both pixels by the
//      corner;
//   2. not (F == C and H == G): the colour of F runs straight up past E and
//      that of H straight along under it, so E is the corner of a right
//      angle (a tile's corner, a single dot), which stays square;
//   3. the colours change less along the direction F-H than across it:
//          d(E,C) + d(E,G) + d(I,F4) + d(I,H5) + 4 d(H,F)
//        < d(H,D) + d(H,I5) + d(F,I4) + d(F,B) + 4 d(E,I)
//      (4 for the pair at the corner, 1 for each of the four parallel pairs
//      around it, as xBR weighs them; a tie is no edge, so a flat square or a
//      checker is left alone).
// On an edge the target pixel becomes the mean of E and the one of F and H
// nearer to E in colour (F on a tie), each of red, green, blue and alpha
// (p + q + 1) / 2: alpha is blended with the same weights as the colour, so a
// half-transparent region is smoothed like a coloured one. Otherwise it stays
// E. The colour distance d is YUV-weighted as xBR asks, luma counting most;
// chosen here are BT.601's matrix in thousandths, the weights 48 for luma
// and 7 and 6 for the two colour differences, and alpha weighted as luma:
//     Y = 299 dR + 587 dG + 114 dB
//     U = -169 dR - 331 dG + 500 dB
//     V = 500 dR - 419 dG - 81 dB
//     d = 48 |Y| + 7 |U| + 6 |V| + 48000 |dA|
// all in integers (at most 27,795,000 per distance, 222,360,000 per sum;
// the matrix is invertible, so d is 0 only for equal pixels).
// A neighbour outside the square is the nearest pixel of the square: the
// positions are clamped to its edges, the usual extension of a picture's
// border, so an edge running into the side of a square goes on straight.
// The key never lends its colour: a key-coloured P makes its four target
// pixels the empty colour, and a blend whose partner would be the key keeps
// E; key-coloured neighbours still count in the distances.
#include "engine/PixEffector.h"

#include <algorithm>
#include <cstdlib>

namespace engine {

using auxlib::draw::Rgba;
using auxlib::draw::Surface;

namespace {

std::int32_t clampTo(std::int64_t v, std::int64_t lo, std::int64_t hi)
{
    return static_cast<std::int32_t>(std::max(lo, std::min(v, hi)));
}

} // namespace

bool PixEffector::readWindowPixel(Surface& source, const SampleWindow& window, std::int32_t x, std::int32_t y,
                                  Rgba& pixel) const
{
    if (x < 0 || y < 0 || x >= source.width() || y >= source.height() || x < window.x || y < window.y
        || x >= static_cast<std::int64_t>(window.x) + window.w || y >= static_cast<std::int64_t>(window.y) + window.h)
        return false;
    source.getPixel(pixel, x, y);
    return true;
}

Rgba PixEffector::sampleScale2x(Surface& source, float sx, float sy, const SampleWindow& window) const
{
    const std::int32_t x = static_cast<std::int32_t>(sx);
    const std::int32_t y = static_cast<std::int32_t>(sy);
    Rgba p;
    if (!readWindowPixel(source, window, x, y, p))
        return emptyColour;
    auto neighbour = [&](std::int32_t nx, std::int32_t ny) {
        Rgba n = p;
        readWindowPixel(source, window, nx, ny, n);
        return n;
    };
    const Rgba a = neighbour(x, y - 1);
    const Rgba b = neighbour(x + 1, y);
    const Rgba c = neighbour(x - 1, y);
    const Rgba d = neighbour(x, y + 1);
    const bool right = sx > x;
    const bool bottom = sy > y;

    Rgba chosen = p;
    if (!bottom && !right) {
        if (c == a && c != d && a != b)
            chosen = a;
    } else if (!bottom) {
        if (a == b && a != c && b != d)
            chosen = b;
    } else if (!right) {
        if (d == c && d != b && c != a)
            chosen = c;
    } else {
        if (b == d && b != a && d != c)
            chosen = d;
    }
    return chosen == keyColour ? emptyColour : chosen;
}

Rgba PixEffector::sampleXbr(Surface& source, float sx, float sy, const SampleWindow& window) const
{
    const std::int32_t x = static_cast<std::int32_t>(sx);
    const std::int32_t y = static_cast<std::int32_t>(sy);
    Rgba e;
    if (!readWindowPixel(source, window, x, y, e) || e == keyColour)
        return emptyColour;

    // The square's pixels, for clamping; P lies inside, so it is not empty.
    const std::int64_t left = std::max(window.x, 0);
    const std::int64_t top = std::max(window.y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t(window.x) + window.w, source.width()) - 1;
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(window.y) + window.h, source.height()) - 1;
    // (u, v) in the turned frame: u steps toward the corner's side, v toward
    // its top or bottom.
    const std::int32_t dx = sx > x ? 1 : -1;
    const std::int32_t dy = sy > y ? 1 : -1;
    auto at = [&](std::int32_t u, std::int32_t v) {
        Rgba n;
        readWindowPixel(source, window, clampTo(std::int64_t(x) + u * dx, left, right),
                        clampTo(std::int64_t(y) + v * dy, top, bottom), n);
        return n;
    };

    const Rgba f = at(1, 0);
    const Rgba h = at(0, 1);
    if (f == e || h == e)
        return e;
    const Rgba c = at(1, -1);
    const Rgba g = at(-1, 1);
    if (f == c && h == g)
        return e;
    const Rgba i = at(1, 1);
    const Rgba d = at(-1, 0);
    const Rgba b = at(0, -1);
    const Rgba f4 = at(2, 0);
    const Rgba i4 = at(2, 1);
    const Rgba h5 = at(0, 2);
    const Rgba i5 = at(1, 2);
    const std::int32_t along = xbrDistance(e, c) + xbrDistance(e, g) + xbrDistance(i, f4) + xbrDistance(i, h5)
                               + 4 * xbrDistance(h, f);
    const std::int32_t across = xbrDistance(h, d) + xbrDistance(h, i5) + xbrDistance(f, i4) + xbrDistance(f, b)
                                + 4 * xbrDistance(e, i);
    if (!(along < across))
        return e;
    const Rgba partner = xbrDistance(e, f) <= xbrDistance(e, h) ? f : h;
    if (partner == keyColour)
        return e;
    return xbrBlend(e, partner);
}

std::int32_t PixEffector::xbrDistance(const Rgba& p, const Rgba& q)
{
    const std::int32_t dr = p.r - q.r;
    const std::int32_t dg = p.g - q.g;
    const std::int32_t db = p.b - q.b;
    const std::int32_t da = p.a - q.a;
    const std::int32_t y = 299 * dr + 587 * dg + 114 * db;
    const std::int32_t u = -169 * dr - 331 * dg + 500 * db;
    const std::int32_t v = 500 * dr - 419 * dg - 81 * db;
    return 48 * std::abs(y) + 7 * std::abs(u) + 6 * std::abs(v) + 48000 * std::abs(da);
}

Rgba PixEffector::xbrBlend(const Rgba& p, const Rgba& q)
{
    auto mean = [](std::uint8_t s, std::uint8_t t) { return static_cast<std::uint8_t>((s + t + 1) / 2); };
    return Rgba{mean(p.r, q.r), mean(p.g, q.g), mean(p.b, q.b), mean(p.a, q.a)};
}

} // namespace engine
