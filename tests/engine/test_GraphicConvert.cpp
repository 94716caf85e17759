#include "ConvertFixtures.h"
#include "SystemText.h"

#include <fstream>
#if !defined(_WIN32)
#  include <sys/wait.h>
#endif
#include <utime.h>

using auxlib::draw::Rgba;

namespace {

class Convert : public ConvertTest {
protected:
    // Nearest neighbour, no grid, no sharpening, no alpha-grid correction.
    int run(const std::string& source, const std::string& folder, const char* name, int format = 1, int natural = 1,
            const char* naturalSuffix = "", int colour = 1, const char* colourSuffix = "color", int alpha = 1,
            const char* alphaSuffix = "alpha", int preset = 0)
    {
        return graphicConvert(source.c_str(), folder.c_str(), name, preset, 0, 0, 0, 0, 0, format, natural,
                              naturalSuffix, colour, colourSuffix, alpha, alphaSuffix);
    }

    int expectFailure(int code, const std::string& message, int result)
    {
        EXPECT_EQ(result, code);
        EXPECT_EQ(boxes.size(), 1u);
        if (!boxes.empty()) {
            EXPECT_EQ(boxes[0], message);
        }
        return result;
    }
};

} // namespace

TEST_F(Convert, RequestChecksInOrder)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    EXPECT_EQ(graphicConvert(nullptr, dir.c_str(), "", 0, 0, 0, 0, 0, 0, 1, 1, "", 0, nullptr, 0, nullptr), 1);
    EXPECT_EQ(graphicConvert("", nullptr, "", 0, 0, 0, 0, 0, 0, 1, 1, "", 0, nullptr, 0, nullptr), 1);
    EXPECT_TRUE(boxes.empty()) << "code 1 shows no box";

    expectFailure(2, "入力画像が指定されていません。", run("", dir, nullptr));
    boxes.clear();
    expectFailure(3, "出力フォルダが指定されていません。", run(path("in.bmp"), "", nullptr));
    boxes.clear();
    expectFailure(4, "出力画像がありません。", run(path("in.bmp"), dir, nullptr, 1, 0, "", 0, "", 0, ""));
    boxes.clear();
    expectFailure(5, "出力ファイルのサフィックスに同一のものがあります。",
                  run(path("in.bmp"), dir, nullptr, 1, 1, "X", 1, "color", 1, "x"));
    boxes.clear();
    expectFailure(5, "出力ファイルのサフィックスに同一のものがあります。",
                  run(path("in.bmp"), dir, nullptr, 1, 1, "", 1, "", 0, "alpha"));
    boxes.clear();
    // Case folding covers the whole alphabet, A and Z included, and only it.
    for (const auto& [a, b] : {std::pair<const char*, const char*>{"Za", "zA"}, {"zA", "Za"}}) {
        expectFailure(5, "出力ファイルのサフィックスに同一のものがあります。",
                      run(path("in.bmp"), dir, nullptr, 1, 1, a, 1, b, 0, "alpha"));
        boxes.clear();
    }
    EXPECT_EQ(run(path("in.bmp"), dir, "fold", 1, 1, "@[", 1, "`{", 0, "alpha"), 0) << "not letters: no clash";
    EXPECT_TRUE(boxes.empty());
    expectFailure(6, "出力ファイル名を . で始めることはできません。", run(path("in.bmp"), dir, ".hidden"));
    boxes.clear();
    // Unselected outputs may share a suffix with anything.
    EXPECT_EQ(run(path("in.bmp"), dir, "ok", 1, 1, "same", 0, "same", 1, "alpha"), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Convert, OutputFolderCases)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    std::ofstream(path("file.txt")) << "x";
    expectFailure(6, "出力ディレクトリにはディレクトリ名を指定して下さい。", run(path("in.bmp"), path("file.txt"), "a"));
    boxes.clear();

    expectFailure(8,
                  "出力フォルダの名前がおかしいです。\n\nboost::filesystem::create_directory: \""
                      + nativePath(path("missing/out")) + "\": " + missingFolderText(),
                  run(path("in.bmp"), path("missing/out"), "a"));
    boxes.clear();

    // A folder text the rule refuses is shown as the path error alone.
    expectFailure(30,
                  "boost::filesystem::path: invalid name \"a|b\" in path: \"" + dir + "/a|b\"",
                  run(path("in.bmp"), dir + "/a|b", "a"));
    boxes.clear();

    // A missing folder one level down is created; a trailing separator is fine.
    EXPECT_EQ(run(path("in.bmp"), path("new") + "/", "a", 1, 1, "", 0, "", 0, ""), 0);
    EXPECT_TRUE(exists("new/a.png"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Convert, OutputNameCases)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    // Names as users give them: any script, spaces, a leading "-".
    EXPECT_EQ(run(path("in.bmp"), dir, "-x", 1, 1, "", 0, "", 0, ""), 0);
    EXPECT_TRUE(exists("-x.png"));
    EXPECT_EQ(run(path("in.bmp"), dir, "my tiles", 1, 1, "", 1, "色", 0, ""), 0);
    EXPECT_TRUE(exists("my tiles.png"));
    EXPECT_TRUE(exists("my tiles_色.png"));
    EXPECT_TRUE(boxes.empty());

    // Without a name the source's stem is used, Japanese or spaced.
    writeGradientBmp(path("キャラ.bmp"), 3, 2);
    EXPECT_EQ(run(path("キャラ.bmp"), dir, nullptr, 1, 1, "", 0, "", 0, ""), 0);
    EXPECT_TRUE(exists("キャラ.png"));
    writeGradientBmp(path("Night Sky1.bmp"), 3, 2);
    EXPECT_EQ(run(path("Night Sky1.bmp"), dir, nullptr, 1, 1, "", 0, "", 0, ""), 0);
    EXPECT_TRUE(exists("Night Sky1.png"));
    EXPECT_TRUE(boxes.empty());

    // A control character is still no name.
    expectFailure(8, "出力ファイル名がおかしいです。\n\nboost::filesystem::path: invalid name \"a\tb\" in path: \"a\tb\"",
                  run(path("in.bmp"), dir, "a\tb"));
    boxes.clear();

    EXPECT_EQ(run(path("in.bmp"), dir, nullptr, 0, 0, "", 1, "color", 1, "alpha"), 0);
    EXPECT_TRUE(exists("in_color.bmp"));
    EXPECT_TRUE(exists("in_alpha.bmp"));
    EXPECT_FALSE(exists("in_00_color.bmp")) << "one cell is not numbered";
    EXPECT_EQ(run(path("in.bmp"), dir, "tiles_v2", 2, 0, "", 1, "", 0, ""), 0);
    EXPECT_TRUE(exists("tiles_v2.jpg"));
}

