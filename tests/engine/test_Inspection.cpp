// The questions the front ends ask instead of restating engine rules: the
// presets, what a picture file is, the key a conversion would use, and the
// files it would write, each held to what a conversion really does.
#include "tests/engine/ConvertFixtures.h"
#include "tests/SystemText.h"

#include "engine/Pixwright_DLL.h"
#include "saver/writepix.h"

namespace {

// A 5 x 3 picture with a palette of 16 entries, entry 0 being `zero`,
// saved as PNG (its palette kept) or as 24-bit BMP (none).
void writePalettePicture(const std::string& file, SDL_Color zero)
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, 5, 3, 8, 0, 0, 0, 0);
    SDL_Color colours[16];
    for (int i = 0; i < 16; ++i)
        colours[i] = i == 0 ? zero : SDL_Color{Uint8(16 * i), Uint8(255 - 9 * i), Uint8(3 * i), 0};
    SDL_SetPalette(s, SDL_LOGPAL, colours, 0, 16);
    s->format->palette->ncolors = 16;
    for (int i = 0; i < 15; ++i)
        static_cast<Uint8*>(s->pixels)[(i / 5) * s->pitch + i % 5] = Uint8(15 - i);
    ASSERT_EQ(WPX_Save(s, file.c_str()), 0) << SDL_GetError();
    SDL_FreeSurface(s);
}

// The NUL-separated list plannedOutputFiles gives, as names.
std::vector<std::string> planned(const std::string& source, const std::string& folder, const char* name, int preset,
                                 int format, bool natural, bool colour, bool alpha)
{
    const int size = plannedOutputFiles(source.c_str(), folder.c_str(), name, preset, format, natural, "", colour,
                                        "color", alpha, "alpha", nullptr, 0);
    std::vector<std::string> names;
    if (size == 0)
        return names;
    std::string buffer(size_t(size), 'x');
    EXPECT_EQ(plannedOutputFiles(source.c_str(), folder.c_str(), name, preset, format, natural, "", colour, "color",
                                 alpha, "alpha", buffer.data(), size),
              size);
    EXPECT_EQ(buffer.back(), '\0');
    for (size_t at = 0; at < buffer.size() && buffer[at] != '\0'; at = buffer.find('\0', at) + 1)
        names.push_back(buffer.c_str() + at);
    return names;
}

} // namespace

using Inspection = ConvertTest;

TEST(Presets, SizesGridsAndTheAlphaGridOfBothPresets)
{
    EXPECT_EQ(presetForSize(480, 256), PIXWRIGHT_PRESET_CHIPSET);
    EXPECT_EQ(presetForSize(288, 256), PIXWRIGHT_PRESET_CHARSET);
    EXPECT_EQ(presetForSize(480, 255), PIXWRIGHT_PRESET_NONE);
    EXPECT_EQ(presetForSize(256, 288), PIXWRIGHT_PRESET_NONE);
    PixwrightPresetInfo chipset{}, charset{}, untouched{7, 7, 7, 7, 7};
    ASSERT_EQ(presetInfo(PIXWRIGHT_PRESET_CHIPSET, &chipset), 0);
    ASSERT_EQ(presetInfo(PIXWRIGHT_PRESET_CHARSET, &charset), 0);
    EXPECT_EQ((std::vector<int>{chipset.pictureWidth, chipset.pictureHeight, chipset.gridWidth, chipset.gridHeight,
                                chipset.eraseAlphaGrid}),
              (std::vector<int>{480, 256, 16, 16, 1}));
    EXPECT_EQ((std::vector<int>{charset.pictureWidth, charset.pictureHeight, charset.gridWidth, charset.gridHeight,
                                charset.eraseAlphaGrid}),
              (std::vector<int>{288, 256, 24, 32, 0}));
    EXPECT_EQ(presetInfo(PIXWRIGHT_PRESET_NONE, &untouched), -1);
    EXPECT_EQ(untouched.pictureWidth, 7);
}

