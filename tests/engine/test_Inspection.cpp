// The questions the front ends ask instead of restating engine rules: the
// presets, what a picture file is, the key a conversion would use, and the
// files it would write, each held to what a conversion really does.
#include "tests/engine/ConvertFixtures.h"
#include "tests/PictureSamples.h"
#include "tests/SystemText.h"

#include "engine/Inspection.h"
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

namespace {

// An inspection's answer in one line: the code, and the picture when 0.
std::string answerText(int code, const PixwrightPictureInfo& info)
{
    if (code != 0)
        return "code " + std::to_string(code);
    const PixwrightColor& c = info.paletteEntry0;
    return "0: " + std::to_string(info.width) + "x" + std::to_string(info.height) + " own palette "
           + std::to_string(info.ownPalette) + " entry 0 (" + std::to_string(c.red) + "," + std::to_string(c.green)
           + "," + std::to_string(c.blue) + "," + std::to_string(c.alpha) + ") preset " + std::to_string(info.preset);
}

std::string inspected(const std::string& file)
{
    PixwrightPictureInfo info{};
    const int code = inspectPicture(file.c_str(), &info);
    return answerText(code, info);
}

std::string inspectedByDecoding(const std::string& file)
{
    PixwrightPictureInfo info{};
    const int code = engine::inspectPictureByDecoding(file.c_str(), &info);
    return answerText(code, info);
}

void writeBytes(const std::string& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

// A palette PNG of w x h with entry 0 `zero`.
std::string palettePng(int w, int h, png_color zero)
{
    PngPicture p;
    p.width = w;
    p.height = h;
    p.colourType = PNG_COLOR_TYPE_PALETTE;
    p.palette = picturesamples::pngPalette(8, 5);
    p.palette[0] = zero;
    p.samples = picturesamples::samplesOf(w, h, 1, 8, 8);
    return writePng(p);
}

} // namespace

// The header answers exactly as decoding the picture does, over the whole
// sample set and the sizes of both editor presets.
TEST_F(Inspection, TheHeaderAnswersAsDecodingDoes)
{
    std::vector<SamplePicture> samples = samplePictures();
    PngPicture chipset;
    chipset.width = 480;
    chipset.height = 256;
    chipset.colourType = PNG_COLOR_TYPE_PALETTE;
    chipset.palette = picturesamples::pngPalette(4, 9);
    chipset.samples.assign(480 * 256, 1);
    samples.push_back({"chipset.png", writePng(chipset)});
    BmpPicture charset;
    charset.width = 288;
    charset.height = 256;
    charset.bits = 4;
    charset.palette = picturesamples::bmpPalette(16, 2);
    samples.push_back({"charset.bmp", bmpFile(charset)});
    int answered = 0, withPalette = 0, refused = 0;
    for (const SamplePicture& sample : samples) {
        SCOPED_TRACE(sample.name);
        writeBytes(path(sample.name), sample.bytes);
        const std::string reference = inspectedByDecoding(path(sample.name));
        EXPECT_EQ(inspected(path(sample.name)), reference);
        answered += reference.rfind("0:", 0) == 0;
        withPalette += reference.find("own palette 1") != std::string::npos;
        refused += reference == "code 10";
    }
    EXPECT_GE(answered, 100);
    EXPECT_GE(withPalette, 40);
    EXPECT_GE(refused, 20);
    EXPECT_EQ(inspected(path("chipset.png")), "0: 480x256 own palette 1 entry 0 (63,255,27,255) preset 1");
    EXPECT_EQ(inspected(path("charset.bmp")), "0: 288x256 own palette 1 entry 0 (14,255,6,255) preset 2");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(readLog(), "");
}

TEST_F(Inspection, WorkedAnswersFromTheHeader)
{
    writeBytes(path("pal.png"), palettePng(7, 4, png_color{12, 34, 56}));
    EXPECT_EQ(inspected(path("pal.png")), "0: 7x4 own palette 1 entry 0 (12,34,56,255) preset 0");
    // A header cut short, a kind not decoded, no file: 10, *info untouched.
    writeBytes(path("cut.png"), palettePng(7, 4, png_color{12, 34, 56}).substr(0, 24));
    writeBytes(path("cut.bmp"), std::string("BM\x36\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00", 16));
    writeBytes(path("picture.gif"), "GIF89a\x07\x00\x04\x00\x80\x00\x00" + std::string(30, '\0'));
    for (const char* name : {"cut.png", "cut.bmp", "picture.gif", "missing.png"}) {
        PixwrightPictureInfo info{77, 66, 5, PixwrightColor{1, 2, 3, 4}, 9};
        EXPECT_EQ(inspectPicture(path(name).c_str(), &info), 10) << name;
        EXPECT_EQ(answerText(0, info), "0: 77x66 own palette 5 entry 0 (1,2,3,4) preset 9") << name;
        EXPECT_EQ(inspectedByDecoding(path(name)), "code 10") << name;
    }
    PixwrightPictureInfo info{};
    EXPECT_EQ(inspectPicture(nullptr, &info), 10);
    EXPECT_EQ(inspectPicture(path("pal.png").c_str(), nullptr), 10);
    EXPECT_TRUE(boxes.empty());
}

// The one place the two differ: pixel data damaged after a sound header.
// The header answers 0; decoding, and so the conversion, fails with 10 and
// says why.
TEST_F(Inspection, DamagedPixelsAnswerFromTheHeaderAndFailWhenConverted)
{
    std::string png = palettePng(480, 256, png_color{12, 34, 56});
    const std::size_t idat = png.find("IDAT");
    for (std::size_t i = idat + 10; i < idat + 40; ++i)
        png[i] = char(png[i] ^ 0x33);
    writeBytes(path("damaged.png"), png);
    BmpPicture rle;
    rle.width = 288;
    rle.height = 256;
    rle.bits = 8;
    rle.compression = 1;
    rle.palette = {0x00FF678B};
    rle.pixels = std::string("\xFF\x00\x21\x00\x00\x00", 6); // one row, then the data stops
    writeBytes(path("cut-rle.bmp"), bmpFile(rle));
    writeBytes(path("palette-only.xyz"), xyzHeader(20, 10) + deflated(std::string(768, '\x44')));
    struct Case {
        const char* name;
        const char* header;
        const char* reason;
    } cases[] = {
        {"damaged.png", "0: 480x256 own palette 1 entry 0 (12,34,56,255) preset 1", "damaged PNG data"},
        {"cut-rle.bmp", "0: 288x256 own palette 1 entry 0 (255,103,139,255) preset 2", "truncated BMP file"},
        {"palette-only.xyz", "0: 20x10 own palette 1 entry 0 (68,68,68,255) preset 0",
         "XYZ data shorter than its picture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(inspected(path(c.name)), c.header);
        EXPECT_EQ(inspectedByDecoding(path(c.name)), "code 10");
        // What the front ends plan for it is what a sound picture of that
        // size would write: the conversion is what finds the damage.
        EXPECT_FALSE(planned(path(c.name), path("out"), "o", 1, 1, true, false, false).empty());
        boxes.clear();
        std::remove("stderr.txt");
        EXPECT_EQ(graphicConvert(path(c.name).c_str(), path("out").c_str(), "o", 1, 16, 16, 0, 0, 0, 1, 1, "", 0,
                                 "color", 0, "alpha"),
                  10);
        EXPECT_EQ(boxes.size(), 1u);
        EXPECT_NE(readLog().find(c.reason), std::string::npos) << readLog();
        EXPECT_TRUE(readFolder(path("out")).empty());
    }
}