TEST_F(Convert, NamesAndSuffixesNeverLeaveTheOutputFolder)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    const std::string out = path("deep/out");
    ASSERT_EQ(run(path("in.bmp"), path("deep"), "seed", 1, 1, "", 0, "", 0, ""), 0);
    const auto before = readFolder(dir);

    expectFailure(8,
                  "出力ファイル名がおかしいです。\n\nboost::filesystem::path: invalid name \"..\" in path: "
                  "\"a/../../escaped\"",
                  run(path("in.bmp"), out, "a/../../escaped"));
    boxes.clear();
    expectFailure(8, "出力ファイル名がおかしいです。\n\nboost::filesystem::path: invalid path syntax: \"/tmp/evil\"",
                  run(path("in.bmp"), out, "/tmp/evil"));
    boxes.clear();
    expectFailure(8,
                  "出力ファイル名がおかしいです。\n\nboost::filesystem::path: invalid name \"..\" in path: "
                  "\"in_/../../evil\"",
                  run(path("in.bmp"), out, nullptr, 1, 1, "", 1, "color", 1, "/../../evil"));
    boxes.clear();
    expectFailure(8,
                  "出力ファイル名がおかしいです。\n\nboost::filesystem::path: invalid name \"..\" in path: "
                  "\"x_a/../../y\"",
                  run(path("in.bmp"), out, "x", 1, 1, "a/../../y", 0, "", 0, ""));
    boxes.clear();
    EXPECT_EQ(readFolder(dir), before) << "nothing written anywhere";

    // A "/" naming an existing subfolder stays allowed, for names and suffixes.
    ASSERT_EQ(mkdir(path("deep/sub").c_str(), 0755), 0);
    EXPECT_EQ(run(path("in.bmp"), path("deep"), "sub/t", 1, 1, "", 0, "", 0, ""), 0);
    EXPECT_TRUE(exists("deep/sub/t.png"));
}

