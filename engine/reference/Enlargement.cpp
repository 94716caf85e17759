#include "engine/reference/Enlargement.h"

#include "auxlib/error/ErrorLogger.h"
#include "engine/EffectorLogSites.h"

namespace engine::reference {

using auxlib::draw::Rect;
using auxlib::draw::Success;
using auxlib::draw::Surface;
using auxlib::error::ErrorLogger;

using namespace effectorSites;

namespace {
constexpr float cellScale = 2.0f;
}

bool Enlargement::fail()
{
    target_.setSurface(nullptr);
    failed_ = true;
    return false;
}

bool Enlargement::prepare()
{
    if (!cell_.isValid()) {
        failed_ = true;
        return false;
    }
    if (target_.create(2 * cellWidth_, 2 * cellHeight_, true) != Success) {
        ErrorLogger(sourceName, createFailedSite).put("サーフェイスの作成に失敗。");
        failed_ = true;
        return false;
    }
    return true;
}

bool Enlargement::resampleBand(std::int32_t, std::int32_t)
{
    if (failed_)
        return false;
    // A second handle on the cell's picture: pixel reads need a non-const
    // handle, and the picture itself is only read.
    Surface source(cell_);
    if (effector_.resample(cellScale, 2 * gridWidth_, 2 * gridHeight_, target_, 2 * cellWidth_, 2 * cellHeight_,
                           source)
        != Success) {
        ErrorLogger(sourceName, resampleFailedSite).put("サーフェイスの拡大に失敗。");
        return fail();
    }
    return true;
}

bool Enlargement::correct()
{
    if (failed_)
        return false;
    if (eraseAlphaGrid_ && effector_.correctAlphaGrid(target_, 2 * gridWidth_, 2 * gridHeight_) != Success) {
        ErrorLogger(sourceName, alphaGridFailedSite).put("アルファ値の補正に失敗。");
        return fail();
    }
    return true;
}

bool Enlargement::sharpenBand(std::int32_t, std::int32_t)
{
    if (failed_)
        return false;
    if (sharpenLevel_ > 0
        && effector_.sharpen(target_, sharpenLevel_, Rect{0, 0, 2 * cellWidth_, 2 * cellHeight_}) != Success) {
        ErrorLogger(sourceName, sharpenFailedSite).put("サーフェイスのシャープ化に失敗。");
        return fail();
    }
    return true;
}

Surface Enlargement::result() const
{
    if (failed_)
        return Surface();
    return Surface(target_);
}

} // namespace engine::reference
