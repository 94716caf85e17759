#include "engine/rows/Enlargement.h"

#include "auxlib/error/ErrorLogger.h"
#include "engine/EffectorLogSites.h"
#include "engine/rows/Kernels.h"

#include <cstring>

namespace engine::rows {

using auxlib::draw::Success;
using auxlib::draw::Surface;
using auxlib::error::ErrorLogger;

using namespace effectorSites;

bool Enlargement::prepare()
{
    if (!cell_.isValid()) {
        failed_ = true;
        return false;
    }
    if (target_.create(2 * cellWidth_, 2 * cellHeight_, true) != Success || !isEnginePixelFormat(target_)) {
        ErrorLogger(sourceName, createFailedSite).put("サーフェイスの作成に失敗。");
        failed_ = true;
        return false;
    }
    source_ = decodePixels(cell_);
    if (source_.empty()) {
        ErrorLogger(sourceName, resampleFailedSite).put("サーフェイスの拡大に失敗。");
        target_.setSurface(nullptr);
        failed_ = true;
        return false;
    }
    // Pictures the engine makes need no lock; the rows stay valid while the
    // target lives.
    targetRows_ = pixelRowsOf(target_);
    return true;
}

bool Enlargement::resampleBand(std::int32_t band, std::int32_t bands)
{
    if (failed_)
        return false;
    std::int32_t begin, end;
    bandRows(band, bands, begin, end);
    resample(effector_, source_.rows(), targetRows_, gridWidth_, gridHeight_, begin, end);
    return true;
}

bool Enlargement::correct()
{
    if (failed_)
        return false;
    source_ = PixelBuffer();
    if (eraseAlphaGrid_)
        correctAlphaGrid(effector_, targetRows_, 2 * gridWidth_, 2 * gridHeight_);
    if (sharpenLevel_ <= 0)
        return true;
    unsharpened_ = PixelBuffer(targetRows_.width, targetRows_.height);
    if (unsharpened_.empty()) {
        ErrorLogger(sourceName, copyFailedSite).put("サーフェイスのコピーに失敗しました。");
        ErrorLogger(sourceName, sharpenFailedSite).put("サーフェイスのシャープ化に失敗。");
        target_.setSurface(nullptr);
        failed_ = true;
        return false;
    }
    const PixelRows copy = unsharpened_.rows();
    for (std::int32_t y = 0; y < copy.height; ++y)
        std::memcpy(copy.row(y), targetRows_.row(y), sizeof(Pixel) * std::size_t(copy.width));
    return true;
}

bool Enlargement::sharpenBand(std::int32_t band, std::int32_t bands)
{
    if (failed_)
        return false;
    if (sharpenLevel_ <= 0)
        return true;
    std::int32_t begin, end;
    bandRows(band, bands, begin, end);
    const std::int32_t weight = PixEffector::sharpenCentreWeight(static_cast<float>(sharpenLevel_ / 5.0));
    sharpen(effector_, unsharpened_.rows(), targetRows_, weight, begin, end);
    return true;
}

Surface Enlargement::result() const
{
    if (failed_)
        return Surface();
    return Surface(target_);
}

} // namespace engine::rows
