#ifndef ENGINE_COLORKEY_H
#define ENGINE_COLORKEY_H

#include "auxlib/draw/Surface.h"

namespace engine {

enum class ColorKeyMode { None, Rgb, Position };

// The transparent colour every conversion uses, set through the exported
// colour-key calls and kept until the library unloads.
struct ColorKeyState {
    ColorKeyMode mode = ColorKeyMode::None;
    int x = 0;
    int y = 0;
    auxlib::draw::Rgba colour{0, 0, 0, 255};
};

ColorKeyState& colorKeyState();

// The key colour for one source picture: the pixel at the stored position
// (opaque black outside the picture), the fixed colour, or opaque black.
auxlib::draw::Rgba chooseKeyColour(const ColorKeyState& state, auxlib::draw::Surface& source);

} // namespace engine

#endif
