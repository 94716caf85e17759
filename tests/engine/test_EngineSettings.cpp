// The engine-wide settings beside the colour key: the palette-entry key,
// progress and cancelling, the PNG row filter, compression and palette, and
// files that only ever appear whole.
#include "ConvertFixtures.h"
#include "PngMaker.h"
#include "SystemText.h"
#include "saver/writepix.h"

#include <png.h>

#include <cstring>
#include <dirent.h>
#include <set>

using auxlib::draw::Rgba;

namespace {

// A 5 x 3 palette picture of 16 colours; entry 0 is used at (1, 0), (3, 1)
// and (4, 2), never at (0, 0). Written as a palette PNG.
constexpr Uint8 paletteIndices[15] = {3, 0, 5, 7, 9, 1, 2, 4, 0, 6, 8, 10, 11, 12, 0};

SDL_Color paletteEntry(int i, SDL_Color zero) { return i == 0 ? zero : SDL_Color{Uint8(16 * i), Uint8(200 - 9 * i), Uint8(30 + 7 * i), 0}; }

void writePalettePicture(const std::string& file, SDL_Color zero, int depth = 8)
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, 5, 3, 8, 0, 0, 0, 0);
    SDL_Color colours[16];
    for (int i = 0; i < 16; ++i)
        colours[i] = paletteEntry(i, zero);
    SDL_SetPalette(s, SDL_LOGPAL, colours, 0, 16);
    s->format->palette->ncolors = 16;
    for (int i = 0; i < 15; ++i)
        static_cast<Uint8*>(s->pixels)[(i / 5) * s->pitch + i % 5] = paletteIndices[i];
    if (depth == 24) {
        SDL_Surface* rgb = SDL_CreateRGBSurface(0, 5, 3, 24, 0xFF, 0xFF00, 0xFF0000, 0);
        SDL_BlitSurface(s, nullptr, rgb, nullptr);
        SDL_FreeSurface(s);
        s = rgb;
    }
    ASSERT_EQ(WPX_Save(s, file.c_str()), 0) << SDL_GetError();
    SDL_FreeSurface(s);
}

class Settings : public ConvertTest {
protected:
    void TearDown() override
    {
        setProgressHandler(nullptr, nullptr);
        setPngFilter(0);
        setPngCompression(0);
        setPngPalette(0);
        ConvertTest::TearDown();
    }

    // Nearest, no grid, the natural file only, PNG.
    int convertNatural(const std::string& source, const char* name)
    {
        return graphicConvert(source.c_str(), dir.c_str(), name, 0, 0, 0, 0, 0, 0, 1, 1, "", 0, nullptr, 0, nullptr);
    }

    // Which source pixels came out transparent.
    std::vector<bool> transparentPixels(const std::string& file)
    {
        SdlPicture out = decode(file);
        std::vector<bool> clear;
        EXPECT_TRUE(out);
        if (!out)
            return clear;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                clear.push_back(pixelOf(out.get(), 2 * x, 2 * y).a == 0);
        return clear;
    }

    std::vector<bool> entryZeroPixels()
    {
        std::vector<bool> expected;
        for (Uint8 i : paletteIndices)
            expected.push_back(i == 0);
        return expected;
    }

    std::set<std::string> filesIn(const std::string& folder)
    {
        std::set<std::string> names;
        if (DIR* d = opendir(folder.c_str())) {
            while (dirent* e = readdir(d))
                if (e->d_name[0] != '.')
                    names.insert(e->d_name);
            closedir(d);
        }
        return names;
    }
};

struct ProgressCall {
    int done, total, files;
};

struct ProgressLog {
    std::vector<ProgressCall> calls;
    int cancelAfter = -1; // cells done at which to ask to stop
};

int recordProgress(void* user, int done, int total, int files)
{
    auto* log = static_cast<ProgressLog*>(user);
    log->calls.push_back({done, total, files});
    return log->cancelAfter == done ? 1 : 0;
}

} // namespace

TEST_F(Settings, PaletteEntryKeysExactlyThatEntrysPixels)
{
    const SDL_Color pink{255, 103, 139, 0};
    writePalettePicture(path("pal.png"), pink);
    setColorKey(0x00, 0x75, 0x75);
    setColorKeyPaletteIndex(0);
    ASSERT_EQ(convertNatural(path("pal.png"), "out"), 0);
    EXPECT_EQ(transparentPixels(path("out.png")), entryZeroPixels());
    SdlPicture out = decode(path("out.png"));
    ASSERT_TRUE(out);
    // A keyed pixel keeps the key's colour under alpha 0; the rest is untouched.
    EXPECT_TRUE(sameColour(pixelOf(out.get(), 2, 0), {255, 103, 139, 0}));
    EXPECT_TRUE(sameColour(pixelOf(out.get(), 0, 0), {48, 173, 51, 255}));

    // The fixed mode still finds nothing to key in this picture.
    setColorKey(0x00, 0x75, 0x75);
    ASSERT_EQ(convertNatural(path("pal.png"), "fixed"), 0);
    EXPECT_EQ(transparentPixels(path("fixed.png")), std::vector<bool>(15, false));
}

