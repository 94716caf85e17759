#include "engine/ColorKey.h"

#include "engine/Pixwright_DLL.h"

#include <algorithm>
#include <mutex>

namespace engine {

using auxlib::draw::Rgba;

namespace {

std::mutex& stateLock()
{
    static std::mutex lock;
    return lock;
}

ColorKeyState& storedState()
{
    static ColorKeyState state;
    return state;
}

template <typename Change>
void changeState(Change change)
{
    std::lock_guard<std::mutex> guard(stateLock());
    change(storedState());
}

} // namespace

ColorKeyState colorKeyState()
{
    std::lock_guard<std::mutex> guard(stateLock());
    return storedState();
}

Rgba chooseKeyColour(const ColorKeyState& state, auxlib::draw::Surface& source, bool ownPalette)
{
    Rgba key{0, 0, 0, 255};
    switch (state.mode) {
    case ColorKeyMode::Position:
        source.getPixel(key, state.x, state.y);
        break;
    case ColorKeyMode::Rgb:
        key = state.colour;
        break;
    case ColorKeyMode::PaletteIndex: {
        key = state.colour;
        const SDL_Surface* s = source.sdl();
        const SDL_Palette* palette = s != nullptr ? s->format->palette : nullptr;
        if (ownPalette && palette != nullptr && palette->colors != nullptr && state.paletteIndex < palette->ncolors) {
            const SDL_Color& entry = palette->colors[state.paletteIndex];
            // Palette pixels read back opaque, so the key is too.
            key = Rgba{entry.r, entry.g, entry.b, 255};
        }
        break;
    }
    case ColorKeyMode::None:
        break;
    }
    return key;
}

} // namespace engine

static std::uint8_t channel(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

extern "C" PIXWRIGHT_API void setColorKey(int red, int green, int blue)
{
    engine::changeState([&](engine::ColorKeyState& state) {
        state.mode = engine::ColorKeyMode::Rgb;
        state.colour = auxlib::draw::Rgba{channel(red), channel(green), channel(blue), 255};
    });
}

extern "C" PIXWRIGHT_API void setColorKeyPos(int x, int y)
{
    engine::changeState([&](engine::ColorKeyState& state) {
        state.mode = engine::ColorKeyMode::Position;
        state.x = x;
        state.y = y;
    });
}

extern "C" PIXWRIGHT_API void setColorKeyPaletteIndex(int index)
{
    engine::changeState([&](engine::ColorKeyState& state) {
        state.mode = engine::ColorKeyMode::PaletteIndex;
        state.paletteIndex = std::clamp(index, 0, 255);
    });
}

extern "C" PIXWRIGHT_API void resetColorKey(void)
{
    engine::changeState([](engine::ColorKeyState& state) { state.mode = engine::ColorKeyMode::None; });
}
