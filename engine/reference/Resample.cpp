// The enlargement of PixEffector pixel by pixel: the resampling pass and
// its samplers, the reference the row kernels of engine/rows/Resample.cpp
// are held to.
#include "engine/PixEffector.h"

#include "auxlib/error/ErrorLogger.h"
#include "engine/EffectorLogSites.h"

#include <algorithm>

namespace engine {

using auxlib::draw::Rect;
using auxlib::draw::ResultCode;
using auxlib::draw::Rgba;
using auxlib::draw::Surface;
using auxlib::draw::SurfaceLock;
using auxlib::error::ErrorLogger;

namespace {

using namespace effectorSites;

// The lower bound wins when hi < lo.
std::int32_t clampInt(std::int32_t v, std::int32_t lo, std::int32_t hi) { return std::max(lo, std::min(v, hi)); }


Sample missingColour(std::int32_t alpha) { return Sample{-1, -1, -1, alpha}; }

bool inside(const SampleWindow& window, std::int32_t x, std::int32_t y)
{
    return x >= window.x && x < static_cast<std::int64_t>(window.x) + window.w && y >= window.y
           && y < static_cast<std::int64_t>(window.y) + window.h;
}

std::uint8_t lowByte(std::int32_t v) { return static_cast<std::uint8_t>(v & 0xFF); }

// A source position split into its pixel (truncated toward zero) and the
// single-precision fraction past it.
struct SamplePoint {
    std::int32_t x0, y0;
    float fx, fy;
};

SamplePoint samplePoint(float sx, float sy)
{
    const std::int32_t x0 = static_cast<std::int32_t>(sx);
    const std::int32_t y0 = static_cast<std::int32_t>(sy);
    return SamplePoint{x0, y0, static_cast<float>(static_cast<double>(sx) - x0),
                       static_cast<float>(static_cast<double>(sy) - y0)};
}

} // namespace

ResultCode PixEffector::resample(float scale, std::int32_t squareWidth, std::int32_t squareHeight, Surface& target,
                                 std::int32_t targetWidth, std::int32_t targetHeight, Surface& source) const
{
    if (!target.isValid() || !source.isValid())
        return auxlib::draw::InvalidArgument;
    // The pass only enlarges. A scale below 1 (or NaN) could carry divided
    // coordinates out of the integer range.
    if (!(scale >= 1.0f))
        return auxlib::draw::InvalidArgument;
    squareWidth = clampInt(squareWidth, 1, targetWidth);
    squareHeight = clampInt(squareHeight, 1, targetHeight);

    SurfaceLock targetLock(&target);
    SurfaceLock sourceLock(&source);
    if (targetLock.result() != auxlib::draw::Success || sourceLock.result() != auxlib::draw::Success) {
        ErrorLogger(sourceName, resampleLockFailedSite).put("サーフェイスのロックに失敗しました。");
        return auxlib::draw::LockFailed;
    }

    Rgba (PixEffector::*sample)(Surface&, float, float, const SampleWindow&) const = &PixEffector::sampleUnknownMode;
    switch (interpolation) {
    case Nearest:
        sample = &PixEffector::sampleNearest;
        break;
    case Bilinear:
        sample = &PixEffector::sampleBilinear;
        break;
    case Original:
        sample = &PixEffector::sampleOriginal;
        break;
    case Scale2x:
        sample = &PixEffector::sampleScale2x;
        break;
    case Xbr:
        sample = &PixEffector::sampleXbr;
        break;
    default:
        break;
    }

    // Pixels past the picture's edge would be dropped by putPixel anyway;
    // stopping there keeps an oversized target size from running for nothing.
    const std::int64_t limitX = std::min(targetWidth, target.width());
    const std::int64_t limitY = std::min(targetHeight, target.height());

    // Positions are target coordinates divided by the scale with no
    // half-pixel centring: at scale 2 even target pixels fall on source
    // pixels and odd ones halfway between two. The divisions run in double
    // and are rounded to float once, so the positions stay exact.
    const double divisor = scale;
    for (std::int64_t ty = 0; ty < limitY; ty += squareHeight) {
        const float rowBase = static_cast<float>(ty / divisor);
        for (std::int64_t tx = 0; tx < limitX; tx += squareWidth) {
            const float colBase = static_cast<float>(tx / divisor);
            const SampleWindow window{static_cast<std::int32_t>(tx / divisor), static_cast<std::int32_t>(ty / divisor),
                                      static_cast<std::int32_t>(squareWidth / divisor),
                                      static_cast<std::int32_t>(squareHeight / divisor)};
            for (std::int32_t j = 0; j < squareHeight && ty + j < limitY; ++j) {
                const float sy = static_cast<float>(static_cast<double>(rowBase) + j / divisor);
                for (std::int32_t i = 0; i < squareWidth && tx + i < limitX; ++i) {
                    const float sx = static_cast<float>(static_cast<double>(colBase) + i / divisor);
                    const Rgba colour = (this->*sample)(source, sx, sy, window);
                    target.putPixel(static_cast<std::int32_t>(tx + i), static_cast<std::int32_t>(ty + j), &colour);
                }
            }
        }
    }
    return auxlib::draw::Success;
}

Sample PixEffector::fetchSample(Surface& source, const SampleWindow& window, std::int32_t x, std::int32_t y) const
{
    // Outside, the alpha counts as opaque while a key-coloured pixel counts
    // as transparent: this is what leaves the faint alpha lines along the
    // grid that correctAlphaGrid removes.
    if (x < 0 || y < 0 || x >= source.width() || y >= source.height() || !inside(window, x, y))
        return missingColour(255);
    Rgba pixel;
    source.getPixel(pixel, x, y);
    if (pixel == keyColour)
        return missingColour(0);
    return Sample{pixel.r, pixel.g, pixel.b, pixel.a};
}

Rgba PixEffector::sampleNearest(Surface& source, float sx, float sy, const SampleWindow& window) const
{
    const Sample s = fetchSample(source, window, static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy));
    if (s.r < 0)
        return emptyColour;
    return Rgba{lowByte(s.r), lowByte(s.g), lowByte(s.b), lowByte(s.a)};
}

