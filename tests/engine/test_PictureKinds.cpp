#include "ConvertFixtures.h"
#include "PngMaker.h"

#include <cstring>
#include <fstream>

using auxlib::draw::Rgba;

namespace {

struct KindRow {
    int kind;
    const char* folder;
    int gridMode;
    int editorPreset;
    int gridWidth;
    int gridHeight;
    int eraseAlphaGrid;
    int keyMode;
};

// The table as the editor's users know it, written out once more by hand.
const KindRow expectedRows[] = {
    {PIXWRIGHT_KIND_CHIPSET, "ChipSet", PIXWRIGHT_GRID_CHIPSET, 1, 16, 16, 1, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_CHARSET, "CharSet", PIXWRIGHT_GRID_CHARSET, 1, 24, 32, 0, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_FACESET, "FaceSet", PIXWRIGHT_GRID_CUSTOM, 0, 48, 48, 0, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_BATTLE, "Battle", PIXWRIGHT_GRID_CUSTOM, 0, 96, 96, 0, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_BATTLE2, "Battle2", PIXWRIGHT_GRID_CUSTOM, 0, 128, 128, 0, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_BATTLECHARSET, "BattleCharSet", PIXWRIGHT_GRID_CUSTOM, 0, 48, 48, 0, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_BATTLEWEAPON, "BattleWeapon", PIXWRIGHT_GRID_CUSTOM, 0, 64, 64, 0, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_SYSTEM, "System", PIXWRIGHT_GRID_CUSTOM, 0, 8, 8, 0, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_SYSTEM2, "System2", PIXWRIGHT_GRID_CUSTOM, 0, 8, 8, 0, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_MONSTER, "Monster", PIXWRIGHT_GRID_NONE, 0, 0, 0, 0, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_PICTURE, "Picture", PIXWRIGHT_GRID_NONE, 0, 0, 0, 0, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_FRAME, "Frame", PIXWRIGHT_GRID_NONE, 0, 0, 0, 0, PIXWRIGHT_KEY_PALETTE},
    {PIXWRIGHT_KIND_PANORAMA, "Panorama", PIXWRIGHT_GRID_NONE, 0, 0, 0, 0, PIXWRIGHT_KEY_OFF},
    {PIXWRIGHT_KIND_BACKDROP, "Backdrop", PIXWRIGHT_GRID_NONE, 0, 0, 0, 0, PIXWRIGHT_KEY_OFF},
    {PIXWRIGHT_KIND_TITLE, "Title", PIXWRIGHT_GRID_NONE, 0, 0, 0, 0, PIXWRIGHT_KEY_OFF},
    {PIXWRIGHT_KIND_GAMEOVER, "GameOver", PIXWRIGHT_GRID_NONE, 0, 0, 0, 0, PIXWRIGHT_KEY_OFF},
};

PixwrightKindSettings rowOf(int kind)
{
    PixwrightKindSettings s{};
    EXPECT_EQ(kindSettings(kind, &s), 0);
    return s;
}

void writeFile(const std::string& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

// A 24-bit BMP of w x h with the given pixels (r, g, b per pixel, rows from
// the top).
void writeRgbBmp(const std::string& file, int w, int h, const std::vector<Uint8>& rgb)
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    for (int y = 0; y < h; ++y)
        std::memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch, &rgb[size_t(y * w * 3)], size_t(w * 3));
    SDL_SaveBMP(s, file.c_str());
    SDL_FreeSurface(s);
}

class KindConvert : public ConvertTest {
protected:
    // Nearest neighbour, no grid, no sharpening: output (2x, 2y) is input
    // (x, y) with the key applied.
    int run(const PixwrightColorKey* key, const std::string& source, const char* name,
            int interpolation = PIXWRIGHT_INTERPOLATION_NEAREST)
    {
        return graphicConvertWithKey(key, source.c_str(), dir.c_str(), name, 0, 0, 0, 0, 0, interpolation,
                                     PIXWRIGHT_FORMAT_PNG, 1, "", 0, "", 0, "");
    }
};

} // namespace

TEST(PictureKinds, EveryRowThroughTheExports)
{
    for (const KindRow& row : expectedRows) {
        SCOPED_TRACE(row.folder);
        EXPECT_STREQ(kindFolderName(row.kind), row.folder);
        EXPECT_EQ(kindOfFolder(row.folder), row.kind);
        const PixwrightKindSettings s = rowOf(row.kind);
        EXPECT_EQ(s.gridMode, row.gridMode);
        EXPECT_EQ(s.editorPreset, row.editorPreset);
        EXPECT_EQ(s.gridWidth, row.gridWidth);
        EXPECT_EQ(s.gridHeight, row.gridHeight);
        EXPECT_EQ(s.eraseAlphaGrid, row.eraseAlphaGrid);
        EXPECT_EQ(s.keyMode, row.keyMode);
    }
    EXPECT_EQ(sizeof expectedRows / sizeof expectedRows[0], size_t(PIXWRIGHT_KIND_COUNT));
}

