#include "engine/ColorKey.h"

#include "engine/Pixwright_DLL.h"

#include <algorithm>

namespace engine {

using auxlib::draw::Rgba;

ColorKeyState& colorKeyState()
{
    static ColorKeyState state;
    return state;
}

Rgba chooseKeyColour(const ColorKeyState& state, auxlib::draw::Surface& source)
{
    Rgba key{0, 0, 0, 255};
    switch (state.mode) {
    case ColorKeyMode::Position:
        source.getPixel(key, state.x, state.y);
        break;
    case ColorKeyMode::Rgb:
        key = state.colour;
        break;
    case ColorKeyMode::None:
        break;
    }
    return key;
}

} // namespace engine

static std::uint8_t channel(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

extern "C" PIXWRIGHT_API void setColorKey(int red, int green, int blue)
{
    engine::ColorKeyState& state = engine::colorKeyState();
    state.mode = engine::ColorKeyMode::Rgb;
    state.colour = auxlib::draw::Rgba{channel(red), channel(green), channel(blue), 255};
}

extern "C" PIXWRIGHT_API void setColorKeyPos(int x, int y)
{
    engine::ColorKeyState& state = engine::colorKeyState();
    state.mode = engine::ColorKeyMode::Position;
    state.x = x;
    state.y = y;
}

extern "C" PIXWRIGHT_API void resetColorKey(void) { engine::colorKeyState().mode = engine::ColorKeyMode::None; }