TEST_F(Settings, PictureWithoutPaletteFallsBackToTheFixedColour)
{
    // The same picture in 24 bits, entry 0 being the fixed colour this time:
    // the fixed colour keys it, so the fallback is the fixed colour, not a
    // palette that is not there.
    writePalettePicture(path("rgb.png"), SDL_Color{0x00, 0x75, 0x75, 0}, 24);
    setColorKey(0x00, 0x75, 0x75);
    setColorKeyPaletteIndex(0);
    ASSERT_EQ(convertNatural(path("rgb.png"), "rgb"), 0);
    EXPECT_EQ(transparentPixels(path("rgb.png")), entryZeroPixels());

    writePalettePicture(path("rgb2.png"), SDL_Color{255, 103, 139, 0}, 24);
    ASSERT_EQ(convertNatural(path("rgb2.png"), "rgb2"), 0);
    EXPECT_EQ(transparentPixels(path("rgb2.png")), std::vector<bool>(15, false));
}

TEST_F(Settings, AGreyPictureHasNoPaletteOfItsOwn)
{
    // SDL reads an 8-bit grey PNG into a picture with a grey palette whose
    // entry 0 is black; that palette is made up, so the fixed colour keys.
    SDL_Surface* grey = SDL_CreateRGBSurface(0, 3, 1, 8, 0, 0, 0, 0);
    SDL_Color levels[256];
    for (int i = 0; i < 256; ++i)
        levels[i] = SDL_Color{Uint8(i), Uint8(i), Uint8(i), 0};
    SDL_SetPalette(grey, SDL_LOGPAL, levels, 0, 256);
    const Uint8 row[3] = {0, 128, 255};
    std::memcpy(grey->pixels, row, 3);
    // Written as grey: a palette of 256 grey levels in order is stored by
    // libpng as a palette; write the grey file by hand instead.
    SDL_FreeSurface(grey);
    FILE* f = std::fopen(path("grey.png").c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, 3, 1, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_row(png, row);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    {
        SdlPicture loaded = decode(path("grey.png"));
        ASSERT_TRUE(loaded);
        ASSERT_NE(loaded->format->palette, nullptr) << "the made-up palette this case is about";
    }
    setColorKey(128, 128, 128);
    setColorKeyPaletteIndex(0);
    ASSERT_EQ(convertNatural(path("grey.png"), "grey_out"), 0);
    SdlPicture out = decode(path("grey_out.png"));
    ASSERT_TRUE(out);
    EXPECT_EQ(pixelOf(out.get(), 0, 0).a, 255) << "black is not the key";
    EXPECT_EQ(pixelOf(out.get(), 2, 0).a, 0) << "the fixed colour is";
}

TEST_F(Settings, EachPictureIsKeyedByItsOwnPalette)
{
    writePalettePicture(path("a.png"), SDL_Color{255, 103, 139, 0});
    writePalettePicture(path("b.png"), SDL_Color{12, 34, 56, 0});
    setColorKeyPaletteIndex(0);
    ASSERT_EQ(convertNatural(path("a.png"), "a_out"), 0);
    ASSERT_EQ(convertNatural(path("b.png"), "b_out"), 0);
    EXPECT_EQ(transparentPixels(path("a_out.png")), entryZeroPixels());
    EXPECT_EQ(transparentPixels(path("b_out.png")), entryZeroPixels());
    SdlPicture b = decode(path("b_out.png"));
    ASSERT_TRUE(b);
    EXPECT_TRUE(sameColour(pixelOf(b.get(), 2, 0), {12, 34, 56, 0}));
}

TEST_F(Settings, PaletteIndexIsClampedAndAMissingEntryFallsBack)
{
    writePalettePicture(path("pal.png"), SDL_Color{255, 103, 139, 0});
    // Entry 5 is (80, 155, 65); -4 clamps to entry 0.
    setColorKeyPaletteIndex(-4);
    ASSERT_EQ(convertNatural(path("pal.png"), "low"), 0);
    EXPECT_EQ(transparentPixels(path("low.png")), entryZeroPixels());
    // 300 clamps to 255, past this 16-entry palette: the fixed colour, which
    // is entry 3's colour here.
    setColorKey(48, 173, 51);
    setColorKeyPaletteIndex(300);
    ASSERT_EQ(convertNatural(path("pal.png"), "high"), 0);
    std::vector<bool> entry3;
    for (Uint8 i : paletteIndices)
        entry3.push_back(i == 3);
    EXPECT_EQ(transparentPixels(path("high.png")), entry3);

    // With all 256 entries, 300 clamps to the last one exactly: entry 255
    // keys its pixels, entry 254 (a different colour) does not.
    SDL_Surface* full = SDL_CreateRGBSurface(0, 3, 1, 8, 0, 0, 0, 0);
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = SDL_Color{Uint8(i), Uint8(255 - i), 77, 0};
    SDL_SetPalette(full, SDL_LOGPAL, colours, 0, 256);
    const Uint8 row[3] = {254, 255, 3};
    std::memcpy(full->pixels, row, 3);
    ASSERT_EQ(WPX_Save(full, path("full.png").c_str()), 0);
    SDL_FreeSurface(full);
    setColorKeyPaletteIndex(300);
    ASSERT_EQ(convertNatural(path("full.png"), "last"), 0);
    SdlPicture last = decode(path("last.png"));
    ASSERT_TRUE(last);
    EXPECT_EQ(pixelOf(last.get(), 0, 0).a, 255) << "entry 254";
    EXPECT_EQ(pixelOf(last.get(), 2, 0).a, 0) << "entry 255";
    EXPECT_EQ(pixelOf(last.get(), 4, 0).a, 255) << "entry 3";
}

TEST_F(Settings, ProgressCountsCellsAndFilesAndCancelStopsBetweenCells)
{
    writeGradientBmp(path("chip.bmp"), 480, 256);
    ProgressLog log;
    setProgressHandler(recordProgress, &log);
    ASSERT_EQ(graphicConvert(path("chip.bmp").c_str(), path("all").c_str(), "t", 1, 16, 16, 0, 0, 0, 1, 1, "", 1,
                             "color", 0, nullptr),
              0);
    ASSERT_EQ(log.calls.size(), 19u);
    for (int i = 0; i <= 18; ++i) {
        EXPECT_EQ(log.calls[i].done, i);
        EXPECT_EQ(log.calls[i].total, 18);
        EXPECT_EQ(log.calls[i].files, 2 * i);
    }
    EXPECT_EQ(filesIn(path("all")).size(), 36u);

    log = ProgressLog{};
    log.cancelAfter = 3;
    EXPECT_EQ(graphicConvert(path("chip.bmp").c_str(), path("part").c_str(), "t", 1, 16, 16, 0, 0, 0, 1, 1, "", 1,
                             "color", 0, nullptr),
              40);
    EXPECT_TRUE(boxes.empty()) << "a cancel shows no box";
    EXPECT_EQ(log.calls.size(), 4u);
    EXPECT_EQ(filesIn(path("part")), (std::set<std::string>{"t_00.png", "t_00_color.png", "t_01.png",
                                                            "t_01_color.png", "t_02.png", "t_02_color.png"}));
    // The files kept are whole.
    SdlPicture kept = decode(path("part/t_02_color.png"));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->w, 288);

    // A cancel asked for after the last cell has nothing left to stop.
    log = ProgressLog{};
    log.cancelAfter = 18;
    EXPECT_EQ(graphicConvert(path("chip.bmp").c_str(), path("late").c_str(), "t", 1, 16, 16, 0, 0, 0, 1, 1, "", 0,
                             nullptr, 0, nullptr),
              0);
    EXPECT_EQ(filesIn(path("late")).size(), 18u);

    log = ProgressLog{};
    log.cancelAfter = 0;
    EXPECT_EQ(graphicConvert(path("chip.bmp").c_str(), path("none").c_str(), "t", 1, 16, 16, 0, 0, 0, 1, 1, "", 0,
                             nullptr, 0, nullptr),
              40);
    EXPECT_TRUE(filesIn(path("none")).empty());
    EXPECT_EQ(readLog(), "");
}

