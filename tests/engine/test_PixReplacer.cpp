#include "ReplacerFixtures.h"

#include <utility>
#include <vector>

using namespace replacer_test;

namespace {
Rgba opaque(Rgba c)
{
    c.a = 255;
    return c;
}
} // namespace

TEST_F(PixReplacerTest, CharsetBecomesEightCharactersWithReorderedRowsAndColumns)
{
    Surface source = makePattern(288, 256, true);
    CellList cells = replacer.rearrange(source, key, true);
    ASSERT_EQ(8u, cells.size());
    // Destination rows 0..3 show source rows 2, 3, 1, 0; columns 0..3 show
    // source columns 1, 0, 1, 2.
    const int sourceRow[4] = {2, 3, 1, 0}, sourceColumn[4] = {1, 0, 1, 2};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const int x0 = 72 * (i % 4), y0 = 128 * (i / 4);
        ASSERT_EQ(96, cells[i].width());
        ASSERT_EQ(128, cells[i].height());
        EXPECT_EQ(24, cells[i].sdl()->format->BitsPerPixel);
        EXPECT_EQ("", firstMismatch(cells[i], 0, 0, 96, 128, [&](int u, int v) {
                      return patternColour(x0 + 24 * sourceColumn[u / 24] + u % 24, y0 + 32 * sourceRow[v / 32] + v % 32);
                  }));
    }
    EXPECT_EQ(patternColour(24, 192), pixel(cells[4], 0, 0));
    EXPECT_EQ("", takeLog());
}

class PixReplacerChipsetTest : public PixReplacerTest {
protected:
    void SetUp() override
    {
        PixReplacerTest::SetUp();
        cells = replacer.rearrange(source, key, true);
        ASSERT_EQ(18u, cells.size());
    }

    Surface source = makePattern(480, 256, true);
    CellList cells;
};

TEST_F(PixReplacerChipsetTest, CellsFollowTheLayoutInOrderSizeAndForm)
{
    // T tile stack 128 x 768, S sea 144 x 64, A autotile 48 x 64, N
    // animation 64 x 16; S and N with alpha.
    const std::string kinds = "TSSAANNNAAAAAAAAAA";
    int autotile = 0;
    for (int i = 0; i < 18; ++i) {
        SCOPED_TRACE(i);
        const char kind = kinds[i];
        EXPECT_EQ(kind == 'T' ? 128 : kind == 'S' ? 144 : kind == 'A' ? 48 : 64, cells[i].width());
        EXPECT_EQ(kind == 'T' ? 768 : kind == 'N' ? 16 : 64, cells[i].height());
        EXPECT_EQ(kind == 'S' || kind == 'N' ? 32 : 24, cells[i].sdl()->format->BitsPerPixel);
        if (kind != 'A')
            continue;
        // Autotiles come from the left part block by block, row by row,
        // leaving out the sea blocks (0, 0) and (48, 0), the sea sub picture
        // (0, 64) and the animation block (48, 64).
        const int blocks[12] = {2, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        const int x = 48 * (blocks[autotile] % 4), y = 64 * (blocks[autotile] / 4);
        ++autotile;
        EXPECT_EQ("", firstMismatch(cells[i], 0, 0, 48, 64, [&](int u, int v) { return patternColour(x + u, y + v); }));
    }
    EXPECT_EQ(12, autotile);
    EXPECT_EQ("", takeLog());
}

TEST_F(PixReplacerChipsetTest, TileStackAndAnimationStrips)
{
    Surface& stack = cells[0];
    EXPECT_EQ(patternColour(288, 0), pixel(stack, 0, 256));
    EXPECT_EQ(patternColour(384, 0), pixel(stack, 0, 512));
    EXPECT_EQ("", firstMismatch(stack, 0, 0, 96, 768, [](int u, int v) {
                  return patternColour(192 + 96 * (v / 256) + u, v % 256);
              }));
    EXPECT_EQ("", firstMismatch(stack, 96, 0, 32, 768, [&](int, int) { return opaque(key); }));

    // Strip pixel (16j + u, v) is block pixel (x + u, 16j + v).
    for (int x = 0; x < 48; x += 16) {
        SCOPED_TRACE(x);
        EXPECT_EQ("", firstMismatch(cells[5 + x / 16], 0, 0, 64, 16, [&](int s, int v) {
                      return patternColour(48 + x + s % 16, 64 + 16 * (s / 16) + v);
                  }));
    }
}

TEST_F(PixReplacerChipsetTest, SeaChipsAreBuiltFromBlockPiecesSubPiecesAndTransparentPieces)
{
    // The piece each 8 x 8 piece of a chip shows: "ab" the block piece 8a
    // pixels right of the chip's 16-pixel column and 8b down, "tt" the key
    // colour with alpha 0, "ss" the sub picture's top-left piece.
    const char* const layout[8] = {
        "00 10 tt tt 06 16", "01 11 tt tt 07 17", "00 14 04 14 04 10", "03 ss ss ss ss 12",
        "02 ss ss ss ss 13", "03 ss ss ss ss 12", "02 ss ss ss ss 13", "01 05 15 05 15 11",
    };
    const Rgba empty{key.r, key.g, key.b, 0};
    for (int n = 0; n < 2; ++n) {
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(::testing::Message() << "sea cell " << 1 + n << ", chip " << k);
            const int columnX = 48 * n + 16 * k;
            EXPECT_EQ("", firstMismatch(cells[1 + n], 48 * k, 0, 48, 64, [&](int u, int v) {
                          const char* piece = layout[v / 8] + 3 * (u / 8);
                          if (piece[0] == 't')
                              return empty;
                          if (piece[0] == 's')
                              return patternColour(u % 8, 64 + v % 8);
                          return patternColour(columnX + 8 * (piece[0] - '0') + u % 8, 8 * (piece[1] - '0') + v % 8);
                      }));
        }
    }
}

