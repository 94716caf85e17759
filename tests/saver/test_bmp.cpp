#include "tests/saver/decoders.h"

using namespace saver_test;

TEST(BmpWriter, ThreeByTwoThirtyTwoBitFileIsByteExact)
{
    SurfacePtr s = makeSurface(3, 2, BGRA32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            putRaw(s.get(), x, y, 0xA0000000u | Uint32(10 * x + y) << 16 | Uint32(100 + x) << 8 | Uint32(200 + y));
    Bytes b;
    ASSERT_EQ(saveToMemory(WPX_SaveBMP_RW, s.get(), b), 0);
    ASSERT_EQ(b.size(), 78u);
    const Uint32 expectedHeader[][3] = {
        {0, 2, 0x4D42}, {2, 4, 78},  {6, 2, 0},     {8, 2, 0},     {10, 4, 54}, {14, 4, 40}, {18, 4, 3}, {22, 4, 2},
        {26, 2, 1},     {28, 2, 32}, {30, 4, 0},    {34, 4, 24},   {38, 4, 2835}, {42, 4, 2835}, {46, 4, 0}, {50, 4, 0}};
    for (const auto& field : expectedHeader)
        EXPECT_EQ(field[1] == 2 ? le16(b, field[0]) : le32(b, field[0]), field[2]) << "offset " << field[0];
    // Bottom row first, blue, green, red, then a zero byte instead of alpha.
    const Uint8 pixels[] = {201, 100, 1, 0, 201, 101, 11, 0, 201, 102, 21, 0,
                            200, 100, 0, 0, 200, 101, 10, 0, 200, 102, 20, 0};
    EXPECT_EQ(Bytes(b.begin() + 54, b.end()), Bytes(std::begin(pixels), std::end(pixels)));
}

TEST(BmpWriter, PaletteOfTwoHundredFiftySixColours)
{
    SurfacePtr s = paletteSurface(5, 3, 8, 256);
    Bytes b;
    ASSERT_EQ(saveToMemory(WPX_SaveBMP_RW, s.get(), b), 0);
    EXPECT_EQ(le32(b, 10), 1078u);
    EXPECT_EQ(le32(b, 46), 256u);
    EXPECT_EQ(le32(b, 50), 256u);
    EXPECT_EQ(le32(b, 2), 1078u + 3 * 8);
    ASSERT_EQ(b.size(), 1078u + 3 * 8);
    const SDL_Color c = paletteEntry(77);
    EXPECT_EQ(Bytes(b.begin() + 54 + 4 * 77, b.begin() + 54 + 4 * 78), (Bytes{c.b, c.g, c.r, c.unused}));
    // The top row (indices 0..4) is the last one in the file.
    EXPECT_EQ(Bytes(b.begin() + 1078 + 16, b.begin() + 1078 + 21), (Bytes{0, 1, 2, 3, 4}));
}

TEST(BmpWriter, TwentyFourBitRowsKeepThePitchInBothByteOrders)
{
    for (const Layout& l : {BGR24, RGB24}) {
        SurfacePtr s = patternSurface(5, 2, l);
        Bytes b;
        ASSERT_EQ(saveToMemory(WPX_SaveBMP_RW, s.get(), b), 0);
        ASSERT_EQ(b.size(), 54u + 2 * 16) << l.name;
        EXPECT_EQ(le32(b, 34), 32u);
        const Rgba c = patternAt(4, 1, l); // last pixel of the bottom row
        EXPECT_EQ(Bytes(b.begin() + 54 + 12, b.begin() + 54 + 15), (Bytes{Uint8(c[2]), Uint8(c[1]), Uint8(c[0])}))
            << l.name;
    }
}

TEST(BmpWriter, SixteenBitWordsAreFiveFiveFive)
{
    SurfacePtr s = makeSurface(4, 1, RGB565);
    const int greens[] = {63, 32, 1, 2};
    const int expected[] = {31, 16, 0, 1};
    for (int x = 0; x < 4; ++x)
        putRaw(s.get(), x, 0, Uint32(31 - x) << 11 | Uint32(greens[x]) << 5 | Uint32(x));
    Bytes b;
    ASSERT_EQ(saveToMemory(WPX_SaveBMP_RW, s.get(), b), 0);
    EXPECT_EQ(b[28], 16);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(le16(b, 54 + 2 * x), Uint32(31 - x) << 10 | expected[x] << 5 | x);

    SurfacePtr same = makeSurface(3, 1, RGB555);
    const Uint32 words[] = {0x7FFF, 0x1234, 0x0421};
    for (int x = 0; x < 3; ++x)
        putRaw(same.get(), x, 0, words[x]);
    ASSERT_EQ(saveToMemory(WPX_SaveBMP_RW, same.get(), b), 0);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(le16(b, 54 + 2 * x), words[x]);
}

TEST(BmpWriter, DecodesToTheSamePixels)
{
    const Layout layouts[] = {BGRA32, RGBA32, BGRX32, BGR24, RGB24, RGB565, RGB555};
    for (const Layout& l : layouts) {
        SurfacePtr s = patternSurface(7, 5, l);
        Bytes b;
        ASSERT_EQ(saveToMemory(WPX_SaveBMP_RW, s.get(), b), 0) << l.name;
        SurfacePtr back = decodeBmp(b);
        ASSERT_TRUE(back) << l.name << ": " << SDL_GetError();
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                Rgba want = patternAt(x, y, l);
                want[3] = 0;
                if (l.g == RGB565.g) // six bits of green to five, halves up
                    want[1] = (want[1] * 31 * 2 + 63) / (63 * 2);
                ASSERT_EQ(rawAt(back.get(), x, y), want) << l.name << " at " << x << "," << y;
            }
    }
}

