#include "FailingCreate.h"
#include "ReplacerFixtures.h"

#include <dlfcn.h>

#include <functional>

using namespace replacer_test;

// Filling fails on demand too, by the width of the filled rectangle.
namespace {
int failFillWidth = 0;
} // namespace

extern "C" int SDL_FillRect(SDL_Surface* dst, SDL_Rect* rect, Uint32 colour)
{
    using Fill = int (*)(SDL_Surface*, SDL_Rect*, Uint32);
    static const auto real = reinterpret_cast<Fill>(dlsym(RTLD_NEXT, "SDL_FillRect"));
    if (failFillWidth > 0 && rect != nullptr && rect->w == failFillWidth)
        return -1;
    return real(dst, rect, colour);
}

namespace {
class PixReplacerFailureTest : public PixReplacerTest {
protected:
    void TearDown() override { failWidth = failHeight = failFillWidth = 0; }

    Surface chipset = makePattern(480, 256, false);
};
} // namespace

TEST_F(PixReplacerFailureTest, WrongSizesAndShapes)
{
    EXPECT_TRUE(replacer.rearrangeCharset(makePattern(287, 256, false)).empty());
    EXPECT_EQ(logEntry(70, "ゲームエディタのチップセット画像と大きさが違います。"), takeLog());
    EXPECT_TRUE(replacer.rearrangeChipset(key, makePattern(480, 255, false)).empty());
    EXPECT_EQ(logEntry(126, "ゲームエディタのタイルセット画像と大きさが違います。"), takeLog());

    EXPECT_FALSE(replacer.buildTileStack(key, makePattern(480, 255, false)).isValid());
    EXPECT_TRUE(replacer.rearrangeCharset(Surface()).empty());
    EXPECT_TRUE(replacer.rearrangeChipset(key, Surface()).empty());
    for (const Surface& block : {makePattern(47, 64, false), makePattern(48, 63, false), Surface()})
        EXPECT_TRUE(replacer.convertChipBlock(key, block, chipset, ChipKind::Autotile).empty());
    Surface wide = makePattern(96, 64, false);
    EXPECT_TRUE(replacer.convertChipBlock(key, wide, chipset, static_cast<ChipKind>(3)).empty());
    EXPECT_EQ("", takeLog());

    CellList same = replacer.convertChipBlock(key, wide, Surface(), ChipKind::Autotile);
    ASSERT_EQ(1u, same.size());
    EXPECT_EQ(wide.sdl(), same[0].sdl());
    EXPECT_TRUE(replacer.convertChipBlock(key, wide, Surface(), ChipKind::Sea).empty());
    EXPECT_EQ(logEntry(230, "海チップ用サブ画像がありません。"), takeLog());
}

TEST_F(PixReplacerFailureTest, CutRegionAndFailedCopies)
{
    Surface corner = replacer.cutRegion(Rect{470, 250, 13, 7}, chipset);
    ASSERT_EQ(13, corner.width());
    ASSERT_EQ(7, corner.height());
    EXPECT_EQ("", firstMismatch(corner, 0, 0, 13, 7, [](int u, int v) {
                  return u < 10 && v < 6 ? patternColour(470 + u, 250 + v) : Rgba{0, 0, 0, 255};
              }));
    EXPECT_FALSE(replacer.cutRegion(Rect{0, 0, 0, 7}, chipset).isValid());
    EXPECT_EQ(logEntry(27, "(0, 7) のＤＩＢ画像を作成できませんでした。"), takeLog());

    // SDL refuses to blit from a locked surface.
    Surface block = makePattern(48, 64, false), sub = makePattern(48, 64, false);
    const struct {
        Surface* locked;
        std::function<bool()> fails;
        std::string log;
    } cases[] = {
        {&chipset, [&] { return !replacer.cutRegion(Rect{0, 0, 5, 5}, chipset).isValid(); },
         logEntry(34, "画像をコピーできませんでした。")},
        {&chipset, [&] { return !replacer.buildTileStack(key, chipset).isValid(); },
         logEntry(208, "画像のコピーに失敗しました。")},
        {&sub, [&] { return replacer.convertChipBlock(key, block, sub, ChipKind::Sea).empty(); },
         logEntry(278, "海チップのコピーに失敗しました。")},
        {&block, [&] { return replacer.convertChipBlock(key, block, sub, ChipKind::Sea).empty(); },
         logEntry(284, "海チップのコピーに失敗しました。")},
        {&block, [&] { return replacer.convertChipBlock(key, block, sub, ChipKind::Animation).empty(); },
         logEntry(312, "アニメーションチップのコピーに失敗しました。")},
    };
    for (const auto& c : cases) {
        SDL_LockSurface(c.locked->sdl());
        EXPECT_TRUE(c.fails());
        SDL_UnlockSurface(c.locked->sdl());
        EXPECT_EQ(c.log, takeLog());
    }
    Surface charset = makePattern(288, 256, false);
    SDL_LockSurface(charset.sdl());
    EXPECT_TRUE(replacer.rearrangeCharset(charset).empty());
    SDL_UnlockSurface(charset.sdl());
    EXPECT_EQ("", takeLog());
}

