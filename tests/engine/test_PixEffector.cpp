#include "engine/EffectorFixtures.h"

#include <cmath>
#include <utility>

using namespace effector_test;
using engine::Sample;
using engine::SampleWindow;

TEST(EnlargeCell, AnyDepthGivesTwiceTheSizeAt32BitsWithAlpha)
{
    Surface sources[] = {gradient(3, 2), gradient(3, 2, true),
                         palettised(3, 2, {{9, 8, 7, 0}, {1, 2, 3, 0}}, {0, 1, 0, 1, 1, 0})};
    for (Surface& source : sources) {
        Surface out(effector(engine::Bilinear).enlargeCell(source, 16, 16, 2, true));
        ASSERT_TRUE(out.isValid());
        EXPECT_EQ(out.width(), 6);
        EXPECT_EQ(out.height(), 4);
        EXPECT_EQ(out.sdl()->format->BitsPerPixel, 32);
        EXPECT_EQ(out.sdl()->format->Rmask, 0xFFu);
        EXPECT_EQ(out.sdl()->format->Amask, 0xFF000000u);
    }
}

TEST(EnlargeCell, InvalidCellGivesAnEmptySurfaceAndNoLog)
{
    takeLog();
    Surface none;
    EXPECT_FALSE(effector(engine::Bilinear).enlargeCell(none, 16, 16, 2, true).isValid());
    EXPECT_EQ(takeLog(), "");
}

TEST(EnlargeCell, TargetBeyondSdlsWidthLimitIsLogged)
{
    takeLog();
    Surface wide;
    ASSERT_EQ(wide.create(8192, 1, false), 0); // SDL refuses surfaces 16384 wide
    EXPECT_FALSE(effector(engine::Bilinear).enlargeCell(wide, 16, 16, 2, true).isValid());
    EXPECT_EQ(takeLog(), logEntry(39, "サーフェイスの作成に失敗。"));
}

TEST(Nearest, EachSourcePixelBecomesATwoByTwoBlockAndKeyPixelsTheEmptyColour)
{
    Surface source(gradient(5, 3));
    source.putPixel(3, 1, &key);
    Surface out(effector(engine::Nearest).enlargeCell(source, 2, 2, 0, true));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(at(out, x, y), x / 2 == 3 && y / 2 == 1 ? empty : at(source, x / 2, y / 2)) << x << "," << y;
}

TEST(Nearest, KeyRgbWithAnotherAlphaIsOrdinaryAndPartialAlphaIsKept)
{
    Surface source(picture(2, 1, true, {{0x00, 0x75, 0x75, 200}, {9, 8, 7, 77}}));
    Surface out(effector(engine::Nearest).enlargeCell(source, 0, 0, 0, false));
    expectPixels(out, {{1, 1, {0x00, 0x75, 0x75, 200}}, {2, 0, {9, 8, 7, 77}}});
}

TEST(Nearest, WithoutAKeyOpaqueBlackBecomesTransparentBlack)
{
    Surface source(picture(2, 1, false, {{0, 0, 0, 255}, {5, 6, 7, 255}}));
    Surface out(effector(engine::Nearest, Rgba{0, 0, 0, 255}).enlargeCell(source, 0, 0, 0, false));
    expectPixels(out, {{1, 0, {0, 0, 0, 0}}, {3, 1, {5, 6, 7, 255}}});
}

TEST(Nearest, PalettisedSourceReadsItsPaletteColours)
{
    Surface source(palettised(3, 1, {{0x00, 0x75, 0x75, 0}, {200, 100, 50, 0}}, {1, 0, 1}));
    Surface out(effector(engine::Nearest).enlargeCell(source, 0, 0, 0, false));
    expectPixels(out, {{0, 0, {200, 100, 50, 255}}, {3, 1, empty}, {5, 1, {200, 100, 50, 255}}});
}

TEST(Bilinear, EvenPositionsReproduceTheSourceAndOddOnesTruncateEachBlend)
{
    Surface source(picture(3, 2, false, {{10, 200, 3}, {21, 100, 4}, {40, 0, 250}, {1, 51, 0}, {0, 50, 1}, {7, 7, 7}}));
    Surface out(effector(engine::Bilinear).enlargeCell(source, 0, 0, 0, false));
    expectPixels(out, {{2, 0, {21, 100, 4, 255}},
                       {1, 0, {15, 150, 3, 255}},
                       {3, 0, {30, 50, 127, 255}},
                       {0, 1, {5, 125, 1, 255}},
                       // rows first: (15 + 0) / 2, not the mean 32 / 4 of the four
                       {1, 1, {7, 100, 1, 255}},
                       // the last column and row repeat the edge
                       {5, 0, {40, 0, 250, 255}},
                       {5, 1, {23, 3, 128, 255}},
                       {1, 3, {0, 50, 0, 255}},
                       {5, 3, {7, 7, 7, 255}}});
}

