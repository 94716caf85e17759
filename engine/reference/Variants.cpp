#include "engine/reference/Kernels.h"

namespace engine::reference {

using auxlib::draw::ResultCode;
using auxlib::draw::Rgba;
using auxlib::draw::Surface;

ResultCode copyColour(const Surface& picture, Surface& colour) { return colour.copy(&picture, 0, 0, nullptr, 0, 0); }

void copyAlpha(const Surface& picture, Surface& grey)
{
    // With the grey palette the nearest entry to (a, a, a) is index a
    // itself.
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            Rgba pixel;
            picture.getPixel(pixel, x, y);
            const Rgba level{pixel.a, pixel.a, pixel.a, 255};
            grey.putPixel(x, y, &level);
        }
    }
}

} // namespace engine::reference