TEST_F(PixReplacerTest, AnyOtherPictureIsOneCellSharingTheSource)
{
    const std::pair<Surface, bool> cases[] = {{makePattern(480, 257, false), true}, {makePattern(287, 256, false), true},
                                              {makePattern(13, 7, true), true},    {makePattern(480, 256, false), false},
                                              {makePattern(288, 256, false), false}};
    for (const auto& [source, preset] : cases) {
        CellList cells = replacer.rearrange(source, key, preset);
        ASSERT_EQ(1u, cells.size());
        EXPECT_EQ(source.sdl(), cells[0].sdl());
    }
    EXPECT_TRUE(replacer.rearrange(Surface(), key, true).empty());
    EXPECT_EQ("", takeLog());
}

namespace {
// Palette index 1 everywhere and index 5, the SDL colour key, at the points.
Surface makeKeyedPalettePicture(int w, int h, const std::vector<std::pair<int, int>>& keyed)
{
    Surface picture;
    picture.setSurface(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0));
    SDL_Surface* s = picture.sdl();
    SDL_Color colours[8];
    for (int i = 0; i < 8; ++i)
        colours[i] = SDL_Color{Uint8(30 * i), Uint8(200 - i), 7, 0};
    SDL_SetColors(s, colours, 0, 8);
    SDL_SetColorKey(s, SDL_SRCCOLORKEY, 5);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            static_cast<Uint8*>(s->pixels)[y * s->pitch + x] = 1;
    for (const auto& [x, y] : keyed)
        static_cast<Uint8*>(s->pixels)[y * s->pitch + x] = 5;
    return picture;
}
} // namespace

TEST_F(PixReplacerTest, ColourKeyedPalettePixelsKeepWhatTheDestinationHeld)
{
    const Rgba black{0, 0, 0, 255}, plain{30, 199, 7, 255};
    // Source (27, 68), column 1 and row 2 of the first character, lands twice
    // in destination row 0.
    Surface charset = makeKeyedPalettePicture(288, 256, {{27, 68}});
    CellList characters = replacer.rearrange(charset, key, true);
    ASSERT_EQ(8u, characters.size());
    EXPECT_EQ(black, pixel(characters[0], 3, 4));
    EXPECT_EQ(black, pixel(characters[0], 51, 4));
    EXPECT_EQ(plain, pixel(characters[0], 4, 4));

    // (300, 10) lands at (12, 266) of the tile stack, (100, 3) at (4, 3) of
    // the first autotile.
    Surface chipset = makeKeyedPalettePicture(480, 256, {{300, 10}, {100, 3}});
    CellList cells = replacer.rearrange(chipset, key, true);
    ASSERT_EQ(18u, cells.size());
    EXPECT_EQ(opaque(key), pixel(cells[0], 12, 266));
    EXPECT_EQ(plain, pixel(cells[0], 13, 266));
    EXPECT_EQ(black, pixel(cells[3], 4, 3));

    // Given directly, a keyed block leaves a new picture's transparent black.
    Surface block = makeKeyedPalettePicture(48, 64, {{17, 20}});
    CellList strips = replacer.convertChipBlock(key, block, Surface(), ChipKind::Animation);
    ASSERT_EQ(3u, strips.size());
    EXPECT_EQ((Rgba{0, 0, 0, 0}), pixel(strips[1], 16 + 1, 4));
    EXPECT_EQ(plain, pixel(strips[1], 16 + 2, 4));
}