TEST(BmpWriter, PaletteSurfacesOfEveryDepthDecode)
{
    const int depths[][2] = {{8, 16}, {8, 256}, {4, 16}, {1, 2}};
    for (const auto& d : depths) {
        for (int w : {1, 9, 13, 33}) {
            SurfacePtr s = paletteSurface(w, 3, d[0], d[1]);
            Bytes b;
            ASSERT_EQ(saveToMemory(WPX_SaveBMP_RW, s.get(), b), 0);
            // Packed rows are padded to four bytes and the header says so.
            const Uint32 row = d[0] == 8 ? s->pitch : ((Uint32(w) * d[0] + 7) / 8 + 3) & ~3u;
            EXPECT_EQ(le32(b, 34), 3 * row);
            EXPECT_EQ(le32(b, 2), b.size());
            SurfacePtr back = decodeBmp(b);
            ASSERT_TRUE(back) << SDL_GetError();
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < w; ++x) {
                    const int index = rawAt(back.get(), x, y)[0];
                    ASSERT_EQ(index, (x + 2 * y) % d[1]) << d[0] << " bits, width " << w;
                    EXPECT_EQ(back->format->palette->colors[index].g, paletteEntry(index).g);
                }
        }
    }
}

TEST(BmpWriter, HeightZeroWritesHeadersAndPaletteOnly)
{
    SurfacePtr s = paletteSurface(6, 0, 8, 16);
    Bytes b;
    ASSERT_EQ(saveToMemory(WPX_SaveBMP_RW, s.get(), b), 0);
    EXPECT_EQ(b.size(), 54u + 64);
    EXPECT_EQ(le32(b, 34), 0u);
}

// SDL gives a surface of width 0 no pixel memory at all: its rows are null.
TEST(BmpWriter, WidthZeroWritesHeadersAndPaletteOnly)
{
    for (int bits : {1, 4, 8}) {
        SurfacePtr s = paletteSurface(0, 14, bits, 1 << bits);
        ASSERT_EQ(s->pixels, nullptr);
        Bytes b;
        ASSERT_EQ(saveToMemory(WPX_SaveBMP_RW, s.get(), b), 0) << bits;
        EXPECT_EQ(b.size(), 54u + 4 * (1u << bits)) << bits;
        EXPECT_EQ(le32(b, 18), 0u) << bits; // width
        EXPECT_EQ(le32(b, 22), 14u) << bits; // height
        EXPECT_EQ(le32(b, 34), 0u) << bits; // image size
    }
}

TEST(BmpWriter, FailureResults)
{
    SurfacePtr s = patternSurface(6, 4, BGR24);
    StreamState st;
    SDL_RWops* rw = openStream(st);
    SDL_SetError("left over");
    EXPECT_EQ(WPX_SaveBMP_RW(s.get(), rw), 3);
    EXPECT_STREQ(SDL_GetError(), "left over");
    EXPECT_EQ(st.data.size(), 54u);
    SDL_RWclose(rw);

    Bytes b;
    EXPECT_EQ(saveToMemory(WPX_SaveBMP_RW, s.get(), b, 54 + 20 + 10), 10);
    EXPECT_STREQ(SDL_GetError(), "WPX_bmp: Error has occured while writing data");
    EXPECT_EQ(b.size(), 54u + 20);
    // Lost header bytes with no rows to write still fail.
    SurfacePtr empty = patternSurface(6, 0, BGR24);
    EXPECT_EQ(saveToMemory(WPX_SaveBMP_RW, empty.get(), b, 20), 10);

    EXPECT_EQ(saveToMemory(WPX_SaveBMP_RW, nullptr, b), 1);
    EXPECT_STREQ(SDL_GetError(), "WPX_bmp: Passed an invalid surface");
    EXPECT_EQ(WPX_SaveBMP_RW(s.get(), nullptr), 1);

    const Uint8 realSize = s->format->BytesPerPixel;
    s->format->BytesPerPixel = 5;
    EXPECT_EQ(saveToMemory(WPX_SaveBMP_RW, s.get(), b), 6);
    s->format->BytesPerPixel = realSize;
    EXPECT_STREQ(SDL_GetError(), "WPX_bmp: Unknown pixel format");
    EXPECT_EQ(b.size(), 54u);
}
