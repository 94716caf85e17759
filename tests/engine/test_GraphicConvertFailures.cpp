// Conversions whose SDL or file-system calls fail on purpose. This program
// defines SDL_CreateRGBSurface and mkdir itself; the engine is linked
// statically, so its calls (and SDL_image's) reach these stand-ins, which
// fail when asked and otherwise hand on to the real functions.
#include "ConvertFixtures.h"
#include "FailingCreate.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>

namespace {
std::string raceFolder;
} // namespace

// Another program creating the output folder between the engine's test for
// it and its creation.
extern "C" __attribute__((visibility("default"))) int mkdir(const char* path, mode_t mode)
{
    using MakeDir = int (*)(const char*, mode_t);
    static const auto real = reinterpret_cast<MakeDir>(dlsym(RTLD_NEXT, "mkdir"));
    if (!raceFolder.empty() && raceFolder == path)
        real(path, mode);
    return real(path, mode);
}

namespace {

class ConvertFailure : public ConvertTest {
protected:
    void TearDown() override
    {
        failWidth = failHeight = 0;
        raceFolder.clear();
        ConvertTest::TearDown();
    }
    int run(const std::string& source, const std::string& folder, int preset)
    {
        return graphicConvert(source.c_str(), folder.c_str(), "o", preset, 0, 0, 0, 0, 0, 1, 1, "", 1, "color", 1,
                              "alpha");
    }
};

} // namespace

TEST_F(ConvertFailure, FolderThatAppearsBeforeItsCreationGivesSeven)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    raceFolder = path("out");
    EXPECT_EQ(run(path("in.bmp"), path("out"), 0), 7);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "出力フォルダの作成に失敗しました。");
    EXPECT_FALSE(exists("out/o.png"));
}

TEST_F(ConvertFailure, CharsetThatCannotBeCutGivesEleven)
{
    writeGradientBmp(path("chars.bmp"), 288, 256);
    // Every character picture of a charset is 96 x 128.
    failWidth = 96;
    failHeight = 128;
    EXPECT_EQ(run(path("chars.bmp"), dir, 1), 11);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "画像ファイル'" + path("chars.bmp") + "'ファイルの並び替えにに失敗しました。");
    EXPECT_EQ(readLog(), "") << "a charset that cannot be cut is reported by the box alone";
    EXPECT_FALSE(exists("o_00.png"));
}

TEST_F(ConvertFailure, CellThatCannotBeEnlargedGivesTwenty)
{
    writeGradientBmp(path("in.bmp"), 5, 3);
    failWidth = 10;
    failHeight = 6;
    EXPECT_EQ(run(path("in.bmp"), dir, 0), 20);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "画像ファイルの変換に失敗しました。");
    EXPECT_EQ(readLog(), "Error!!\n  Program : ..\\..\\PixEffector(39)\n  Detail\n\nサーフェイスの作成に失敗。\n");
    EXPECT_FALSE(exists("o.png"));
}

TEST_F(ConvertFailure, SdlThatCannotStartGivesThirtyWithTheExceptionText)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    const int result = run(path("in.bmp"), dir, 0);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    EXPECT_EQ(result, 30);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Exception!!\n  Program : ..\\..\\..\\auxlib\\utility\\SDLInitializer(93)\n"
                        "  Detail : SDL SubSystem の初期化に失敗しました。");
    EXPECT_EQ(readLog(), "") << "an exception is shown, not logged";

    // The failed start left nothing behind: the next conversion works.
    boxes.clear();
    EXPECT_EQ(run(path("in.bmp"), dir, 0), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(exists("o_alpha.png"));
}