TEST_F(Convert, SourceThatCannotBeLoaded)
{
    expectFailure(10, path("none.png") + "ファイルを開けません。", run(path("none.png"), dir, "a"));
    boxes.clear();
    std::ofstream(path("bad.png")) << "\x89PNG but damaged";
    expectFailure(10, path("bad.png") + "ファイルを開けません。", run(path("bad.png"), dir, "a"));
    EXPECT_FALSE(exists("a.png"));
}

TEST_F(Convert, TooLargeSourceIsRefusedWithOneLogEntry)
{
    writeGradientBmp(path("wide.bmp"), 8192, 1);
    expectFailure(10, path("wide.bmp") + "ファイルを開けません。", run(path("wide.bmp"), dir, "w"));
    const std::string log = readLog();
    EXPECT_NE(log.find("(8192 × 1)"), std::string::npos) << log;
    EXPECT_NE(log.find("8191"), std::string::npos) << log;
    EXPECT_EQ(log.find("Error!!", 1), std::string::npos) << "one entry only";
    boxes.clear();

    writeGradientBmp(path("tall.bmp"), 1, 16384);
    EXPECT_EQ(run(path("tall.bmp"), dir, "t"), 10);
    boxes.clear();
    // An OS/2 bitmap's 16-bit sizes, with no pixels behind them: refused
    // from the header, not from a decoder that ran out of data.
    std::string os2("BM\x1A\0\0\0\0\0\0\0\x1A\0\0\0\x0C\0\0\0\x20\x4E\x20\x4E\x01\0\x18\0", 26);
    std::ofstream(path("os2.bmp"), std::ios::binary) << os2;
    EXPECT_EQ(run(path("os2.bmp"), dir, "o"), 10);
    EXPECT_NE(readLog().find("(20000 × 20000)"), std::string::npos) << readLog();
    boxes.clear();
    // The largest size allowed still converts in full.
    writeGradientBmp(path("edge.bmp"), 8191, 2);
    EXPECT_EQ(run(path("edge.bmp"), dir, "e", 0, 0, "", 1, "", 0, ""), 0);
    SdlPicture out = decode(path("e.bmp"));
    ASSERT_TRUE(out);
    EXPECT_EQ(out->w, 16382);
    EXPECT_TRUE(sameColour(pixelOf(out.get(), 16381, 3), gradientAt(8190, 1)));
}

