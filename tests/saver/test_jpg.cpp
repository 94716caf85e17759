#include "tests/saver/decoders.h"

#include <algorithm>

using namespace saver_test;

namespace {

// Flat 16 x 16 blocks (the size of a chroma-subsampled block), so that a
// quality-75 picture stays within a step or two of its source.
Rgba blockColour(int x, int y)
{
    const int bx = x / 16, by = y / 16;
    return {40 + 60 * bx, 230 - 50 * by, 90 + 30 * bx + 20 * by, (bx * 97 + by * 31 + 5) & 255};
}

SurfacePtr blockSurface(const Layout& l)
{
    SurfacePtr s = makeSurface(45, 37, l);
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 45; ++x)
            putRaw(s.get(), x, y, compose(s->format, blockColour(x, y)));
    return s;
}

Bytes jpegOf(SDL_Surface* s)
{
    Bytes b;
    EXPECT_EQ(saveToMemory(WPX_SaveJPG_RW, s, b), 0) << SDL_GetError();
    return b;
}

bool contains(const Bytes& b, std::initializer_list<Uint8> part)
{
    return std::search(b.begin(), b.end(), part.begin(), part.end()) != b.end();
}

} // namespace

TEST(JpegWriter, BaselineQualitySeventyFiveInItsColours)
{
    const Bytes b = jpegOf(blockSurface(RGB24).get());
    ASSERT_GT(b.size(), 4u);
    EXPECT_EQ((Bytes{b[0], b[1], b[b.size() - 2], b[b.size() - 1]}), (Bytes{0xFF, 0xD8, 0xFF, 0xD9}));
    EXPECT_TRUE(contains(b, {0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 37, 0x00, 45, 0x03})); // baseline, 3 components
    EXPECT_TRUE(contains(b, {0xFF, 0xDB, 0x00, 0x43, 0x00, 8})); // first quantiser 16 * 50 / 100
    const Decoded jpeg = decodeJpeg(b);
    ASSERT_EQ(jpeg.width, 45);
    ASSERT_EQ(jpeg.height, 37);
    for (int y = 8; y < 37; y += 16)
        for (int x = 7; x < 45; x += 16)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(jpeg.at(x, y)[c], blockColour(x, y)[c], 2) << x << "," << y;
}

TEST(JpegWriter, SameColoursGiveTheSameBytesWhateverTheLayoutOrAlpha)
{
    const Bytes reference = jpegOf(blockSurface(RGB24).get());
    for (const Layout& l : {BGR24, RGBA32, BGRA32, BGRX32}) // alpha differs from block to block
        EXPECT_EQ(jpegOf(blockSurface(l).get()), reference) << l.name;

    // 16-bit channels are stretched by rounding: green 63, 32, 1 of 5-6-5
    // and red 31, 16 become 255, 130, 4 and 255, 132. Columns: red, green of
    // six bits, green of five, blue.
    const int source[][4] = {{31, 63, 31, 0}, {16, 32, 16, 1}, {0, 1, 0, 30}, {1, 0, 1, 16}, {30, 2, 2, 31}};
    const int stretched[][4] = {{255, 255, 255, 0}, {132, 130, 132, 8}, {0, 4, 0, 247}, {8, 0, 8, 132}, {247, 8, 16, 255}};
    for (const Layout& l : {RGB565, RGB555}) {
        const int g = l.g == RGB565.g ? 1 : 2;
        SurfacePtr narrow = makeSurface(5, 3, l);
        SurfacePtr wide = makeSurface(5, 3, RGB24);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const int* n = source[(x + y) % 5];
                const int* w = stretched[(x + y) % 5];
                putRaw(narrow.get(), x, y, compose(narrow->format, {n[0], n[g], n[3], 0}));
                putRaw(wide.get(), x, y, Uint32(w[0] | w[g] << 8 | w[3] << 16));
            }
        EXPECT_EQ(jpegOf(narrow.get()), jpegOf(wide.get())) << l.name;
    }

    // A palette picture is its colours, packed or not.
    for (int bits : {8, 4}) {
        SurfacePtr indexed = paletteSurface(13, 9, bits, 16);
        SurfacePtr direct = makeSurface(13, 9, RGB24);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 13; ++x) {
                const SDL_Color c = paletteEntry((x + 2 * y) % 16);
                putRaw(direct.get(), x, y, c.r | c.g << 8 | c.b << 16);
            }
        EXPECT_EQ(jpegOf(indexed.get()), jpegOf(direct.get())) << bits << " bits";
    }
}

TEST(JpegWriter, FailureResults)
{
    SurfacePtr big = patternSurface(200, 150, BGRX32);
    SurfacePtr small = blockSurface(RGB24); // all of it in the final write
    Bytes b;
    const std::pair<SDL_Surface*, size_t> shortStreams[] = {{big.get(), 0}, {big.get(), 5000}, {small.get(), 100}};
    for (const auto& c : shortStreams) {
        EXPECT_EQ(saveToMemory(WPX_SaveJPG_RW, c.first, b, c.second), 10) << c.second;
        EXPECT_STREQ(SDL_GetError(), "WPX_jpg: Error has occured while writing a data");
    }

    SurfacePtr empty = patternSurface(0, 4, RGB24);
    EXPECT_EQ(saveToMemory(WPX_SaveJPG_RW, empty.get(), b), 2);
    EXPECT_STREQ(SDL_GetError(), "WPX_jpg: JPEG loading error");

    small->format->BytesPerPixel = 6;
    EXPECT_EQ(saveToMemory(WPX_SaveJPG_RW, small.get(), b), 8);
    small->format->BytesPerPixel = 3;
    EXPECT_STREQ(SDL_GetError(), "WPX_jpg: Unknown pixel format");

    EXPECT_EQ(WPX_SaveJPG_RW(small.get(), nullptr), 1);
    EXPECT_EQ(saveToMemory(WPX_SaveJPG_RW, nullptr, b), 1);
    EXPECT_STREQ(SDL_GetError(), "WPX_jpg: Passed an invalid surface");
}
