// The pixel-art modes, Scale2x and xBR, on small pictures drawn as text: one
// character per pixel, every target pixel checked. Each enlargement here is
// also run through the row path, which must give the same bytes.
#include "ConvertFixtures.h"
#include "engine/CellEnlargement.h"
#include "engine/EffectorFixtures.h"

#include <algorithm>
#include <map>
#include <random>

using namespace effector_test;

namespace {

const Rgba ink1{200, 40, 0, 255};
const Rgba ink2{10, 20, 31, 255};
const Rgba ink3{60, 170, 70, 255};
const Rgba ink4{250, 240, 120, 128};
// The mean of ink1 and ink2 by the xBR blend: (200 + 10 + 1) / 2, ...,
// (0 + 31 + 1) / 2.
const Rgba mean12{105, 30, 16, 255};

// '#', '.', 'o', 'w': the inks; 'k' the key; 'e' the empty colour;
// 'm' the mean of '#' and '.'.
const std::map<char, Rgba> inks{{'#', ink1}, {'.', ink2}, {'o', ink3}, {'w', ink4},
                                {'k', key},  {'e', empty}, {'m', mean12}};

Surface drawn(const std::vector<std::string>& rows, const std::map<char, Rgba>& palette = inks)
{
    std::vector<Rgba> all;
    for (const std::string& row : rows)
        for (char c : row)
            all.push_back(palette.at(c));
    return picture(int(rows[0].size()), int(rows.size()), true, all);
}

std::vector<std::string> textOf(Surface& s, const std::map<char, Rgba>& palette = inks)
{
    std::vector<std::string> rows;
    for (int y = 0; y < s.height(); ++y) {
        std::string row;
        for (int x = 0; x < s.width(); ++x) {
            char name = '?';
            for (const auto& [c, colour] : palette)
                if (colour == at(s, x, y))
                    name = c;
            row += name;
        }
        rows.push_back(row);
    }
    return rows;
}

// The reference's enlargement (no sharpening, no alpha-grid correction),
// checked against the row path's on the way.
Surface enlarged(int mode, Surface& source, int gridWidth = 0, int gridHeight = 0, Rgba keyColour = key)
{
    const PixEffector e = effector(mode, keyColour);
    Surface reference(e.enlargeCell(source, gridWidth, gridHeight, 0, false));
    Surface rows(engine::enlargeCell(engine::KernelSet::Rows, e, source, gridWidth, gridHeight, 0, false));
    EXPECT_EQ(pixels(reference), pixels(rows)) << "row path, mode " << mode;
    return reference;
}

std::vector<std::string> enlargedText(int mode, const std::vector<std::string>& source, int gridWidth = 0,
                                      int gridHeight = 0)
{
    Surface s(drawn(source));
    Surface out(enlarged(mode, s, gridWidth, gridHeight));
    return textOf(out);
}

// A w x h picture of the given inks, in runs so that edges and flat parts
// both occur.
Surface scattered(int w, int h, const std::vector<Rgba>& palette, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<Rgba> all;
    for (int i = 0; i < w * h; ++i)
        all.push_back(i > 0 && random() % 3 == 0 ? all.back() : palette[random() % palette.size()]);
    return picture(w, h, true, all);
}

Surface crop(Surface& s, int x0, int y0, int w, int h)
{
    std::vector<Rgba> all;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            all.push_back(at(s, x, y));
    return picture(w, h, true, all);
}

bool between(std::uint8_t v, std::uint8_t p, std::uint8_t q) { return v >= std::min(p, q) && v <= std::max(p, q); }

} // namespace

TEST(Scale2x, DiagonalLineAndCheckerFollowTheRule)
{
    const std::vector<std::string> line{"#...", ".#..", "..#.", "...#"};
    // Beside the line the corners between two line pixels take the line's
    // colour; at the picture's corners the outside counts as the pixel.
    EXPECT_EQ(enlargedText(engine::Scale2x, line), (std::vector<std::string>{
                                                       "##......",
                                                       "#.#.....",
                                                       ".###....",
                                                       "..###...",
                                                       "...###..",
                                                       "....###.",
                                                       ".....#.#",
                                                       "......##",
                                                   }));
    EXPECT_EQ(enlargedText(engine::Scale2x, {"#.", ".#"}), (std::vector<std::string>{
                                                               "##..",
                                                               "#.#.",
                                                               ".#.#",
                                                               "..##",
                                                           }));
    // In 2 x 2 squares the line is two separate checkers: the pixels that
    // match across the squares' edges do not count.
    EXPECT_EQ(enlargedText(engine::Scale2x, line, 2, 2), (std::vector<std::string>{
                                                             "##......",
                                                             "#.#.....",
                                                             ".#.#....",
                                                             "..##....",
                                                             "....##..",
                                                             "....#.#.",
                                                             ".....#.#",
                                                             "......##",
                                                         }));
}

