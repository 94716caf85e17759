#include "ConvertFixtures.h"
#include "engine/PixSaver.h"

#include <fstream>

using namespace engine;
using auxlib::draw::Rgba;

namespace {

} // namespace

TEST(OutputNames, PatternsByNumberingAndSuffix)
{
    OutputOptions png{Png, true};
    EXPECT_EQ(makeOutputFileName(png, "out/tiles", 0, ""), "out/tiles_00.png");
    EXPECT_EQ(makeOutputFileName(png, "out/tiles", 17, "color"), "out/tiles_17_color.png");
    EXPECT_EQ(makeOutputFileName(png, "out/tiles", 100, ""), "out/tiles_100.png");
    OutputOptions bmp{Bmp, false};
    EXPECT_EQ(makeOutputFileName(bmp, "tiles", 5, ""), "tiles.bmp");
    EXPECT_EQ(makeOutputFileName(bmp, "tiles", 5, "alpha"), "tiles_alpha.bmp");
    OutputOptions jpg{Jpeg, false};
    EXPECT_EQ(makeOutputFileName(jpg, "a", 0, "x"), "a_x.jpg");
    OutputOptions unknown{3, true};
    EXPECT_EQ(makeOutputFileName(unknown, "t", 2, ""), "t_02.");
    EXPECT_EQ(extensionFor(-1), "");
}

class PixSaverFiles : public TempFolder {
protected:
    void SetUp() override
    {
        TempFolder::SetUp();
        std::remove("stderr.txt");
        ASSERT_EQ(picture.create(3, 2, true), 0);
        const Rgba pixels[6] = {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 0},
                                {10, 20, 30, 1},  {40, 50, 60, 254}, {70, 80, 90, 255}};
        for (int i = 0; i < 6; ++i)
            picture.putPixel(i % 3, i / 3, &pixels[i]);
    }
    void TearDown() override
    {
        std::remove("stderr.txt");
        TempFolder::TearDown();
    }
    auxlib::draw::Surface picture;
};

TEST_F(PixSaverFiles, NaturalKeepsAlphaColourDropsItAlphaIsGrey)
{
    const OutputOptions png{Png, false};
    ASSERT_EQ(saveNaturalCell(png, picture, path("t"), 0, ""), 0);
    ASSERT_EQ(saveColorCell(png, picture, path("t"), 0, "color"), 0);
    ASSERT_EQ(saveAlphaCell(png, picture, path("t"), 0, "alpha"), 0);

    SdlPicture natural = decode(path("t.png"));
    ASSERT_TRUE(natural);
    EXPECT_TRUE(sameColour(pixelOf(natural.get(), 1, 0), {0, 255, 0, 128}));
    EXPECT_TRUE(sameColour(pixelOf(natural.get(), 0, 1), {10, 20, 30, 1}));

    SdlPicture colour = decode(path("t_color.png"));
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->format->Amask, 0u);
    EXPECT_TRUE(sameColour(pixelOf(colour.get(), 1, 0), {0, 255, 0, 255}));
    EXPECT_TRUE(sameColour(pixelOf(colour.get(), 2, 0), {0, 0, 255, 255})) << "colour under full transparency stays";

    SdlPicture alpha = decode(path("t_alpha.png"));
    ASSERT_TRUE(alpha);
    ASSERT_EQ(alpha->format->BitsPerPixel, 8);
    const Uint8* row0 = static_cast<const Uint8*>(alpha->pixels);
    const Uint8* row1 = row0 + alpha->pitch;
    EXPECT_EQ(row0[0], 255);
    EXPECT_EQ(row0[1], 128);
    EXPECT_EQ(row0[2], 0);
    EXPECT_EQ(row1[0], 1);
    EXPECT_EQ(row1[1], 254);
    EXPECT_TRUE(sameColour(pixelOf(alpha.get(), 1, 0), {128, 128, 128, 255}));
    EXPECT_EQ(readLog(), "");
}

TEST_F(PixSaverFiles, PictureWithoutAlpha)
{
    auxlib::draw::Surface opaque;
    ASSERT_EQ(opaque.create(2, 2, false), 0);
    const Rgba c{9, 8, 7, 255};
    opaque.putPixel(1, 1, &c);
    const OutputOptions bmp{Bmp, true};
    EXPECT_EQ(saveColorCell(bmp, opaque, path("o"), 3, "color"), 0);
    EXPECT_EQ(saveAlphaCell(bmp, opaque, path("o"), 3, "alpha"), 0);
    EXPECT_FALSE(exists("o_03_alpha.bmp")) << "no alpha, no alpha file";
    SdlPicture colour = decode(path("o_03_color.bmp"));
    ASSERT_TRUE(colour);
    EXPECT_TRUE(sameColour(pixelOf(colour.get(), 1, 1), c));
}

TEST_F(PixSaverFiles, RefusalsAndFailedWritesAreLogged)
{
    auxlib::draw::Surface none;
    const OutputOptions png{Png, false};
    EXPECT_EQ(saveNaturalCell(png, none, path("n"), 0, ""), 3);
    EXPECT_EQ(PixSaver::writeColor(picture, ""), 3);
    EXPECT_EQ(PixSaver::writeAlpha(none, path("a.png")), 3);
    EXPECT_EQ(readLog(), "");

    const OutputOptions unknown{7, false};
    EXPECT_EQ(saveNaturalCell(unknown, picture, path("u"), 0, ""), 14);
    const std::string log = readLog();
    EXPECT_EQ(log.rfind("Error!!\n  Program : ..\\..\\PixSaver(82)\n  Detail\n\n'" + path("u.")
                            + "'ファイルへの画像保存に失敗しました。:",
                        0),
              0u)
        << log;
}

TEST_F(PixSaverFiles, StaleSdlErrorDoesNotFailAGoodBmpSave)
{
    SDL_SetError("left over from a skipped block");
    EXPECT_EQ(PixSaver::writeNatural(picture, path("stale.bmp")), 0);
    SDL_SetError("left over again");
    EXPECT_EQ(PixSaver::writeColor(picture, path("stale_color.bmp")), 0);
    SdlPicture back = decode(path("stale_color.bmp"));
    ASSERT_TRUE(back);
    EXPECT_TRUE(sameColour(pixelOf(back.get(), 2, 1), {70, 80, 90, 255}));
}
