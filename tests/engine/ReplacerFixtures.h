#ifndef TESTS_ENGINE_REPLACERFIXTURES_H
#define TESTS_ENGINE_REPLACERFIXTURES_H

#include "LogFile.h"
#include "engine/PixReplacer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace replacer_test {

using auxlib::draw::Rect;
using auxlib::draw::Rgba;
using auxlib::draw::Surface;
using engine::CellList;
using engine::ChipKind;

// Unique for every pixel of a picture up to 512 x 256; never the key colour.
inline Rgba patternColour(int x, int y)
{
    return Rgba{std::uint8_t(x & 0xFF), std::uint8_t(y), std::uint8_t(0x40 | (x >> 8)), 255};
}

inline Rgba pixel(Surface& picture, int x, int y)
{
    Rgba out;
    return picture.getPixel(out, x, y);
}

// With alpha every pixel is partly transparent, so a copy that blends would
// darken it.
inline Surface makePattern(int w, int h, bool withAlpha)
{
    Surface picture;
    picture.create(w, h, withAlpha);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgba c = patternColour(x, y);
            c.a = withAlpha ? std::uint8_t(0x30 + (x + 3 * y) % 200) : 255;
            picture.putPixel(x, y, &c);
        }
    }
    return picture;
}

// The first pixel of the w x h area at (dx, dy) that differs from
// expected(u, v), described; empty when all match.
template <class Expected>
std::string firstMismatch(Surface& picture, int dx, int dy, int w, int h, Expected expected)
{
    for (int v = 0; v < h; ++v) {
        for (int u = 0; u < w; ++u) {
            if (pixel(picture, dx + u, dy + v) != expected(u, v))
                return "at (" + std::to_string(dx + u) + ", " + std::to_string(dy + v) + ") got "
                       + ::testing::PrintToString(pixel(picture, dx + u, dy + v)) + " want "
                       + ::testing::PrintToString(expected(u, v));
        }
    }
    return "";
}


inline std::string logEntry(int line, const std::string& message, const char* source = "..\\..\\PixReplacer")
{
    return "Error!!\n  Program : " + std::string(source) + "(" + std::to_string(line) + ")\n  Detail\n\n" + message
           + "\n";
}

class PixReplacerTest : public ::testing::Test {
protected:
    void SetUp() override { takeLog(); }

    // A picked key keeps its pixel's alpha; only red, green and blue count.
    const Rgba key{0x00, 0x75, 0x75, 0x9A};
    engine::PixReplacer replacer;
};

} // namespace replacer_test

#endif
