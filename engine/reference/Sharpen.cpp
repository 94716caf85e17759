// The passes that follow the enlargement: the alpha-grid correction and the
// sharpening of PixEffector.

#include "engine/PixEffector.h"

#include "auxlib/error/ErrorLogger.h"
#include "engine/EffectorLogSites.h"

#include <algorithm>
#include <cstdlib>

namespace engine {

using auxlib::draw::Rect;
using auxlib::draw::ResultCode;
using auxlib::draw::Rgba;
using auxlib::draw::Surface;
using auxlib::draw::SurfaceLock;
using auxlib::error::ErrorLogger;

namespace {

using namespace effectorSites;

bool spike(const Rgba& p, const Rgba& neighbour) { return std::abs(p.a - neighbour.a) >= PixEffector::alphaSpike; }

} // namespace

ResultCode PixEffector::correctAlphaGrid(Surface& surface, std::int32_t spacingX, std::int32_t spacingY) const
{
    // Nothing to correct on an empty handle; asking it for its format would
    // dereference nothing.
    if (!surface.isValid() || !surface.hasAlpha())
        return auxlib::draw::Success;
    // Only bilinear blending mixes the opaque outside into a square's edge.
    if (interpolation != Bilinear)
        return auxlib::draw::Success;
    const std::int32_t w = surface.width();
    const std::int32_t h = surface.height();
    Rgba p, l, r, u, d;

    // A spacing of 0 or less would never advance past the picture: no lines.
    // The line at 0 has no neighbour on the left or above and is skipped.
    if (spacingX > 0) {
        for (std::int32_t x = spacingX - 1; x < w; x += spacingX) {
            if (x == 0)
                continue;
            for (std::int32_t y = 0; y < h; ++y) {
                surface.getPixel(p, x, y);
                surface.getPixel(l, x - 1, y);
                bool replace = spike(p, l);
                if (x != w - 1) {
                    surface.getPixel(r, x + 1, y);
                    replace = replace && spike(p, r);
                }
                if (replace) {
                    const Rgba corrected{p.r, p.g, p.b, l.a};
                    surface.putPixel(x, y, &corrected);
                }
            }
        }
    }
    // The rows run second and see the columns' corrections where lines cross.
    if (spacingY > 0) {
        for (std::int32_t y = spacingY - 1; y < h; y += spacingY) {
            if (y == 0)
                continue;
            for (std::int32_t x = 0; x < w; ++x) {
                surface.getPixel(p, x, y);
                surface.getPixel(u, x, y - 1);
                bool replace = spike(p, u);
                if (y != h - 1) {
                    surface.getPixel(d, x, y + 1);
                    replace = replace && spike(p, d);
                }
                if (replace) {
                    const Rgba corrected{p.r, p.g, p.b, u.a};
                    surface.putPixel(x, y, &corrected);
                }
            }
        }
    }
    return auxlib::draw::Success;
}

ResultCode PixEffector::sharpen(Surface& surface, std::int32_t level, const Rect& rect) const
{
    if (!surface.isValid())
        return auxlib::draw::InvalidArgument;
    if (level <= 0)
        return auxlib::draw::Success;

    Surface copy;
    const ResultCode copied = copy.createCopy(&surface);
    if (copied != auxlib::draw::Success) {
        ErrorLogger(sourceName, copyFailedSite).put("サーフェイスのコピーに失敗しました。");
        return copied;
    }
    const std::int32_t weight = sharpenCentreWeight(static_cast<float>(level / 5.0));

    SurfaceLock surfaceLock(&surface);
    SurfaceLock copyLock(&copy);
    if (surfaceLock.result() != auxlib::draw::Success || copyLock.result() != auxlib::draw::Success) {
        ErrorLogger(sourceName, sharpenLockFailedSite).put("サーフェイスのロックに失敗しました。");
        return auxlib::draw::LockFailed;
    }

    // Only pixels inside the picture can be written; cutting the rectangle
    // to it changes no output and keeps a huge rectangle from overflowing.
    const std::int32_t left = std::max(rect.x, 0);
    const std::int32_t top = std::max(rect.y, 0);
    const std::int32_t right = static_cast<std::int32_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(rect.x) + rect.w, surface.width()));
    const std::int32_t bottom = static_cast<std::int32_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(rect.y) + rect.h, surface.height()));
    for (std::int32_t y = top; y < bottom; ++y) {
        for (std::int32_t x = left; x < right; ++x) {
            const Rgba p = sharpenPixel(copy, x, y, weight);
            surface.putPixel(x, y, p.a == 0 ? &emptyColour : &p);
        }
    }
    return auxlib::draw::Success;
}

Rgba PixEffector::sharpenPixel(Surface& copy, std::int32_t x, std::int32_t y, std::int32_t centreWeight) const
{
    // The kernel crosses grid squares: the window is the whole picture.
    const SampleWindow window{0, 0, copy.width(), copy.height()};
    Kernel r, g, b;
    std::int32_t centreAlpha = 0;
    for (std::int32_t dy = -1; dy <= 1; ++dy) {
        for (std::int32_t dx = -1; dx <= 1; ++dx) {
            const std::int32_t k = 3 * (dy + 1) + (dx + 1);
            const Sample s = fetchSample(copy, window, x + dx, y + dy);
            r[k] = s.r;
            g[k] = s.g;
            b[k] = s.b;
            if (k == 4)
                centreAlpha = s.a;
        }
    }
    if (centreAlpha <= 0)
        return emptyColour;
    const Kernel weights{-1, -1, -1, -1, centreWeight, -1, -1, -1, -1};
    return Rgba{static_cast<std::uint8_t>(weightedChannel(r, weights)),
                static_cast<std::uint8_t>(weightedChannel(g, weights)),
                static_cast<std::uint8_t>(weightedChannel(b, weights)), static_cast<std::uint8_t>(centreAlpha)};
}

std::int32_t PixEffector::weightedChannel(const Kernel& values, const Kernel& weights)
{
    // A value of 0 drops out like a missing one, so a black channel never
    // darkens its neighbours and a black centre has nothing left to weigh.
    // Wide sums: any values and weights a caller passes stay exact.
    std::int64_t sum = 0;
    std::int64_t total = 0;
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (values[k] > 0) {
            sum += static_cast<std::int64_t>(values[k]) * weights[k];
            total += weights[k];
        }
    }
    if (total <= 0)
        return 0;
    return static_cast<std::int32_t>(std::max<std::int64_t>(0, std::min<std::int64_t>(sum / total, 255)));
}

} // namespace engine
