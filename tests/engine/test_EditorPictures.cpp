// The editors' own palette pictures: their transparent entry, their loader's
// colour key, and failures that must leave nothing behind.
#include "ConvertFixtures.h"
#include "saver/writepix.h"

#include <dirent.h>

using auxlib::draw::Rgba;

namespace {

class EditorPictures : public ConvertTest {
protected:
    // A 288 x 256 charset of 4 palette colours in stripes; entry 2 is marked
    // transparent in the file, the way editors save their pictures.
    void writeCharsetWithTransparentEntry(const std::string& file)
    {
        SDL_Surface* s = SDL_CreateRGBSurface(0, 288, 256, 8, 0, 0, 0, 0);
        const SDL_Color colours[4] = {{10, 20, 30, 0}, {200, 50, 60, 0}, {255, 103, 139, 0}, {70, 160, 90, 0}};
        SDL_SetPalette(s, SDL_LOGPAL, const_cast<SDL_Color*>(colours), 0, 4);
        s->format->palette->ncolors = 4;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 288; ++x)
                static_cast<Uint8*>(s->pixels)[y * s->pitch + x] = Uint8((x / 5 + y / 3) % 4);
        SDL_SetColorKey(s, SDL_SRCCOLORKEY, 2);
        ASSERT_EQ(WPX_Save(s, file.c_str()), 0) << SDL_GetError();
        SDL_FreeSurface(s);
    }

    int entries(const std::string& folder)
    {
        int n = 0;
        if (DIR* d = opendir(folder.c_str())) {
            while (dirent* e = readdir(d))
                n += e->d_name[0] != '.';
            closedir(d);
        }
        return n;
    }
};

} // namespace

TEST_F(EditorPictures, TheLoadersColourKeyNeverTurnsCutPixelsBlack)
{
    writeCharsetWithTransparentEntry(path("chara.png"));
    {
        // The file really carries the transparent entry, and SDL_image
        // really keys it.
        SdlPicture loaded = decode(path("chara.png"));
        ASSERT_TRUE(loaded);
        ASSERT_TRUE(loaded->flags & SDL_SRCCOLORKEY);
        ASSERT_EQ(loaded->format->colorkey, 2u);
    }
    ASSERT_EQ(graphicConvert(path("chara.png").c_str(), path("out").c_str(), "c", 1, 24, 32, 0, 0, 0, 1, 1, "", 0,
                             nullptr, 0, nullptr),
              0);
    // Character 0's destination column 1 holds source column 0 of its row
    // 2, so destination (24 + u, v) is source (u, 64 + v); doubled.
    SdlPicture cell = decode(path("out/c_00.png"));
    ASSERT_TRUE(cell);
    ASSERT_EQ(cell->w, 192);
    const SDL_Color colours[4] = {{10, 20, 30, 0}, {200, 50, 60, 0}, {255, 103, 139, 0}, {70, 160, 90, 0}};
    int keyPixels = 0;
    for (int v = 0; v < 32; ++v) {
        for (int u = 0; u < 24; ++u) {
            const int index = (u / 5 + (64 + v) / 3) % 4;
            const SDL_Color c = colours[index];
            keyPixels += index == 2;
            EXPECT_TRUE(sameColour(pixelOf(cell.get(), 2 * (24 + u), 2 * v), {c.r, c.g, c.b, 255}))
                << "source pixel (" << u << ", " << 64 + v << ") of entry " << index;
        }
    }
    EXPECT_GT(keyPixels, 100);

    // With the palette entry as the conversion's key, those pixels are the
    // transparent ones.
    setColorKeyPaletteIndex(2);
    ASSERT_EQ(graphicConvert(path("chara.png").c_str(), path("keyed").c_str(), "c", 1, 24, 32, 0, 0, 0, 1, 1, "", 0,
                             nullptr, 0, nullptr),
              0);
    SdlPicture keyed = decode(path("keyed/c_00.png"));
    ASSERT_TRUE(keyed);
    for (int u = 0; u < 24; ++u) {
        const int index = (u / 5 + 64 / 3) % 4;
        EXPECT_EQ(pixelOf(keyed.get(), 2 * (24 + u), 0).a, index == 2 ? 0 : 255) << u;
    }
}

TEST_F(EditorPictures, AFailureBeforeAnyFileLeavesNoNewFolder)
{
    // A missing input and a file that is no picture.
    std::ofstream(path("notes.png")) << "not a picture at all";
    EXPECT_EQ(graphicConvert(path("missing.png").c_str(), path("new1").c_str(), "x", 0, 0, 0, 0, 0, 0, 1, 1, "", 0,
                             nullptr, 0, nullptr),
              10);
    EXPECT_FALSE(exists("new1"));
    EXPECT_EQ(graphicConvert(path("notes.png").c_str(), path("new2").c_str(), "x", 0, 0, 0, 0, 0, 0, 1, 1, "", 0,
                             nullptr, 0, nullptr),
              10);
    EXPECT_FALSE(exists("new2"));
    // A folder that was there stays, empty or not.
    ASSERT_EQ(mkdir(path("old").c_str(), 0755), 0);
    EXPECT_EQ(graphicConvert(path("missing.png").c_str(), path("old").c_str(), "x", 0, 0, 0, 0, 0, 0, 1, 1, "", 0,
                             nullptr, 0, nullptr),
              10);
    EXPECT_TRUE(exists("old"));
    EXPECT_EQ(entries(path("old")), 0);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0], path("missing.png") + "ファイルを開けません。");
}

TEST_F(EditorPictures, ALoadFailureWritesOneEntryWithTheReason)
{
    EXPECT_EQ(graphicConvert(path("missing.png").c_str(), dir.c_str(), "x", 0, 0, 0, 0, 0, 0, 1, 1, "", 0, nullptr,
                             0, nullptr),
              10);
    const std::string log = readLog();
    EXPECT_EQ(log.rfind("Error!!\n  Program : ..\\..\\Pixwright_DLL(120)\n  Detail\n\n画像ファイル'" + path("missing.png")
                            + "'を読み込めませんでした。:",
                        0),
              0u)
        << log;
    EXPECT_NE(log.find("Couldn't open"), std::string::npos) << log;
    EXPECT_EQ(log.find("Error!!", 1), std::string::npos) << "one entry";
}

TEST_F(EditorPictures, PicturesOfOtherKindsAreRefusedUnreadWithTheirKind)
{
    // A GIF whose first image is 60000 x 30000, in 40 bytes, named as a PNG:
    // no reader of it is asked for anything. One entry, the reason one line.
    std::string gif = "GIF89a";
    for (int b : {1, 0, 1, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 0x60, 0xEA, 0x30, 0x75, 0, 2, 2, 0x44, 1, 0, 0x3B})
        gif += char(b);
    std::ofstream(path("huge.png"), std::ios::binary) << gif;
    EXPECT_EQ(graphicConvert(path("huge.png").c_str(), dir.c_str(), "x", 0, 0, 0, 0, 0, 0, 1, 1, "", 0, nullptr, 0,
                             nullptr),
              10);
    const std::string log = readLog();
    EXPECT_EQ(log, "Error!!\n  Program : ..\\..\\Pixwright_DLL(120)\n  Detail\n\n画像ファイル'" + path("huge.png")
                       + "'を読み込めませんでした。:unsupported picture format: GIF\n");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], path("huge.png") + "ファイルを開けません。");
}