TEST_F(Settings, EveryPngFilterDecodesToTheSamePixels)
{
    writeGradientBmp(path("in.bmp"), 7, 5);
    std::vector<std::vector<Rgba>> decoded;
    for (int filter = -1; filter <= 7; ++filter) {
        setPngFilter(filter);
        const std::string name = "f" + std::to_string(filter + 1);
        ASSERT_EQ(convertNatural(path("in.bmp"), name.c_str()), 0);
        SdlPicture out = decode(path(name + ".png"));
        ASSERT_TRUE(out);
        std::vector<Rgba> pixels;
        for (int y = 0; y < out->h; ++y)
            for (int x = 0; x < out->w; ++x)
                pixels.push_back(pixelOf(out.get(), x, y));
        decoded.push_back(pixels);
    }
    for (size_t i = 1; i < decoded.size(); ++i)
        EXPECT_EQ(decoded[i] == decoded[0], true) << "filter " << int(i) - 1;
    // Out-of-range numbers are libpng's own choice: the very same bytes.
    std::ifstream a(path("f0.png"), std::ios::binary), b(path("f1.png"), std::ios::binary), c(path("f8.png"), std::ios::binary);
    const std::string fa((std::istreambuf_iterator<char>(a)), {}), fb((std::istreambuf_iterator<char>(b)), {}),
        fc((std::istreambuf_iterator<char>(c)), {});
    EXPECT_EQ(fa, fb);
    EXPECT_EQ(fc, fb);
}