TEST(Scale2x, KeyIsComparedLikeAnyColourAndWrittenAsTheEmptyColour)
{
    // The checker above with the key for '#': the key's corners that take
    // the other colour get it with its alpha, the other colour's corners that
    // take the key become empty.
    EXPECT_EQ(enlargedText(engine::Scale2x, {"k.", ".k"}), (std::vector<std::string>{
                                                               "ee..",
                                                               "e.e.",
                                                               ".e.e",
                                                               "..ee",
                                                           }));
    // The key's colour under another alpha is an ordinary colour.
    Surface s(drawn({"w.", ".w"}));
    Surface out(enlarged(engine::Scale2x, s, 0, 0, Rgba{ink4.r, ink4.g, ink4.b, 255}));
    EXPECT_EQ(textOf(out), (std::vector<std::string>{"ww..", "w.w.", ".w.w", "..ww"}));
}

TEST(PixelArt, FlatSquaresEqualNearest)
{
    // Squares of 3 x 2, each of one colour (one of them the key), set as a
    // checker of squares: no square sees its neighbours' colours.
    const std::vector<std::string> squares{"###...kkk", "###...kkk", "...###ooo", "...###ooo"};
    Surface source(drawn(squares));
    Surface nearest(enlarged(engine::Nearest, source, 3, 2));
    for (int mode : {engine::Scale2x, engine::Xbr}) {
        Surface out(enlarged(mode, source, 3, 2));
        EXPECT_EQ(pixels(out), pixels(nearest)) << mode;
    }
    // As one square, Scale2x cuts the corners where the colours meet (xBR
    // keeps right angles).
    Surface whole(enlarged(engine::Scale2x, source));
    EXPECT_NE(pixels(whole), pixels(nearest));
    // Every pixel its own square: the staircase that xBR blends below stays.
    Surface stairs(drawn({"###.", "##..", "#...", "...."}));
    Surface single(enlarged(engine::Xbr, stairs, 1, 1));
    Surface stairsNearest(enlarged(engine::Nearest, stairs));
    EXPECT_EQ(pixels(single), pixels(stairsNearest));
}

TEST(PixelArt, EachSquareIsEnlargedAsIfItWereAPictureOfItsOwn)
{
    // 11 x 7 in squares of 4 x 3: the last column and row of squares are cut
    // short by the picture's edge.
    Surface source(scattered(11, 7, {ink1, ink2, ink3, key}, 7));
    for (int mode : {engine::Scale2x, engine::Xbr}) {
        Surface out(enlarged(mode, source, 4, 3));
        for (int y0 = 0; y0 < 7; y0 += 3) {
            for (int x0 = 0; x0 < 11; x0 += 4) {
                const int w = std::min(4, 11 - x0), h = std::min(3, 7 - y0);
                Surface square(crop(source, x0, y0, w, h));
                Surface alone(enlarged(mode, square));
                for (int y = 0; y < 2 * h; ++y)
                    for (int x = 0; x < 2 * w; ++x)
                        ASSERT_EQ(at(out, 2 * x0 + x, 2 * y0 + y), at(alone, x, y))
                            << "mode " << mode << " square " << x0 << "," << y0 << " at " << x << "," << y;
            }
        }
    }
}

TEST(PixelArt, NoPixelOutsideASquareChangesIt)
{
    // 9 x 7 in squares of 3 x 3; the middle square [3, 6) x [3, 6) reaches
    // the picture's edge nowhere.
    Surface base(scattered(9, 7, {ink1, ink2, ink3}, 3));
    for (int mode : {engine::Scale2x, engine::Xbr}) {
        Surface before(enlarged(mode, base, 3, 3));
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 9; ++x) {
                if (x >= 3 && x < 6 && y >= 3 && y < 6)
                    continue;
                Surface changed(crop(base, 0, 0, 9, 7));
                changed.putPixel(x, y, &ink4);
                Surface after(enlarged(mode, changed, 3, 3));
                for (int ty = 6; ty < 12; ++ty)
                    for (int tx = 6; tx < 12; ++tx)
                        ASSERT_EQ(at(after, tx, ty), at(before, tx, ty))
                            << "mode " << mode << ", pixel " << x << "," << y << " changed";
            }
        }
    }
}