TEST(Bilinear, GridBorderBlendsAlphaWithTheOpaqueOutsideButNeverItsColour)
{
    Surface source(picture(4, 2, true,
                           {{10, 20, 30, 255}, {50, 60, 70, 0}, {200, 201, 202, 255}, {1, 1, 1, 255},
                            {11, 21, 31, 255}, {90, 80, 70, 0}, {210, 211, 212, 255}, {2, 2, 2, 255}}));
    Surface out(effector(engine::Bilinear).enlargeCell(source, 2, 2, 0, false));
    expectPixels(out, {{3, 0, {50, 60, 70, 127}},
                       {3, 1, {70, 70, 70, 127}},
                       {3, 3, {90, 80, 70, 191}},
                       {4, 0, {200, 201, 202, 255}}});
}

TEST(Bilinear, KeyPixelLendsNoColourButItsZeroAlpha)
{
    Surface source(picture(3, 3, false, {key, key, {100, 50, 25}, key, key, key, {1, 2, 3}, key, {7, 8, 9}}));
    Surface out(effector(engine::Bilinear).enlargeCell(source, 0, 0, 0, false));
    expectPixels(out, {{2, 0, {100, 50, 25, 0}},
                       {3, 0, {100, 50, 25, 127}},
                       {0, 0, empty},
                       {1, 1, empty},
                       // only the lower right of four has a colour; alpha (0 + 127) / 2
                       {3, 3, {7, 8, 9, 63}}});
}

TEST(Original, ColoursAreNearestsAndKeyCentresTheEmptyColour)
{
    Surface source(gradient(5, 3));
    source.putPixel(3, 1, &key);
    source.putPixel(0, 2, &key);
    Surface nearest(effector(engine::Nearest).enlargeCell(source, 3, 2, 0, false));
    Surface original(effector(engine::Original).enlargeCell(source, 3, 2, 0, false));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 10; ++x) {
            Rgba want = at(nearest, x, y);
            if (want != empty)
                want.a = at(original, x, y).a;
            EXPECT_EQ(at(original, x, y), want) << x << "," << y;
        }
    }
}

TEST(Original, AlphaSmoothsOverTheNeighbourhood)
{
    Surface source(picture(3, 3, false, {key, {60, 61, 62}, {1, 2, 3}, key, {70, 71, 72}, {4, 5, 6}, key, {7, 8, 9}, {10, 11, 12}}));
    Surface out(effector(engine::Original).enlargeCell(source, 0, 0, 0, false));
    // Left neighbours key-coloured: each row (0 + 255) / 2, then (0 + 2*255 + 255) / 4.
    expectPixels(out, {{2, 2, {70, 71, 72, 127}}, {3, 2, {70, 71, 72, 191}}, {4, 2, {4, 5, 6, 255}}, {0, 0, empty}});
}

TEST(Original, GridBorderInATransparentRegionCountsTheOutsideAsOpaque)
{
    Surface source(picture(4, 3, true, std::vector<Rgba>(12, Rgba{30, 40, 50, 0})));
    Surface out(effector(engine::Original).enlargeCell(source, 2, 0, 0, true));
    // Row 2 sees only the square; row 0 averages with the opaque row above the
    // picture, (255 + 0) / 2 rounding half up to 128.
    const int alphas[2][8] = {{127, 63, 0, 63, 127, 63, 0, 63}, {191, 159, 128, 159, 191, 159, 128, 159}};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(at(out, x, 2), (Rgba{30, 40, 50, std::uint8_t(alphas[0][x])})) << x;
        EXPECT_EQ(at(out, x, 0), (Rgba{30, 40, 50, std::uint8_t(alphas[1][x])})) << x;
    }
}

TEST(UnknownMode, EveryPixelIsOpaqueBlack)
{
    Surface source(gradient(3, 2));
    source.putPixel(1, 1, &key);
    for (int mode : {5, -1}) {
        Surface out(effector(mode).enlargeCell(source, 16, 16, 0, false));
        EXPECT_EQ(pixels(out), std::vector<Rgba>(24, Rgba{0, 0, 0, 255})) << mode;
    }
}