TEST_F(Convert, NearestOutputAndKeyColourSources)
{
    // 3 x 2 gradient with one pixel in the key colour.
    SDL_Surface* s = SDL_CreateRGBSurface(0, 3, 2, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    const Uint8 bytes[2][9] = {{0, 0x75, 0x75, 50, 60, 70, 80, 90, 100}, {1, 2, 3, 4, 5, 6, 7, 8, 9}};
    for (int y = 0; y < 2; ++y)
        memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch, bytes[y], 9);
    SDL_SaveBMP(s, path("k.bmp").c_str());
    SDL_FreeSurface(s);

    ASSERT_EQ(run(path("k.bmp"), dir, "fixed", 1, 1, "", 0, "", 0, ""), 0);
    SdlPicture fixed = decode(path("fixed.png"));
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->w, 6);
    EXPECT_EQ(fixed->h, 4);
    EXPECT_EQ(pixelOf(fixed.get(), 1, 1).a, 0) << "the key colour becomes transparent";
    EXPECT_TRUE(sameColour(pixelOf(fixed.get(), 3, 0), {50, 60, 70, 255}));
    EXPECT_TRUE(sameColour(pixelOf(fixed.get(), 5, 3), {7, 8, 9, 255}));

    // The top-left pixel is the key: the same result.
    setColorKeyPos(0, 0);
    ASSERT_EQ(run(path("k.bmp"), dir, "pos", 1, 1, "", 0, "", 0, ""), 0);
    EXPECT_EQ(pixelOf(decode(path("pos.png")).get(), 0, 0).a, 0);

    // Pixel (2, 1) as the key.
    setColorKeyPos(2, 1);
    ASSERT_EQ(run(path("k.bmp"), dir, "pos21", 1, 1, "", 0, "", 0, ""), 0);
    SdlPicture pos21 = decode(path("pos21.png"));
    EXPECT_EQ(pixelOf(pos21.get(), 5, 3).a, 0);
    EXPECT_EQ(pixelOf(pos21.get(), 0, 0).a, 255);

    // Outside the picture the key is opaque black, which the picture lacks.
    setColorKeyPos(3, 0);
    ASSERT_EQ(run(path("k.bmp"), dir, "outside", 1, 1, "", 0, "", 0, ""), 0);
    SdlPicture outside = decode(path("outside.png"));
    EXPECT_TRUE(sameColour(pixelOf(outside.get(), 0, 0), {0, 0x75, 0x75, 255}));

    resetColorKey();
    ASSERT_EQ(run(path("k.bmp"), dir, "none", 1, 1, "", 0, "", 0, ""), 0);
    EXPECT_EQ(pixelOf(decode(path("none.png")).get(), 1, 1).a, 255);

    // Channels are clamped: (300, -5, 128) is (255, 0, 128), which keys a
    // pixel of exactly that colour and not its neighbours one step away.
    SDL_Surface* edge = SDL_CreateRGBSurface(0, 4, 1, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    const Uint8 edgeBytes[12] = {255, 0, 128, 254, 0, 128, 255, 1, 128, 255, 0, 127};
    memcpy(edge->pixels, edgeBytes, 12);
    SDL_SaveBMP(edge, path("edge.bmp").c_str());
    SDL_FreeSurface(edge);
    setColorKey(300, -5, 128);
    ASSERT_EQ(run(path("edge.bmp"), dir, "clamped", 1, 1, "", 0, "", 0, ""), 0);
    SdlPicture clamped = decode(path("clamped.png"));
    ASSERT_TRUE(clamped);
    EXPECT_EQ(pixelOf(clamped.get(), 0, 0).a, 0);
    EXPECT_EQ(pixelOf(clamped.get(), 2, 0).a, 255);
    EXPECT_EQ(pixelOf(clamped.get(), 4, 0).a, 255);
    EXPECT_EQ(pixelOf(clamped.get(), 6, 0).a, 255);
    // The clamp's other end: (-1, 256, 0) is (0, 255, 0).
    setColorKey(-1, 256, 0);
    SDL_Surface* low = SDL_CreateRGBSurface(0, 2, 1, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    const Uint8 lowBytes[6] = {0, 255, 0, 1, 255, 0};
    memcpy(low->pixels, lowBytes, 6);
    SDL_SaveBMP(low, path("low.bmp").c_str());
    SDL_FreeSurface(low);
    ASSERT_EQ(run(path("low.bmp"), dir, "low", 1, 1, "", 0, "", 0, ""), 0);
    SdlPicture lowOut = decode(path("low.png"));
    ASSERT_TRUE(lowOut);
    EXPECT_EQ(pixelOf(lowOut.get(), 0, 0).a, 0);
    EXPECT_EQ(pixelOf(lowOut.get(), 2, 0).a, 255);
}

TEST_F(Convert, ChipsetGivesEighteenNumberedCellsAndCharsetEight)
{
    writeGradientBmp(path("chips.bmp"), 480, 256);
    ASSERT_EQ(run(path("chips.bmp"), dir, "c", 1, 1, "", 0, "", 0, "", 1), 0);
    for (int i = 0; i < 18; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "c_%02d.png", i);
        EXPECT_TRUE(exists(name)) << name;
    }
    EXPECT_FALSE(exists("c_18.png"));

    writeGradientBmp(path("chars.bmp"), 288, 256);
    ASSERT_EQ(run(path("chars.bmp"), dir, "p", 1, 1, "", 0, "", 0, "", 1), 0);
    EXPECT_FALSE(exists("p_08.png"));
    // Cell 0 is the top-left character, four frames across: enlarged 2x.
    SdlPicture first = decode(path("p_00.png"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->w, 192);
    EXPECT_EQ(first->h, 256);
    SdlPicture fifth = decode(path("p_04.png"));
    ASSERT_TRUE(fifth);

    // Without the preset the same picture is one unnumbered cell.
    ASSERT_EQ(run(path("chars.bmp"), dir, "whole", 1, 1, "", 0, "", 0, "", 0), 0);
    SdlPicture whole = decode(path("whole.png"));
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->w, 576);
    EXPECT_TRUE(sameColour(pixelOf(whole.get(), 2 * 100 + 1, 2 * 37), gradientAt(100, 37)));
}