TEST(Xbr, StaircaseGetsTheMeanColourAtEachStep)
{
    // Worked by hand: at (2,0)'s bottom-right corner E = '#', F = H = '.',
    // the differences along F-H are d(E,C) = 1 step (C clamps to (3,0)),
    // across it d(H,D) + d(F,B) + 4 d(E,I) = 6 steps: an edge, blended with F
    // (nearer on a tie). The '.' pixels on the other side blend their
    // top-left corners the same way.
    const std::vector<std::string> stairs{"###.", "##..", "#...", "...."};
    EXPECT_EQ(enlargedText(engine::Xbr, stairs), (std::vector<std::string>{
                                                     "######..",
                                                     "#####m..",
                                                     "####m...",
                                                     "###m....",
                                                     "##m.....",
                                                     "#m......",
                                                     "........",
                                                     "........",
                                                 }));
    // Alpha is blended with the colour: (255 + 100 + 1) / 2.
    std::map<char, Rgba> translucent = inks;
    translucent['.'] = Rgba{ink2.r, ink2.g, ink2.b, 100};
    Surface s(drawn(stairs, translucent));
    Surface out(enlarged(engine::Xbr, s));
    expectPixels(out, {{5, 1, {105, 30, 16, 178}}, {4, 2, {105, 30, 16, 178}}, {6, 1, translucent['.']}});
}

TEST(Xbr, OnATieInDistanceThePartnerIsTheNeighbourBeside)
{
    // At (0,1)'s bottom-right corner F = 'f' and H = 'h' differ from E by
    // +20 and -20 red, the same distance: the blend takes F, the pixel beside
    // E, and gives red 110 (H would give 90).
    const Rgba grey{100, 100, 100, 255};
    std::map<char, Rgba> palette{{'#', grey}, {'f', {120, 100, 100, 255}}, {'h', {80, 100, 100, 255}}, {'.', ink2}};
    Surface source(drawn({"###.", "#f..", "h...", "...."}, palette));
    Surface out(enlarged(engine::Xbr, source));
    expectPixels(out, {{1, 3, {110, 100, 100, 255}}, {2, 2, {110, 100, 100, 255}}, {0, 3, grey}});
}

TEST(Xbr, RightAnglesCheckersAndTheKeyAreLeftAsNearest)
{
    const std::vector<std::vector<std::string>> pictures{
        {"....", ".##.", ".##.", "...."}, // a block: its corners stay square
        {"...", ".#.", "..."},            // a dot
        {"#.#.", ".#.#", "#.#.", ".#.#"}, // along and across weigh the same
        {"###k", "##kk", "#kkk", "kkkk"}, // the staircase with the key: never blended
    };
    for (const auto& rows : pictures) {
        Surface source(drawn(rows));
        Surface nearest(enlarged(engine::Nearest, source));
        Surface out(enlarged(engine::Xbr, source));
        EXPECT_EQ(textOf(out), textOf(nearest)) << rows[0];
    }
}

TEST(Xbr, EveryTargetIsItsPixelOrTheMeanWithANeighbourTowardItsCorner)
{
    int blended = 0;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        Surface source(scattered(10, 8, {ink1, ink2, ink3, ink4, key}, seed));
        Surface out(enlarged(engine::Xbr, source, 5, 4));
        for (int ty = 0; ty < 16; ++ty) {
            for (int tx = 0; tx < 20; ++tx) {
                const int x = tx / 2, y = ty / 2;
                const Rgba p = at(source, x, y), got = at(out, tx, ty);
                if (p == key) {
                    EXPECT_EQ(got, empty);
                    continue;
                }
                if (got == p)
                    continue;
                // The neighbours beside and above or below, toward the
                // target's corner, clamped to the square.
                const int square0x = x - x % 5, square0y = y - y % 4;
                const int nx = std::clamp(tx % 2 ? x + 1 : x - 1, square0x, square0x + 4);
                const int ny = std::clamp(ty % 2 ? y + 1 : y - 1, square0y, square0y + 3);
                bool explained = false;
                for (const Rgba& n : {at(source, nx, y), at(source, x, ny)}) {
                    if (n == key || n == p)
                        continue;
                    explained |= got == PixEffector::xbrBlend(p, n) && between(got.r, p.r, n.r)
                                 && between(got.g, p.g, n.g) && between(got.b, p.b, n.b)
                                 && between(got.a, p.a, n.a);
                }
                EXPECT_TRUE(explained) << "seed " << seed << " at " << tx << "," << ty;
                ++blended;
            }
        }
    }
    EXPECT_GT(blended, 50);
}