Rgba PixEffector::sampleBilinear(Surface& source, float sx, float sy, const SampleWindow& window) const
{
    const SamplePoint at = samplePoint(sx, sy);
    const std::int32_t x0 = at.x0, y0 = at.y0;
    const float fx = at.fx, fy = at.fy;

    const Sample p00 = fetchSample(source, window, x0, y0);
    const Sample p10 = fetchSample(source, window, x0 + 1, y0);
    const Sample p01 = fetchSample(source, window, x0, y0 + 1);
    const Sample p11 = fetchSample(source, window, x0 + 1, y0 + 1);
    if (p00.r < 0 && p10.r < 0 && p01.r < 0 && p11.r < 0)
        return emptyColour;

    auto channel = [&](std::int32_t Sample::*c) {
        const std::int32_t top = blendInt(p00.*c, p10.*c, fx);
        const std::int32_t bottom = blendInt(p01.*c, p11.*c, fx);
        return lowByte(blendInt(top, bottom, fy));
    };
    return Rgba{channel(&Sample::r), channel(&Sample::g), channel(&Sample::b), channel(&Sample::a)};
}

Rgba PixEffector::sampleOriginal(Surface& source, float sx, float sy, const SampleWindow& window) const
{
    const SamplePoint at = samplePoint(sx, sy);
    const std::int32_t x0 = at.x0, y0 = at.y0;
    const float fx = at.fx, fy = at.fy;

    const Sample centre = fetchSample(source, window, x0, y0);
    if (centre.r < 0)
        return emptyColour;

    std::int32_t alphas[9];
    for (std::int32_t dy = -1; dy <= 1; ++dy) {
        for (std::int32_t dx = -1; dx <= 1; ++dx) {
            const std::int32_t k = 3 * (dy + 1) + (dx + 1);
            alphas[k] = (dx == 0 && dy == 0) ? centre.a : fetchSample(source, window, x0 + dx, y0 + dy).a;
        }
    }
    // Each row is cut to a whole number before the vertical pass.
    std::int32_t rows[3];
    for (std::int32_t k = 0; k < 3; ++k)
        rows[k] = static_cast<std::int32_t>(threeTap(alphas[3 * k], alphas[3 * k + 1], alphas[3 * k + 2], fx));
    const float v = threeTap(rows[0], rows[1], rows[2], fy);

    // Rounding half away from zero.
    const std::int32_t rounded = v >= 0 ? static_cast<std::int32_t>(v + 0.5) : static_cast<std::int32_t>(v - 0.5);
    const std::int32_t alpha = clampInt(rounded, 0, 255);
    return Rgba{lowByte(centre.r), lowByte(centre.g), lowByte(centre.b), lowByte(alpha)};
}

Rgba PixEffector::sampleUnknownMode(Surface&, float, float, const SampleWindow&) const { return Rgba{0, 0, 0, 255}; }

std::int32_t PixEffector::blendInt(std::int32_t a, std::int32_t b, float t)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    // Cut toward zero, not rounded: halfway between 0 and 255 is 127.
    const double w = t;
    return static_cast<std::int32_t>((1.0 - w) * a + w * b);
}

float PixEffector::blendFloat(float a, float b, float t)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    const double w = t;
    return static_cast<float>((1.0 - w) * a + w * b);
}

float PixEffector::threeTap(std::int32_t p, std::int32_t q, std::int32_t r, float t)
{
    return blendFloat(blendFloat(static_cast<float>(p), static_cast<float>(q), t),
                      blendFloat(static_cast<float>(q), static_cast<float>(r), t), 0.5f);
}

} // namespace engine
