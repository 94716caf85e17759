#include "engine/CellEnlargement.h"

#include "auxlib/error/ErrorLogger.h"
#include "engine/EffectorLogSites.h"
#include "engine/PixEffectorRows.h"

#include <algorithm>
#include <cstring>

namespace engine {

using auxlib::draw::Success;
using auxlib::draw::Surface;
using auxlib::error::ErrorLogger;

using namespace effectorSites;

CellEnlargement::CellEnlargement(const PixEffector& effector, const Surface& cell, std::int32_t gridWidth,
                                 std::int32_t gridHeight, std::int32_t sharpenLevel, bool eraseAlphaGrid)
    : effector_(effector), cell_(cell), cellWidth_(cell.width()), cellHeight_(cell.height()),
      gridWidth_(PixEffector::gridSquare(gridWidth, cell.width())),
      gridHeight_(PixEffector::gridSquare(gridHeight, cell.height())),
      sharpenLevel_(sharpenLevel), eraseAlphaGrid_(eraseAlphaGrid)
{
}

bool CellEnlargement::prepare()
{
    if (!cell_.isValid()) {
        failed_ = true;
        return false;
    }
    if (target_.create(2 * cellWidth_, 2 * cellHeight_, true) != Success || !isEnginePixelFormat(target_)) {
        ErrorLogger(sourceName, createFailedLine).put("サーフェイスの作成に失敗。");
        failed_ = true;
        return false;
    }
    source_ = decodePixels(cell_);
    if (source_.empty()) {
        ErrorLogger(sourceName, resampleFailedLine).put("サーフェイスの拡大に失敗。");
        target_.setSurface(nullptr);
        failed_ = true;
        return false;
    }
    // Pictures the engine makes need no lock; the rows stay valid while the
    // target lives.
    targetRows_ = pixelRowsOf(target_);
    return true;
}

void CellEnlargement::bandRows(std::int32_t band, std::int32_t bands, std::int32_t& begin, std::int32_t& end) const
{
    // Even boundaries keep each pair of target rows, which share their
    // source row, in one band.
    const std::int32_t pairs = cellHeight_;
    begin = 2 * static_cast<std::int32_t>(std::int64_t(pairs) * band / bands);
    end = 2 * static_cast<std::int32_t>(std::int64_t(pairs) * (band + 1) / bands);
}

void CellEnlargement::resampleBand(std::int32_t band, std::int32_t bands)
{
    if (failed_)
        return;
    std::int32_t begin, end;
    bandRows(band, bands, begin, end);
    rows::resample(effector_, source_.rows(), targetRows_, gridWidth_, gridHeight_, begin, end);
}

bool CellEnlargement::correct()
{
    if (failed_)
        return false;
    source_ = PixelBuffer();
    if (eraseAlphaGrid_)
        rows::correctAlphaGrid(effector_, targetRows_, 2 * gridWidth_, 2 * gridHeight_);
    if (sharpenLevel_ <= 0)
        return true;
    unsharpened_ = PixelBuffer(targetRows_.width, targetRows_.height);
    if (unsharpened_.empty()) {
        ErrorLogger(sourceName, copyFailedLine).put("サーフェイスのコピーに失敗しました。");
        ErrorLogger(sourceName, sharpenFailedLine).put("サーフェイスのシャープ化に失敗。");
        target_.setSurface(nullptr);
        failed_ = true;
        return false;
    }
    const PixelRows copy = unsharpened_.rows();
    for (std::int32_t y = 0; y < copy.height; ++y)
        std::memcpy(copy.row(y), targetRows_.row(y), sizeof(Pixel) * std::size_t(copy.width));
    return true;
}

void CellEnlargement::sharpenBand(std::int32_t band, std::int32_t bands)
{
    if (failed_ || sharpenLevel_ <= 0)
        return;
    std::int32_t begin, end;
    bandRows(band, bands, begin, end);
    const std::int32_t weight = PixEffector::sharpenCentreWeight(static_cast<float>(sharpenLevel_ / 5.0));
    rows::sharpen(effector_, unsharpened_.rows(), targetRows_, weight, begin, end);
}

Surface CellEnlargement::result() const
{
    if (failed_)
        return Surface();
    return Surface(target_);
}

Surface enlargeCellRows(const PixEffector& effector, const Surface& cell, std::int32_t gridWidth,
                        std::int32_t gridHeight, std::int32_t sharpenLevel, bool eraseAlphaGrid)
{
    CellEnlargement enlargement(effector, cell, gridWidth, gridHeight, sharpenLevel, eraseAlphaGrid);
    if (enlargement.prepare()) {
        enlargement.resampleBand(0, 1);
        if (enlargement.correct())
            enlargement.sharpenBand(0, 1);
    }
    return enlargement.result();
}

} // namespace engine