TEST_F(PixReplacerFailureTest, SeaBlockWithAlphaIsCopiedRaw)
{
    Surface block = makePattern(48, 64, true), sub = makePattern(48, 64, true);
    CellList sea = replacer.convertChipBlock(key, block, sub, ChipKind::Sea);
    ASSERT_EQ(1u, sea.size());
    // Chip 1's piece (0, 0) is block piece (16, 0); its piece (1, 3) the
    // sub picture's top-left one.
    EXPECT_EQ((Rgba{20, 3, 0x40, 0x30 + 29}), pixel(sea[0], 48 + 4, 3));
    EXPECT_EQ(pixel(sub, 6, 5), pixel(sea[0], 48 + 8 + 6, 24 + 5));
}

TEST_F(PixReplacerFailureTest, FailedBlocksAreSkippedFailedStackOrCutsEndTheList)
{
    const std::string skipped = logEntry(170, "オートタイルの並び替えに失敗しました。");
    const std::string fillFailed = logEntry(289, "画像の塗りつぶしに失敗しました。", "..\\..\\..\\auxlib\\draw\\Surface");
    const std::string seaFailed = logEntry(236, "海チップ画像の生成に失敗しました。") + skipped;
    const std::string seaFillFailed = fillFailed + logEntry(269, "海チップの塗りつぶしに失敗しました。") + skipped;
    const struct {
        int w, h, fillWidth;
        std::size_t cells;
        std::string log;
    } cases[] = {
        {64, 16, 0, 15, logEntry(304, "アニメーションチップ画像の生成に失敗しました。") + skipped},
        {144, 64, 0, 16, seaFailed + seaFailed},
        {0, 0, 8, 16, seaFillFailed + seaFillFailed},
        {128, 768, 0, 0, logEntry(190, "タイルセット並べ替え後の画像を作成できませんでした。")},
        {0, 0, 128, 0, fillFailed + logEntry(198, "画像の塗りつぶしに失敗しました。")},
        {48, 64, 0, 0, logEntry(27, "(48, 64) のＤＩＢ画像を作成できませんでした。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.w << " x " << c.h << ", fill " << c.fillWidth);
        failWidth = c.w, failHeight = c.h, failFillWidth = c.fillWidth;
        CellList cells = replacer.rearrange(chipset, key, true);
        EXPECT_EQ(c.cells, cells.size());
        EXPECT_EQ(c.log, takeLog());
        // The autotile of block (96, 64) moves up by the cells left out.
        if (!cells.empty()) {
            EXPECT_EQ(patternColour(96, 64), pixel(cells[c.cells - 10], 0, 0));
        }
    }
    failWidth = 96, failHeight = 128;
    EXPECT_TRUE(replacer.rearrange(makePattern(288, 256, false), key, true).empty());
    EXPECT_EQ("", takeLog());
}