std::string fileBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST_F(Settings, EveryPngCompressionAndThePaletteDecodeToTheSamePixelsAndLeaveOtherFormatsAlone)
{
    // The 5 x 3 palette picture (no grid) in all three variants, so the
    // colour and alpha pictures are covered as well as the natural one.
    writePalettePicture(path("in.png"), SDL_Color{0, 0x75, 0x75, 0});
    setColorKey(0x00, 0x75, 0x75);
    auto convertAll = [&](const std::string& folder, int format) {
        return graphicConvert(path("in.png").c_str(), path(folder).c_str(), "t", 0, 0, 0, 0, 0, 0, format, 1, "", 1,
                              "color", 1, "alpha");
    };
    ASSERT_EQ(convertAll("png", 1), 0);
    ASSERT_EQ(convertAll("bmp", 0), 0);
    ASSERT_EQ(convertAll("jpg", 2), 0);
    const char* variants[] = {"t.png", "t_color.png", "t_alpha.png"};
    for (int compression : {-1, 0, 1, 2, 3}) {
        for (int palette : {0, 1}) {
            setPngCompression(compression);
            setPngPalette(palette);
            const std::string folder = "c" + std::to_string(compression + 1) + "p" + std::to_string(palette);
            ASSERT_EQ(convertAll(folder, 1), 0) << folder;
            for (const char* v : variants) {
                const std::vector<Uint8> want = rgbaOfPng(fileBytes(path("png/") + v));
                ASSERT_EQ(want.size(), 10u * 6u * 4u) << v;
                EXPECT_TRUE(rgbaOfPng(fileBytes(path(folder + "/") + v)) == want) << folder << " " << v;
            }
            const std::string natural = fileBytes(path(folder + "/t.png"));
            if ((compression < 1 || compression > 2) && palette == 0) {
                EXPECT_EQ(natural, fileBytes(path("png/t.png"))) << "unknown numbers are the default";
            }
            // The natural picture has 16 colours: a palette picture
            // (colour type, byte 25 of the file) exactly when asked for.
            ASSERT_GT(natural.size(), 26u);
            EXPECT_EQ(natural[25], palette ? 3 : 6) << folder;
            // BMP and JPEG files know nothing of either setting.
            ASSERT_EQ(convertAll(folder + "bmp", 0), 0);
            ASSERT_EQ(convertAll(folder + "jpg", 2), 0);
            for (const char* name : {"t_color", "t_alpha"}) {
                EXPECT_EQ(fileBytes(path(folder + "bmp/" + std::string(name) + ".bmp")), fileBytes(path("bmp/" + std::string(name) + ".bmp")));
                EXPECT_EQ(fileBytes(path(folder + "jpg/" + std::string(name) + ".jpg")), fileBytes(path("jpg/" + std::string(name) + ".jpg")));
            }
            EXPECT_EQ(fileBytes(path(folder + "bmp/t.bmp")), fileBytes(path("bmp/t.bmp")));
        }
    }
}

TEST_F(Settings, AFailedSaveLeavesNoFileNorTemporaryFile)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    // An unknown output format fails in the writer; nothing may be left.
    EXPECT_EQ(graphicConvert(path("in.bmp").c_str(), path("out").c_str(), "t", 0, 0, 0, 0, 0, 0, 9, 1, "", 0, nullptr,
                             0, nullptr),
              21);
    // The folder the call made is gone again, since nothing was written.
    EXPECT_FALSE(exists("out"));
    // A folder in the way of the colour file: the natural file is whole, the
    // colour file failed and left no temporary file beside it.
    ASSERT_EQ(mkdir(path("out").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(path("out/t_color.png").c_str(), 0755), 0);
    boxes.clear();
    EXPECT_EQ(graphicConvert(path("in.bmp").c_str(), path("out").c_str(), "t", 0, 0, 0, 0, 0, 0, 1, 1, "", 1, "color",
                             0, nullptr),
              22);
    EXPECT_EQ(filesIn(path("out")), (std::set<std::string>{"t.png", "t_color.png"}));
    const std::string log = readLog();
    EXPECT_NE(log.find("'" + nativePath(path("out/t_color.png")) + "'ファイルへの画像保存に失敗しました。:Couldn't write "
                       + nativePath(path("out/t_color.png"))),
              std::string::npos)
        << log;
}