TEST_F(Inspection, PicturesTheirPaletteAndTheKeyEachModeGives)
{
    const SDL_Color pink{255, 103, 139, 0};
    writePalettePicture(path("pal.png"), pink);
    writeGradientBmp(path("chip.bmp"), 480, 256);

    PixwrightPictureInfo info{};
    ASSERT_EQ(inspectPicture(path("pal.png").c_str(), &info), 0);
    EXPECT_EQ((std::vector<int>{info.width, info.height, info.ownPalette, info.preset}),
              (std::vector<int>{5, 3, 1, PIXWRIGHT_PRESET_NONE}));
    EXPECT_EQ((std::vector<int>{info.paletteEntry0.red, info.paletteEntry0.green, info.paletteEntry0.blue,
                                info.paletteEntry0.alpha}),
              (std::vector<int>{255, 103, 139, 255}));
    ASSERT_EQ(inspectPicture(path("chip.bmp").c_str(), &info), 0);
    EXPECT_EQ((std::vector<int>{info.width, info.height, info.ownPalette, info.preset, info.paletteEntry0.alpha}),
              (std::vector<int>{480, 256, 0, PIXWRIGHT_PRESET_CHIPSET, 0}));
    EXPECT_EQ(inspectPicture(path("missing.png").c_str(), &info), 10);

    auto key = [&](const std::string& file) {
        PixwrightColor c{1, 2, 3, 4};
        EXPECT_EQ(pictureKeyColor(path(file).c_str(), &c), 0) << file;
        return std::vector<int>{c.red, c.green, c.blue, c.alpha};
    };
    setColorKey(0x00, 0x75, 0x75);
    EXPECT_EQ(key("pal.png"), (std::vector<int>{0x00, 0x75, 0x75, 255}));
    setColorKeyPaletteIndex(0);
    EXPECT_EQ(key("pal.png"), (std::vector<int>{255, 103, 139, 255}));
    EXPECT_EQ(key("chip.bmp"), (std::vector<int>{0x00, 0x75, 0x75, 255})) << "no palette: the fixed colour";
    setColorKeyPos(2, 1);
    EXPECT_EQ(key("chip.bmp"), (std::vector<int>{2 * 40 + 5, 1 * 50 + 7, 3, 255}));
    setColorKeyPos(480, 0);
    EXPECT_EQ(key("chip.bmp"), (std::vector<int>{0, 0, 0, 255})) << "outside the picture";
    resetColorKey();
    EXPECT_EQ(key("pal.png"), (std::vector<int>{0, 0, 0, 255}));
    PixwrightColor c{};
    EXPECT_EQ(pictureKeyColor(path("missing.png").c_str(), &c), 10);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(readLog(), "");
}

TEST_F(Inspection, PlannedFilesAreTheFilesTheConversionWrites)
{
    writeGradientBmp(path("chip.bmp"), 480, 256);
    writeGradientBmp(path("chara.bmp"), 288, 256);
    writeGradientBmp(path("odd.bmp"), 9, 7);
    struct Case {
        const char* source;
        const char* name;
        int preset, format;
        bool natural, colour, alpha;
        size_t files;
    } cases[] = {{"chip.bmp", "t", 1, 1, true, true, true, 54},  {"chip.bmp", nullptr, 0, 0, false, true, false, 1},
                 {"chara.bmp", "c", 1, 2, false, true, true, 16}, {"odd.bmp", "", 1, 1, true, false, true, 2}};
    int run = 0;
    for (const Case& c : cases) {
        const std::string folder = path("out" + std::to_string(run++));
        const std::vector<std::string> names =
            planned(path(c.source), folder, c.name, c.preset, c.format, c.natural, c.colour, c.alpha);
        ASSERT_EQ(names.size(), c.files) << c.source;
        ASSERT_EQ(graphicConvert(path(c.source).c_str(), folder.c_str(), c.name, c.preset, 16, 16, 0, 0, 0, c.format,
                                 c.natural, "", c.colour, "color", c.alpha, "alpha"),
                  0);
        std::vector<std::string> written;
        for (const auto& [file, bytes] : readFolder(folder))
            written.push_back(nativePath(folder + "/" + file));
        std::vector<std::string> sorted = names;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, written) << c.source;
    }
    // Written in cell order, each cell's variants in turn.
    const std::vector<std::string> chip = planned(path("chip.bmp"), path("x"), "t", 1, 1, true, true, false);
    ASSERT_EQ(chip.size(), 36u);
    EXPECT_EQ(chip[0], nativePath(path("x") + "/t_00.png"));
    EXPECT_EQ(chip[1], nativePath(path("x") + "/t_00_color.png"));
    EXPECT_EQ(chip[35], nativePath(path("x") + "/t_17_color.png"));

    // Nothing for a request the conversion refuses or a picture it cannot
    // load, and nothing is created on the way.
    EXPECT_TRUE(planned(path("chip.bmp"), path("y"), ".t", 1, 1, true, true, true).empty());
    EXPECT_TRUE(planned(path("chip.bmp"), path("y"), "t", 1, 1, false, false, false).empty());
    EXPECT_TRUE(planned(path("gone.bmp"), path("y"), "t", 1, 1, true, true, true).empty());
    EXPECT_EQ(plannedOutputFiles(nullptr, path("y").c_str(), "t", 1, 1, 1, "", 0, nullptr, 0, nullptr, nullptr, 0), 0);
    struct stat st;
    EXPECT_NE(stat(path("y").c_str(), &st), 0);
    EXPECT_TRUE(boxes.empty());
    // A buffer too small is left alone; the size needed comes back.
    char small[4] = {'a', 'b', 'c', 'd'};
    EXPECT_GT(plannedOutputFiles(path("odd.bmp").c_str(), path("z").c_str(), "", 0, 1, 1, "", 0, nullptr, 0, nullptr,
                                 small, 4),
              4);
    EXPECT_EQ(std::string(small, 4), "abcd");
}
