#ifndef TESTS_ENGINE_EFFECTORFIXTURES_H
#define TESTS_ENGINE_EFFECTORFIXTURES_H

#include "LogFile.h"
#include "auxlib/draw/Surface.h"
#include "engine/PixEffector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace auxlib::draw {
inline void PrintTo(const Rgba& c, std::ostream* os)
{
    *os << '(' << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ')';
}
} // namespace auxlib::draw

namespace effector_test {

using auxlib::draw::Rect;
using auxlib::draw::Rgba;
using auxlib::draw::Surface;
using engine::PixEffector;

// The window's default transparent colour and the empty colour that goes with it.
constexpr Rgba key{0x00, 0x75, 0x75, 255};
constexpr Rgba empty{0x00, 0x75, 0x75, 0};

inline PixEffector effector(int mode, Rgba keyColour = key)
{
    return PixEffector(mode, keyColour, Rgba{keyColour.r, keyColour.g, keyColour.b, 0});
}

// A w x h picture filled row by row: 24 bits without alpha, 32 with.
inline Surface picture(int w, int h, bool withAlpha, const std::vector<Rgba>& pixels)
{
    Surface s;
    EXPECT_EQ(s.create(w, h, withAlpha), 0);
    for (int i = 0; i < w * h && i < int(pixels.size()); ++i)
        s.putPixel(i % w, i / w, &pixels[i]);
    return s;
}

// Asymmetric and opaque; no channel is 0 and no pixel is the key, for
// pictures up to 7 x 5.
inline Surface gradient(int w, int h, bool withAlpha = false)
{
    std::vector<Rgba> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(Rgba{std::uint8_t(20 + 30 * x + 7 * y), std::uint8_t(200 - 13 * x - 17 * y),
                                  std::uint8_t(40 + 5 * x * y), 255});
    return picture(w, h, withAlpha, pixels);
}

// An 8-bit palettised picture of palette indices.
inline Surface palettised(int w, int h, std::vector<SDL_Color> palette, const std::vector<Uint8>& indices)
{
    Surface s;
    SDL_Surface* raw = SDL_CreateRGBSurface(0, w, h, 8, 0, 0, 0, 0);
    EXPECT_NE(raw, nullptr);
    SDL_SetColors(raw, palette.data(), 0, int(palette.size()));
    for (int i = 0; i < w * h; ++i)
        static_cast<Uint8*>(raw->pixels)[(i / w) * raw->pitch + i % w] = indices.at(i);
    s.setSurface(raw);
    return s;
}

inline Rgba at(Surface& s, int x, int y)
{
    Rgba c;
    return s.getPixel(c, x, y);
}

inline std::vector<Rgba> pixels(Surface& s)
{
    std::vector<Rgba> all;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            all.push_back(at(s, x, y));
    return all;
}

struct Expected {
    int x, y;
    Rgba colour;
};

inline void expectPixels(Surface& s, std::initializer_list<Expected> expected)
{
    for (const Expected& e : expected)
        EXPECT_EQ(at(s, e.x, e.y), e.colour) << "at (" << e.x << ", " << e.y << ")";
}


inline std::string logEntry(int line, const std::string& message)
{
    return "Error!!\n  Program : ..\\..\\PixEffector(" + std::to_string(line) + ")\n  Detail\n\n" + message + "\n";
}

} // namespace effector_test

#endif