TEST(PictureKinds, FolderNamesMatchWithoutAsciiCase)
{
    EXPECT_EQ(kindOfFolder("chipset"), PIXWRIGHT_KIND_CHIPSET);
    EXPECT_EQ(kindOfFolder("CHARSET"), PIXWRIGHT_KIND_CHARSET);
    EXPECT_EQ(kindOfFolder("battlecharset"), PIXWRIGHT_KIND_BATTLECHARSET);
    EXPECT_EQ(kindOfFolder("gameOVER"), PIXWRIGHT_KIND_GAMEOVER);
    // Near misses and other folders are no kind.
    for (const char* other : {"Music", "Sound", "Movie", "ChipSet2", "Chip", "Battle3", "System ", "", "ＣｈｉｐＳｅｔ"})
        EXPECT_EQ(kindOfFolder(other), PIXWRIGHT_KIND_UNKNOWN) << other;
    EXPECT_EQ(kindOfFolder(nullptr), PIXWRIGHT_KIND_UNKNOWN);
    EXPECT_EQ(kindFolderName(PIXWRIGHT_KIND_COUNT), nullptr);
    EXPECT_EQ(kindFolderName(PIXWRIGHT_KIND_UNKNOWN), nullptr);
    PixwrightKindSettings untouched{7, 7, 7, 7, 7, 7};
    EXPECT_EQ(kindSettings(PIXWRIGHT_KIND_COUNT, &untouched), -1);
    EXPECT_EQ(untouched.gridMode, 7);
    EXPECT_EQ(kindSettings(PIXWRIGHT_KIND_CHIPSET, nullptr), -1);
}

TEST(PictureKinds, PresetsFallBackToTheirGridForOtherSizes)
{
    PixwrightKindSettings s{};
    const PixwrightKindSettings chipset = rowOf(PIXWRIGHT_KIND_CHIPSET);
    ASSERT_EQ(pictureSettings(&chipset, 480, 256, &s), 0);
    EXPECT_EQ(s.gridMode, PIXWRIGHT_GRID_CHIPSET);
    EXPECT_EQ(s.editorPreset, 1);
    EXPECT_EQ(s.eraseAlphaGrid, 1);
    EXPECT_EQ(s.gridWidth, 16);
    ASSERT_EQ(pictureSettings(&chipset, 480, 257, &s), 0);
    EXPECT_EQ(s.gridMode, PIXWRIGHT_GRID_CUSTOM);
    EXPECT_EQ(s.editorPreset, 0);
    EXPECT_EQ(s.eraseAlphaGrid, 0);
    EXPECT_EQ(s.gridWidth, 16);
    EXPECT_EQ(s.gridHeight, 16);
    EXPECT_EQ(s.keyMode, PIXWRIGHT_KEY_PALETTE);

    const PixwrightKindSettings charset = rowOf(PIXWRIGHT_KIND_CHARSET);
    ASSERT_EQ(pictureSettings(&charset, 288, 256, &s), 0);
    EXPECT_EQ(s.gridMode, PIXWRIGHT_GRID_CHARSET);
    EXPECT_EQ(s.editorPreset, 1);
    // A chipset-sized picture in CharSet is no charset either.
    ASSERT_EQ(pictureSettings(&charset, 480, 256, &s), 0);
    EXPECT_EQ(s.gridMode, PIXWRIGHT_GRID_CUSTOM);
    EXPECT_EQ(s.gridWidth, 24);
    EXPECT_EQ(s.gridHeight, 32);

    // A custom preset keeps its grid whatever the size, no grid stays none.
    PixwrightKindSettings edited = rowOf(PIXWRIGHT_KIND_BATTLE);
    edited.gridWidth = 40;
    edited.gridHeight = 30;
    edited.keyMode = PIXWRIGHT_KEY_OFF;
    ASSERT_EQ(pictureSettings(&edited, 97, 95, &s), 0);
    EXPECT_EQ(s.gridMode, PIXWRIGHT_GRID_CUSTOM);
    EXPECT_EQ(s.gridWidth, 40);
    EXPECT_EQ(s.gridHeight, 30);
    EXPECT_EQ(s.keyMode, PIXWRIGHT_KEY_OFF);
    const PixwrightKindSettings title = rowOf(PIXWRIGHT_KIND_TITLE);
    ASSERT_EQ(pictureSettings(&title, 320, 240, &s), 0);
    EXPECT_EQ(s.gridMode, PIXWRIGHT_GRID_NONE);
    EXPECT_EQ(s.gridWidth, 0);
    EXPECT_EQ(s.keyMode, PIXWRIGHT_KEY_OFF);

    edited.gridMode = 99;
    EXPECT_EQ(pictureSettings(&edited, 1, 1, &s), -1);
    EXPECT_EQ(pictureSettings(nullptr, 1, 1, &s), -1);
}