TEST_F(Convert, FailedColourSaveOfCellTwoKeepsEarlierFiles)
{
    writeGradientBmp(path("chips.bmp"), 480, 256);
    // A folder where the colour file of cell 2 should go makes that save fail.
    ASSERT_EQ(mkdir(path("c_02_color.png").c_str(), 0755), 0);
    expectFailure(22, "画像ファイルの保存に失敗しました。", run(path("chips.bmp"), dir, "c", 1, 1, "", 1, "color", 1, "alpha", 1));
    for (const char* name : {"c_00.png", "c_00_color.png", "c_00_alpha.png", "c_01.png", "c_01_color.png",
                             "c_01_alpha.png", "c_02.png"})
        EXPECT_TRUE(exists(name)) << name;
    EXPECT_FALSE(exists("c_02_alpha.png"));
    EXPECT_FALSE(exists("c_03.png"));
    EXPECT_NE(readLog().find("Program : ..\\..\\PixSaver(82)"), std::string::npos);
}

TEST_F(Convert, FailedNaturalAndAlphaSaves)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    ASSERT_EQ(mkdir(path("n.png").c_str(), 0755), 0);
    expectFailure(21, "画像ファイルの保存に失敗しました。", run(path("in.bmp"), dir, "n"));
    boxes.clear();
    ASSERT_EQ(mkdir(path("m_alpha.png").c_str(), 0755), 0);
    expectFailure(23, "画像ファイルの保存に失敗しました。", run(path("in.bmp"), dir, "m"));
    EXPECT_TRUE(exists("m_color.png"));
}

TEST_F(Convert, NullSuffixOfASelectedOutputIsEmpty)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    EXPECT_EQ(graphicConvert(path("in.bmp").c_str(), dir.c_str(), "s", 0, 0, 0, 0, 0, 0, 1, 1, nullptr, 1, "color",
                             0, nullptr),
              0);
    EXPECT_TRUE(exists("s.png"));
    EXPECT_TRUE(exists("s_color.png"));
    // Two selected outputs with no suffix at all clash like two empty ones.
    EXPECT_EQ(graphicConvert(path("in.bmp").c_str(), dir.c_str(), "s", 0, 0, 0, 0, 0, 0, 1, 1, nullptr, 1, "", 0,
                             nullptr),
              5);
}

TEST_F(Convert, OutputFolderLinksAndLeftovers)
{
#if defined(_WIN32)
    GTEST_SKIP() << "plants a symbolic link and needs fork for a process id that has ended";
#else
    writeGradientBmp(path("in.bmp"), 3, 2);
    std::ofstream(path("target.txt")) << "precious";
    ASSERT_EQ(symlink(path("target.txt").c_str(), path("a.png").c_str()), 0);

    // What a run killed long ago left, made by a process that has ended.
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    int status;
    waitpid(child, &status, 0);
    const std::string left = "a.~pw" + std::to_string(child) + "-0123456789abcdef.png";
    std::ofstream(path(left)) << "half a picture";
    const utimbuf longAgo{1000000000, 1000000000};
    utime(path(left).c_str(), &longAgo);
    std::ofstream(path("a.png.bak")) << "the user's";

    EXPECT_EQ(run(path("in.bmp"), dir, "a", 1, 1, "", 0, "", 0, ""), 0);
    struct stat st;
    ASSERT_EQ(lstat(path("a.png").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode)) << "the link is replaced, not written through";
    EXPECT_EQ(readFolder(dir)["target.txt"], "precious");
    EXPECT_FALSE(exists(left));
    EXPECT_EQ(readFolder(dir)["a.png.bak"], "the user's");
    EXPECT_EQ(readFolder(dir).size(), 4u) << "in.bmp, target.txt, a.png and a.png.bak: no temporary file";
#endif
}
