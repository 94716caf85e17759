#include "engine/EffectorFixtures.h"

#include <tuple>

using namespace effector_test;
using engine::Kernel;

namespace {

// Colours tell the pixels apart; only the alphas vary between cases.
Surface alphaPicture(int w, int h, const std::vector<int>& alphas)
{
    std::vector<Rgba> colours;
    for (int i = 0; i < w * h; ++i)
        colours.push_back(Rgba{std::uint8_t(10 + i), std::uint8_t(90 - i), 7, std::uint8_t(alphas.at(i))});
    return picture(w, h, true, colours);
}

std::vector<int> alphas(Surface& s)
{
    std::vector<int> all;
    for (const Rgba& c : pixels(s))
        all.push_back(c.a);
    return all;
}

// 100 among 90s; the right neighbour above has no green, the centre no blue.
Surface ninetiesAroundHundred()
{
    std::vector<Rgba> colours(9, Rgba{90, 90, 90, 255});
    colours[2] = Rgba{90, 0, 90, 255};
    colours[4] = Rgba{100, 100, 0, 255};
    return picture(3, 3, true, colours);
}

} // namespace

TEST(AlphaGrid, BilinearSquareEdgesBetweenTransparentSquaresBecomeTransparent)
{
    Surface source(picture(32, 3, true, std::vector<Rgba>(96, Rgba{40, 80, 120, 0})));
    Surface raw(effector(engine::Bilinear).enlargeCell(source, 16, 16, 0, false));
    expectPixels(raw, {{30, 2, {40, 80, 120, 0}}, {31, 2, {40, 80, 120, 127}}, {32, 2, {40, 80, 120, 0}},
                       {31, 5, {40, 80, 120, 191}}, {63, 2, {40, 80, 120, 127}}});
    Surface corrected(effector(engine::Bilinear).enlargeCell(source, 16, 16, 0, true));
    EXPECT_EQ(pixels(corrected), std::vector<Rgba>(64 * 6, Rgba{40, 80, 120, 0}));
    for (int mode : {engine::Nearest, engine::Original}) {
        Surface off(effector(mode).enlargeCell(source, 16, 16, 0, false));
        Surface on(effector(mode).enlargeCell(source, 16, 16, 0, true));
        EXPECT_EQ(pixels(on), pixels(off)) << mode;
    }
    // Corrected first, then sharpened: every pixel now has alpha 0 and is written as the empty colour.
    Surface both(effector(engine::Bilinear).enlargeCell(source, 16, 16, 2, true));
    EXPECT_EQ(pixels(both), std::vector<Rgba>(64 * 6, empty));
}

TEST(AlphaGrid, SpikeNeedsSixtyThreeOnBothSidesAndOnlyAlphaChanges)
{
    const PixEffector e = effector(engine::Bilinear);
    Surface s(alphaPicture(4, 3, {0, 63, 0, 0, /**/ 0, 62, 0, 0, /**/ 0, 100, 60, 60}));
    EXPECT_EQ(e.correctAlphaGrid(s, 2, 100), 0);
    EXPECT_EQ(alphas(s), (std::vector<int>{0, 0, 0, 0, 0, 62, 0, 0, 0, 100, 60, 60}));
    EXPECT_EQ(at(s, 1, 0), (Rgba{11, 89, 7, 0}));
}

TEST(AlphaGrid, LastColumnAndRowLookOnlyLeftAndUp)
{
    const PixEffector e = effector(engine::Bilinear);
    // Spacing equal to the width: the last column is the only line, and the
    // opaque outside on its right would have vetoed the change.
    Surface row(alphaPicture(4, 1, {255, 0, 60, 200}));
    e.correctAlphaGrid(row, 4, 1);
    EXPECT_EQ(alphas(row), (std::vector<int>{255, 0, 60, 60}));
    Surface column(alphaPicture(1, 3, {200, 100, 240}));
    e.correctAlphaGrid(column, 1, 3);
    EXPECT_EQ(alphas(column), (std::vector<int>{200, 100, 100}));
}

TEST(AlphaGrid, RowsSeeTheColumnsCorrections)
{
    Surface s(alphaPicture(4, 4, {255, 255, 255, 255, 0, 200, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255}));
    effector(engine::Bilinear).correctAlphaGrid(s, 2, 2);
    // Column 1 drops (1, 1) to 0, which row 1 then sees as a spike against 255 above and below.
    EXPECT_EQ(alphas(s), std::vector<int>(16, 255));
}

TEST(AlphaGrid, NoLineAndOtherModesLeaveThePictureAlone)
{
    const std::vector<int> spiky{0, 255, 255, 0, 255, 0};
    Surface changed(alphaPicture(3, 2, spiky));
    effector(engine::Bilinear).correctAlphaGrid(changed, 2, 2);
    EXPECT_EQ(alphas(changed), (std::vector<int>{0, 255, 255, 0, 255, 255}));
    for (auto [mode, sx, sy] : {std::tuple{engine::Bilinear, 4, 3}, {engine::Bilinear, -2, 0},
                               {engine::Nearest, 2, 2}, {engine::Original, 2, 2}}) {
        Surface s(alphaPicture(3, 2, spiky));
        EXPECT_EQ(effector(mode).correctAlphaGrid(s, sx, sy), 0);
        EXPECT_EQ(alphas(s), spiky) << mode << " " << sx << "," << sy;
    }
    // Column 0 has no left neighbour and is never a line.
    Surface edge(alphaPicture(3, 1, {0, 255, 255}));
    effector(engine::Bilinear).correctAlphaGrid(edge, 1, 1);
    EXPECT_EQ(alphas(edge), (std::vector<int>{0, 255, 255}));
}

