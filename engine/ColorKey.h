#ifndef ENGINE_COLORKEY_H
#define ENGINE_COLORKEY_H

#include "auxlib/draw/Surface.h"
#include "engine/Pixwright_DLL.h"

namespace engine {

// None keys opaque black (the state before any key call); Off keys nothing.
enum class ColorKeyMode { None, Rgb, Position, PaletteIndex, Off };

// The transparent colour every conversion uses, set through the exported
// colour-key calls and kept until the library unloads. Each call replaces the
// mode; the fixed colour stays, as the palette mode falls back to it.
struct ColorKeyState {
    ColorKeyMode mode = ColorKeyMode::None;
    int x = 0;
    int y = 0;
    int paletteIndex = 0;
    auxlib::draw::Rgba colour{0, 0, 0, 255};
};

// A copy of the state as it stands; conversions read it once, at their start.
ColorKeyState colorKeyState();

// The state a key given for one call describes (the channels clamped, the
// palette index too, as the engine-wide calls do); an unknown mode is None.
ColorKeyState colorKeyStateOf(const PixwrightColorKey& key);

// The key colour for one source picture: the pixel at the stored position
// (opaque black outside the picture), the fixed colour, the colour of the
// picture's own palette entry (the fixed colour when it has none), or opaque
// black. `ownPalette` tells whether the picture's file carries a palette, as
// opposed to one its loader made up (grey pictures).
auxlib::draw::Rgba chooseKeyColour(const ColorKeyState& state, auxlib::draw::Surface& source, bool ownPalette);

} // namespace engine

#endif