TEST(Xbr, DistanceWeighsLumaAndColourDifferencesAndAlpha)
{
    EXPECT_EQ(PixEffector::xbrDistance(ink1, ink1), 0);
    // White against black: Y 255000, U and V 0 (their rows sum to 0).
    EXPECT_EQ(PixEffector::xbrDistance({255, 255, 255, 255}, {0, 0, 0, 255}), 48 * 255000);
    // Pure red: Y 299, U -169, V 500 per step.
    EXPECT_EQ(PixEffector::xbrDistance({0, 0, 0, 9}, {1, 0, 0, 9}), 48 * 299 + 7 * 169 + 6 * 500);
    EXPECT_EQ(PixEffector::xbrDistance({7, 7, 7, 0}, {7, 7, 7, 255}), 48000 * 255);
    EXPECT_EQ(PixEffector::xbrBlend({0, 1, 254, 255}, {1, 2, 255, 0}), (Rgba{1, 2, 255, 128}));
}

TEST(PixelArt, RowPathEqualsTheReferenceOnFewColours)
{
    // Two or three colours make ties (equal sums, equal distances) common,
    // which the many-coloured pictures of the row-path tests seldom meet.
    struct Grid {
        int w, h;
    };
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const std::vector<Rgba> palette = seed % 3 == 0 ? std::vector<Rgba>{ink1, key}
                                          : seed % 3 == 1 ? std::vector<Rgba>{ink1, ink2}
                                                          : std::vector<Rgba>{ink1, ink2, key};
        Surface source(scattered(13, 9, palette, seed));
        for (const Grid& grid : {Grid{0, 0}, Grid{4, 3}, Grid{2, 5}, Grid{1, 1}})
            for (int mode : {engine::Scale2x, engine::Xbr})
                enlarged(mode, source, grid.w, grid.h);
    }
}

TEST(PixelArt, SharpeningFollowsAndTheAlphaGridCorrectionDoesNothing)
{
    Surface source(scattered(12, 8, {ink1, ink2, ink3, key}, 5));
    for (int mode : {engine::Scale2x, engine::Xbr}) {
        const PixEffector e = effector(mode);
        Surface plain(e.enlargeCell(source, 4, 4, 0, false));
        Surface corrected(e.enlargeCell(source, 4, 4, 0, true));
        EXPECT_EQ(pixels(corrected), pixels(plain)) << mode;
        Surface sharpened(e.enlargeCell(source, 4, 4, 3, true));
        ASSERT_EQ(e.sharpen(plain, 3, Rect{0, 0, 24, 16}), auxlib::draw::Success);
        EXPECT_EQ(pixels(sharpened), pixels(plain)) << mode;
    }
}

namespace {
class PixelArtConvert : public ConvertTest {};
} // namespace

TEST_F(PixelArtConvert, GraphicConvertWritesTheModesPixels)
{
    // The staircase as a BMP; graphicConvert reads it as 24 bits with alpha
    // 255, so the picture handed to the effector is the same.
    const std::vector<std::string> stairs{"###.", "##..", "#...", "...."};
    Surface source(drawn(stairs));
    {
        Surface bmp;
        ASSERT_EQ(bmp.create(4, 4, false), 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const Rgba c = at(source, x, y);
                bmp.putPixel(x, y, &c);
            }
        ASSERT_EQ(SDL_SaveBMP(bmp.sdl(), path("stairs.bmp").c_str()), 0);
    }
    for (int mode : {engine::Scale2x, engine::Xbr}) {
        for (int level : {0, 2}) {
            const std::string name = "m" + std::to_string(mode) + "l" + std::to_string(level);
            ASSERT_EQ(graphicConvert(path("stairs.bmp").c_str(), dir.c_str(), name.c_str(), 0, 0, 0, level, 1, mode,
                                     1, 1, "", 0, "", 0, ""),
                      0);
            SdlPicture written(decode(path(name + ".png")));
            ASSERT_NE(written, nullptr);
            Surface expected(effector(mode).enlargeCell(source, 0, 0, level, true));
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    ASSERT_TRUE(sameColour(pixelOf(written.get(), x, y), at(expected, x, y)))
                        << name << " at " << x << "," << y;
        }
    }
    // The staircase's step in xBR, unsharpened.
    SdlPicture xbr(decode(path("m4l0.png")));
    EXPECT_TRUE(sameColour(pixelOf(xbr.get(), 5, 1), mean12));
    EXPECT_TRUE(boxes.empty());
}