TEST(GridSize, ZeroNegativeAndOversizedGridsMeanOneSquare)
{
    Surface source(gradient(5, 3));
    Surface whole(effector(engine::Bilinear).enlargeCell(source, 5, 3, 0, false));
    for (auto [gw, gh] : {std::pair{0, 0}, {-4, -1}, {100, 50}}) {
        Surface out(effector(engine::Bilinear).enlargeCell(source, gw, gh, 0, false));
        EXPECT_EQ(pixels(out), pixels(whole)) << gw << "," << gh;
    }
    // One square blends source columns 1 and 2; a grid of 2 keeps them apart.
    EXPECT_EQ(at(whole, 3, 0), (Rgba{65, 180, 40, 255}));
    Surface split(effector(engine::Bilinear).enlargeCell(source, 2, 0, 0, false));
    EXPECT_EQ(at(split, 3, 0), (Rgba{50, 187, 40, 255}));
}

TEST(Resample, SquaresThatDoNotDivideTheTargetStillCoverIt)
{
    Surface source(gradient(5, 3));
    Surface target(picture(10, 6, true, std::vector<Rgba>(60, Rgba{1, 2, 3, 4})));
    EXPECT_EQ(effector(engine::Nearest).resample(2.0f, 4, 4, target, 10, 6, source), 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(at(target, x, y), at(source, x / 2, y / 2)) << x << "," << y;
}

TEST(Resample, InvalidSurfacesAndScalesAreRefusedWithoutALogEntry)
{
    takeLog();
    Surface source(gradient(2, 2)), target(gradient(4, 4, true)), none;
    EXPECT_EQ(effector(engine::Bilinear).resample(2.0f, 4, 4, none, 4, 4, source), 3);
    EXPECT_EQ(effector(engine::Bilinear).resample(2.0f, 4, 4, target, 4, 4, none), 3);
    for (float scale : {0.0f, -2.0f, 0.5f, std::nanf("")})
        EXPECT_EQ(effector(engine::Bilinear).resample(scale, 4, 4, target, 4, 4, source), 3) << scale;
    EXPECT_EQ(takeLog(), "");
}

TEST(Blend, MissingEndsDropOutAndIntegerBlendsTruncate)
{
    EXPECT_EQ(PixEffector::blendInt(-1, 7, 0.0f), 7);
    EXPECT_EQ(PixEffector::blendInt(9, -1, 1.0f), 9);
    EXPECT_EQ(PixEffector::blendInt(0, 255, 0.5f), 127);
    EXPECT_EQ(PixEffector::blendInt(10, 21, 0.25f), 12);
    EXPECT_EQ(PixEffector::blendFloat(-1.0f, 3.5f, 0.5f), 3.5f);
    EXPECT_EQ(PixEffector::blendFloat(0.0f, 255.0f, 0.5f), 127.5f);
    EXPECT_EQ(PixEffector::threeTap(0, 0, 255, 0.5f), 63.75f);
    EXPECT_EQ(PixEffector::threeTap(255, 0, 9, 0.0f), 127.5f);
}

TEST(FetchSample, OutsideCountsAsOpaqueAndTheKeyAsTransparent)
{
    Surface source(picture(3, 1, true, {key, {0x00, 0x75, 0x75, 9}, {5, 6, 7, 8}}));
    PixEffector e = effector(engine::Bilinear);
    auto fetch = [&](SampleWindow window, int x, int y) {
        const Sample s = e.fetchSample(source, window, x, y);
        return std::vector<int>{s.r, s.g, s.b, s.a};
    };
    const SampleWindow right{1, 0, 2, 1}, whole{0, 0, 3, 1};
    EXPECT_EQ(fetch(right, 0, 0), (std::vector<int>{-1, -1, -1, 255}));
    EXPECT_EQ(fetch(whole, 0, 0), (std::vector<int>{-1, -1, -1, 0}));
    EXPECT_EQ(fetch(right, 1, 0), (std::vector<int>{0x00, 0x75, 0x75, 9}));
    EXPECT_EQ(fetch(right, 2, 0), (std::vector<int>{5, 6, 7, 8}));
    EXPECT_EQ(fetch(SampleWindow{0, -1, 4, 3}, 3, 0), (std::vector<int>{-1, -1, -1, 255}));
    EXPECT_EQ(fetch(SampleWindow{0, -1, 4, 3}, 2, -1), (std::vector<int>{-1, -1, -1, 255}));
}
