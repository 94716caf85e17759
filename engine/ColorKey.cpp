#include "engine/ColorKey.h"

#include "engine/Pixwright_DLL.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

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

std::uint8_t channel(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// A key no pixel of the picture equals. The key is compared in all four
// bytes, and pictures without an alpha channel read every pixel opaque, so
// for them any transparent colour will do; for the others the first
// transparent colour, counting up from black, that the picture does not hold.
// Of w x h pixels at most w x h colours are taken, so one of the first
// w x h + 1 is free.
Rgba colourNotIn(auxlib::draw::Surface& source)
{
    const SDL_Surface* s = source.sdl();
    if (s == nullptr || s->format->Amask == 0)
        return Rgba{0, 0, 0, 0};
    std::vector<std::uint32_t> taken;
    Rgba pixel;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            if (source.getPixel(pixel, x, y).a == 0)
                taken.push_back(std::uint32_t(pixel.r) << 16 | std::uint32_t(pixel.g) << 8 | pixel.b);
    std::sort(taken.begin(), taken.end());
    std::uint32_t free = 0;
    for (std::uint32_t value : taken) {
        if (value > free)
            break;
        if (value == free)
            ++free;
    }
    return Rgba{std::uint8_t(free >> 16), std::uint8_t(free >> 8), std::uint8_t(free), 0};
}

} // namespace

ColorKeyState colorKeyStateOf(const PixwrightColorKey& key)
{
    ColorKeyState state;
    switch (key.mode) {
    case PIXWRIGHT_KEY_FIXED:
        state.mode = ColorKeyMode::Rgb;
        break;
    case PIXWRIGHT_KEY_POSITION:
        state.mode = ColorKeyMode::Position;
        break;
    case PIXWRIGHT_KEY_PALETTE:
        state.mode = ColorKeyMode::PaletteIndex;
        break;
    case PIXWRIGHT_KEY_OFF:
        state.mode = ColorKeyMode::Off;
        break;
    default:
        state.mode = ColorKeyMode::None;
        break;
    }
    state.x = key.x;
    state.y = key.y;
    state.paletteIndex = std::clamp(key.paletteIndex, 0, 255);
    state.colour = Rgba{channel(key.red), channel(key.green), channel(key.blue), 255};
    return state;
}

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
    case ColorKeyMode::Off:
        key = colourNotIn(source);
        break;
    case ColorKeyMode::None:
        break;
    }
    return key;
}

} // namespace engine

extern "C" PIXWRIGHT_API void setColorKey(int red, int green, int blue)
{
    engine::changeState([&](engine::ColorKeyState& state) {
        state.mode = engine::ColorKeyMode::Rgb;
        state.colour = auxlib::draw::Rgba{engine::channel(red), engine::channel(green), engine::channel(blue), 255};
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

extern "C" PIXWRIGHT_API void setColorKeyOff(void)
{
    engine::changeState([](engine::ColorKeyState& state) { state.mode = engine::ColorKeyMode::Off; });
}