TEST_F(KindConvert, KeyOffKeysNoPixelOfAnOpaquePicture)
{
    // Opaque black (the key before any key call) and 007575 (the default
    // fixed colour) both stay opaque.
    writeRgbBmp(path("k.bmp"), 3, 1, {0, 0, 0, 0, 0x75, 0x75, 9, 8, 7});
    setColorKeyOff();
    ASSERT_EQ(run(nullptr, path("k.bmp"), "off"), 0);
    SdlPicture off = decode(path("off.png"));
    ASSERT_TRUE(off);
    EXPECT_TRUE(sameColour(pixelOf(off.get(), 0, 0), {0, 0, 0, 255}));
    EXPECT_TRUE(sameColour(pixelOf(off.get(), 2, 0), {0, 0x75, 0x75, 255}));
    EXPECT_TRUE(sameColour(pixelOf(off.get(), 5, 1), {9, 8, 7, 255}));

    // The same picture keyed the fixed way loses its 007575 pixel.
    setColorKey(0x00, 0x75, 0x75);
    ASSERT_EQ(run(nullptr, path("k.bmp"), "fixed"), 0);
    EXPECT_EQ(pixelOf(decode(path("fixed.png")).get(), 2, 0).a, 0);
}

TEST_F(KindConvert, KeyOffLeavesAPictureItsOwnAlpha)
{
    // RGBA: transparent black, transparent (0,0,1), half-transparent red and
    // an opaque pixel. No key may turn another pixel transparent, and the
    // transparent ones stay as they are.
    PngPicture png;
    png.width = 4;
    png.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    png.samples = {0, 0, 0, 0, 0, 0, 1, 0, 255, 0, 0, 128, 0, 0, 2, 255};
    writeFile(path("a.png"), writePng(png));
    PixwrightColorKey off{PIXWRIGHT_KEY_OFF, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(run(&off, path("a.png"), "alpha"), 0);
    SdlPicture out = decode(path("alpha.png"));
    ASSERT_TRUE(out);
    EXPECT_EQ(pixelOf(out.get(), 0, 0).a, 0);
    EXPECT_EQ(pixelOf(out.get(), 2, 0).a, 0);
    EXPECT_TRUE(sameColour(pixelOf(out.get(), 4, 0), {255, 0, 0, 128}));
    EXPECT_TRUE(sameColour(pixelOf(out.get(), 6, 0), {0, 0, 2, 255}));
    EXPECT_TRUE(boxes.empty());

    // Bilinear tells a keyed pixel from one that is merely transparent: a
    // keyed one gives no colour to its neighbours' blends. Keyed by position
    // the transparent black drops out and the red stays pure; with no key it
    // darkens the blend.
    PngPicture pair;
    pair.width = 2;
    pair.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    pair.samples = {0, 0, 0, 0, 255, 0, 0, 255};
    writeFile(path("pair.png"), writePng(pair));
    PixwrightColorKey topLeft{PIXWRIGHT_KEY_POSITION, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(run(&topLeft, path("pair.png"), "keyed", PIXWRIGHT_INTERPOLATION_BILINEAR), 0);
    ASSERT_EQ(run(&off, path("pair.png"), "unkeyed", PIXWRIGHT_INTERPOLATION_BILINEAR), 0);
    SdlPicture keyed = decode(path("keyed.png"));
    SdlPicture unkeyed = decode(path("unkeyed.png"));
    ASSERT_TRUE(keyed && unkeyed);
    const Rgba k = pixelOf(keyed.get(), 1, 0);
    const Rgba u = pixelOf(unkeyed.get(), 1, 0);
    EXPECT_EQ(k.r, 255);
    EXPECT_LT(u.r, 255);
    EXPECT_GT(u.a, 0);
    EXPECT_EQ(k.a, u.a);
}

TEST_F(KindConvert, AKeyOfOneCallLeavesTheEngineWideKeyAlone)
{
    writeRgbBmp(path("k.bmp"), 2, 1, {0, 0x75, 0x75, 200, 10, 20});
    setColorKey(200, 10, 20);
    // This call keys 007575 ...
    PixwrightColorKey fixed{PIXWRIGHT_KEY_FIXED, 0x00, 0x75, 0x75, 0, 0, 0};
    ASSERT_EQ(run(&fixed, path("k.bmp"), "call"), 0);
    SdlPicture call = decode(path("call.png"));
    EXPECT_EQ(pixelOf(call.get(), 0, 0).a, 0);
    EXPECT_EQ(pixelOf(call.get(), 2, 0).a, 255);
    // ... and the next one without a key still keys the engine's colour.
    ASSERT_EQ(run(nullptr, path("k.bmp"), "wide"), 0);
    SdlPicture wide = decode(path("wide.png"));
    EXPECT_EQ(pixelOf(wide.get(), 0, 0).a, 255);
    EXPECT_EQ(pixelOf(wide.get(), 2, 0).a, 0);
    // The position of a call's key, and an unknown mode as no key call.
    PixwrightColorKey position{PIXWRIGHT_KEY_POSITION, 0, 0, 0, 1, 0, 0};
    ASSERT_EQ(run(&position, path("k.bmp"), "pos"), 0);
    EXPECT_EQ(pixelOf(decode(path("pos.png")).get(), 2, 0).a, 0);
}

TEST_F(KindConvert, AGridThatDoesNotDivideThePictureCutsItsLastSquare)
{
    // A FaceSet picture 50 wide: squares of 48 and of 2 pixels. Red up to
    // x = 47, blue from 48: bilinear blends within a square only, so the
    // enlarged red ends pure at x = 95 and the blue starts pure at 96.
    std::vector<Uint8> rgb;
    for (int x = 0; x < 50; ++x)
        rgb.insert(rgb.end(), x < 48 ? std::initializer_list<Uint8>{200, 0, 0} : std::initializer_list<Uint8>{0, 0, 200});
    writeRgbBmp(path("face.bmp"), 50, 1, rgb);
    PixwrightKindSettings face{};
    ASSERT_EQ(kindSettings(PIXWRIGHT_KIND_FACESET, &face), 0);
    PixwrightKindSettings s{};
    ASSERT_EQ(pictureSettings(&face, 50, 1, &s), 0);
    const PixwrightColorKey key{s.keyMode, 0x00, 0x75, 0x75, 0, 0, 0};
    auto convert = [&](int gridWidth, const char* name) {
        return graphicConvertWithKey(&key, path("face.bmp").c_str(), dir.c_str(), name, s.editorPreset, gridWidth,
                                     s.gridHeight, 0, s.eraseAlphaGrid, PIXWRIGHT_INTERPOLATION_BILINEAR,
                                     PIXWRIGHT_FORMAT_PNG, 1, "", 0, "", 0, "");
    };
    ASSERT_EQ(convert(s.gridWidth, "grid"), 0);
    SdlPicture grid = decode(path("grid.png"));
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->w, 100);
    EXPECT_TRUE(sameColour(pixelOf(grid.get(), 95, 0), {200, 0, 0, 255}));
    EXPECT_TRUE(sameColour(pixelOf(grid.get(), 96, 0), {0, 0, 200, 255}));
    EXPECT_TRUE(sameColour(pixelOf(grid.get(), 99, 0), {0, 0, 200, 255}));
    // Without the grid the two colours blend across x = 95.
    ASSERT_EQ(convert(0, "whole"), 0);
    const Rgba blended = pixelOf(decode(path("whole.png")).get(), 95, 0);
    EXPECT_GT(blended.b, 0);
    EXPECT_LT(blended.r, 200);
}

TEST(FileFormat, ToldByContentNotName)
{
    char templ[] = "/tmp/pixwright-format-XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    const std::string dir = templ;
    PngPicture png;
    png.samples = {1, 2, 3};
    writeFile(dir + "/png.xyz", writePng(png));
    writeRgbBmp(dir + "/bmp.png", 1, 1, {1, 2, 3});
    writeFile(dir + "/notes.png", "not a picture at all");
    writeFile(dir + "/empty.bmp", "");
    writeFile(dir + "/anim.gif", "GIF89a\x01\x00\x01\x00");

    PixwrightFileFormat f{};
    EXPECT_EQ(fileFormat((dir + "/png.xyz").c_str(), &f), PIXWRIGHT_FILE_DECODED);
    EXPECT_STREQ(f.name, "PNG");
    EXPECT_EQ(fileFormat((dir + "/bmp.png").c_str(), &f), PIXWRIGHT_FILE_DECODED);
    EXPECT_STREQ(f.name, "BMP");
    EXPECT_EQ(fileFormat((dir + "/anim.gif").c_str(), &f), PIXWRIGHT_FILE_UNDECODED);
    EXPECT_STREQ(f.name, "GIF");
    for (const char* none : {"/notes.png", "/empty.bmp", "/missing.png"}) {
        EXPECT_EQ(fileFormat((dir + none).c_str(), &f), PIXWRIGHT_FILE_NOT_PICTURE) << none;
        EXPECT_STREQ(f.name, "");
    }
    EXPECT_EQ(fileFormat(nullptr, nullptr), PIXWRIGHT_FILE_NOT_PICTURE);
    std::system(("rm -rf '" + dir + "'").c_str());
}