TEST(Sharpen, CentreWeightsComeFromSinglePrecisionLevels)
{
    const int levels[] = {-3, 0, 1, 2, 3, 4, 5, 9};
    const int weights[] = {40, 40, 33, 27, 21, 15, 10, 10};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(PixEffector::sharpenCentreWeight(static_cast<float>(levels[i] / 5.0)), weights[i]) << levels[i];
}

TEST(Sharpen, WeightedChannelLeavesOutValuesOfZeroOrLessAndClamps)
{
    const Kernel w{-1, -1, -1, -1, 10, -1, -1, -1, -1};
    EXPECT_EQ(PixEffector::weightedChannel({90, 90, 90, 90, 100, 90, 90, 90, 90}, w), 140);
    EXPECT_EQ(PixEffector::weightedChannel({90, 0, 90, -1, 100, 90, -1, 90, 90}, w), 110); // (1000 - 450) / 5
    EXPECT_EQ(PixEffector::weightedChannel({90, 90, 90, 90, 0, 90, 90, 90, 90}, w), 0);
    EXPECT_EQ(PixEffector::weightedChannel({1, 1, 1, 1, 255, 1, 1, 1, 1}, w), 255);
    EXPECT_EQ(PixEffector::weightedChannel({255, 255, 255, 255, 1, 255, 255, 255, 255}, w), 0);
}

TEST(Sharpen, ReadsEveryNeighbourhoodFromTheUnsharpenedPicture)
{
    // Corners (10*90 - 280) / 7 = 88, centre (10*100 - 720) / 2 = 140, its
    // green (1000 - 630) / 3 = 123 without the black neighbour, its black blue stays.
    std::vector<Rgba> want(9, Rgba{88, 88, 90, 255});
    want[2] = Rgba{88, 0, 90, 255};
    want[4] = Rgba{140, 123, 0, 255};
    for (int level : {5, 9}) {
        Surface s(ninetiesAroundHundred());
        EXPECT_EQ(effector(engine::Bilinear).sharpen(s, level, Rect{0, 0, 3, 3}), 0);
        EXPECT_EQ(pixels(s), want) << level;
    }
    Surface oversized(ninetiesAroundHundred()), centre(ninetiesAroundHundred()), four(ninetiesAroundHundred());
    effector(engine::Bilinear).sharpen(oversized, 5, Rect{-5, -5, 100, 100});
    EXPECT_EQ(pixels(oversized), want);
    effector(engine::Bilinear).sharpen(centre, 5, Rect{1, 1, 1, 1});
    Surface fresh(ninetiesAroundHundred());
    std::vector<Rgba> onlyCentre(pixels(fresh));
    onlyCentre[4] = want[4];
    EXPECT_EQ(pixels(centre), onlyCentre);
    effector(engine::Bilinear).sharpen(four, 4, Rect{0, 0, 3, 3});
    EXPECT_EQ(at(four, 1, 1), (Rgba{111, 108, 0, 255})); // (15*100 - 720) / 7, (1500 - 630) / 8
}

TEST(Sharpen, UniformPicturesStayAndLevelsOfZeroOrLessChangeNothing)
{
    const std::vector<Rgba> uniformPixels(20, Rgba{120, 60, 30, 255});
    for (int level : {1, 2, 3, 4, 5}) {
        Surface uniform(picture(5, 4, true, uniformPixels));
        EXPECT_EQ(effector(engine::Bilinear).sharpen(uniform, level, Rect{0, 0, 5, 4}), 0);
        EXPECT_EQ(pixels(uniform), uniformPixels) << level;
    }
    for (int level : {0, -3}) {
        Surface s(ninetiesAroundHundred()), fresh(ninetiesAroundHundred());
        EXPECT_EQ(effector(engine::Bilinear).sharpen(s, level, Rect{0, 0, 3, 3}), 0);
        EXPECT_EQ(pixels(s), pixels(fresh)) << level;
    }
}

TEST(Sharpen, TransparentCentresBecomeEmptyButTransparentNeighboursStillCount)
{
    Surface s(picture(4, 1, true, {empty, {100, 100, 100, 255}, key, {50, 60, 70, 0}}));
    effector(engine::Bilinear).sharpen(s, 5, Rect{0, 0, 4, 1});
    // The empty-coloured neighbour gives green and blue 117 but no red; the key-coloured one nothing.
    expectPixels(s, {{0, 0, empty}, {1, 0, {100, 98, 98, 255}}, {2, 0, empty}, {3, 0, empty}});
}

TEST(Sharpen, InvalidSurfaceIsRefusedWithoutALogEntry)
{
    takeLog();
    Surface none;
    EXPECT_EQ(effector(engine::Bilinear).sharpen(none, 2, Rect{0, 0, 1, 1}), 3);
    EXPECT_EQ(takeLog(), "");
}
