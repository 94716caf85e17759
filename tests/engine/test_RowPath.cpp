// The row path against the per-pixel reference: every stage must write the
// same bytes, on every mode, level, grid, key and source format, and the
// conversion must write the same files whatever the number of threads.
#include "ConvertFixtures.h"
#include "engine/CellEnlargement.h"
#include "engine/PixEffector.h"
#include "engine/PixSaver.h"
#include "engine/ConvertResult.h"
#include "engine/rows/PixelRows.h"

#include <dirent.h>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

using auxlib::draw::Rgba;
using auxlib::draw::Surface;
using engine::PixEffector;

namespace {

// A colour set with the key, black and zero channels, near-equal alphas and
// the key's colour under another alpha, so every branch of the rules is met.
const Rgba inks[] = {{0x00, 0x75, 0x75, 255}, {0, 0, 0, 255},     {255, 255, 255, 255}, {0, 200, 17, 255},
                     {90, 0, 240, 255},       {13, 77, 0, 128},   {200, 100, 50, 0},    {0x00, 0x75, 0x75, 0},
                     {255, 0, 0, 64},         {31, 63, 127, 190}, {5, 6, 7, 255},       {250, 251, 252, 1}};

struct Source {
    std::string name;
    int bits;
    Uint32 r, g, b, a;
};

const Source formats[] = {
    {"engine24", 24, 0x0000FF, 0x00FF00, 0xFF0000, 0},
    {"bgr24", 24, 0xFF0000, 0x00FF00, 0x0000FF, 0},
    {"engine32", 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
    {"argb32", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
    {"xrgb32", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0},
    {"rgb565", 16, 0xF800, 0x07E0, 0x001F, 0},
    {"argb4444", 16, 0x0F00, 0x00F0, 0x000F, 0xF000},
    {"grey-alpha16", 16, 0x00FF, 0xFF00, 0, 0},
    {"palette8", 8, 0, 0, 0, 0},
};

// A w x h picture in the given format, its pixels drawn from the inks with
// runs and blocks so squares hold both flat areas and edges.
Surface makeSource(const Source& f, int w, int h, unsigned seed)
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, f.bits, f.r, f.g, f.b, f.a);
    EXPECT_NE(s, nullptr);
    std::mt19937 random(seed);
    if (f.bits == 8) {
        // All 256 entries hold colours, but only 12 belong to the palette:
        // the rest must read as opaque black, never as what lies there.
        SDL_Color colours[256];
        for (int i = 0; i < 256; ++i)
            colours[i] = i < 12 ? SDL_Color{inks[i].r, inks[i].g, inks[i].b, 0} : SDL_Color{200, 30, 99, 0};
        SDL_SetPalette(s, SDL_LOGPAL, colours, 0, 256);
        s->format->palette->ncolors = 12;
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // Blocks of 3 x 2 of one ink, with every fifth pixel random.
            unsigned pick = ((x / 3) * 7 + (y / 2) * 5 + seed) % 12;
            if (random() % 5 == 0)
                pick = random() % 12;
            Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
            // One index past the palette, which must read as opaque black.
            if (f.bits == 8) {
                *p = (x == w - 1 && y == 0) ? 200 : Uint8(pick);
                continue;
            }
            const Rgba c = inks[pick];
            Surface::writePixelValue(p, s->format->BytesPerPixel, SDL_MapRGBA(s->format, c.r, c.g, c.b, c.a));
        }
    }
    return Surface(s);
}

std::string bytesOf(const Surface& picture)
{
    const SDL_Surface* s = picture.sdl();
    if (s == nullptr)
        return "<empty>";
    std::string bytes;
    for (int y = 0; y < s->h; ++y)
        bytes.append(static_cast<const char*>(s->pixels) + y * s->pitch, size_t(s->w) * s->format->BytesPerPixel);
    return bytes;
}

// The first differing pixel, for the failure message.
std::string firstDifference(const Surface& a, const Surface& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            Rgba p, q;
            a.getPixel(p, x, y);
            b.getPixel(q, x, y);
            if (p != q) {
                std::ostringstream out;
                out << "(" << x << ", " << y << "): reference " << int(p.r) << "," << int(p.g) << "," << int(p.b)
                    << "," << int(p.a) << " rows " << int(q.r) << "," << int(q.g) << "," << int(q.b) << "," << int(q.a);
                return out.str();
            }
        }
    return "same pixels, other bytes";
}

} // namespace

TEST(RowPath, EnlargementEqualsReferenceOnEveryModeLevelGridAndFormat)
{
    struct Grid {
        int w, h;
    };
    const Grid grids[] = {{0, 0}, {4, 3}, {3, 5}, {1, 1}, {16, 2}, {-2, 4}, {40, 40}};
    const Rgba keys[] = {{0x00, 0x75, 0x75, 255}, {3, 3, 3, 255}, {0, 0, 0, 255}, {200, 100, 50, 0}};
    int compared = 0;
    for (const Source& format : formats) {
        for (int size = 0; size < 2; ++size) {
            const int w = size == 0 ? 13 : 8, h = size == 0 ? 9 : 6;
            Surface cell = makeSource(format, w, h, unsigned(compared + 11));
            for (int mode : {0, 1, 2, 3, 4, 7}) {
                for (const Rgba& key : keys) {
                    const PixEffector effector(mode, key, Rgba{key.r, key.g, key.b, 0});
                    for (const Grid& grid : grids) {
                        for (int level = 0; level <= 5; ++level) {
                            for (bool alphaGrid : {false, true}) {
                                // Keep the run short: every level and grid
                                // with alpha-grid both ways on bilinear; a
                                // spread of the rest on the other modes.
                                if (mode != 1 && (level + grid.w + int(alphaGrid)) % 3 != 0)
                                    continue;
                                const Surface reference(
                                    effector.enlargeCell(cell, grid.w, grid.h, level, alphaGrid));
                                const Surface rows(
                                    engine::enlargeCell(engine::KernelSet::Rows, effector, cell, grid.w, grid.h, level, alphaGrid));
                                ASSERT_TRUE(reference.isValid());
                                ASSERT_EQ(bytesOf(reference), bytesOf(rows))
                                    << format.name << " " << w << "x" << h << " mode " << mode << " key "
                                    << int(key.r) << " grid " << grid.w << "x" << grid.h << " level " << level
                                    << " alpha-grid " << alphaGrid << ": " << firstDifference(reference, rows);
                                ++compared;
                            }
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(compared, 2000);
}

TEST(RowPath, BandsGiveTheBytesOfOneBand)
{
    Surface cell = makeSource(formats[2], 37, 23, 5);
    for (int mode : {0, 1, 2, 3, 4}) {
        const PixEffector effector(mode, inks[0], Rgba{0, 0x75, 0x75, 0});
        const Surface whole(engine::enlargeCell(engine::KernelSet::Rows, effector, cell, 5, 4, 3, true));
        for (int bands : {2, 3, 7, 23}) {
            const auto e = engine::makeEnlargement(engine::KernelSet::Rows, effector, cell, 5, 4, 3, true);
            ASSERT_TRUE(e->prepare());
            // Bands in an odd order, as threads may finish them.
            for (int b = bands - 1; b >= 0; --b)
                ASSERT_TRUE(e->resampleBand(b, bands));
            ASSERT_TRUE(e->correct());
            for (int b = 0; b < bands; b += 2)
                ASSERT_TRUE(e->sharpenBand(b, bands));
            for (int b = 1; b < bands; b += 2)
                ASSERT_TRUE(e->sharpenBand(b, bands));
            EXPECT_EQ(bytesOf(whole), bytesOf(e->result())) << "mode " << mode << ", " << bands << " bands";
        }
    }
}

TEST(RowPath, DecodedPixelsReadEveryFormatAsGetPixelDoes)
{
    for (const Source& format : formats) {
        Surface picture = makeSource(format, 11, 4, 3);
        const engine::PixelBuffer decoded = engine::decodePixels(picture);
        ASSERT_FALSE(decoded.empty());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 11; ++x) {
                Rgba c;
                picture.getPixel(c, x, y);
                EXPECT_EQ(decoded.rows().row(y)[x], engine::packPixel(c)) << format.name << " at " << x << "," << y;
            }
    }
    // The index past the palette is opaque black in both readings.
    Surface palette = makeSource(formats[8], 11, 4, 3);
    Rgba c;
    palette.getPixel(c, 10, 0);
    EXPECT_TRUE(sameColour(c, {0, 0, 0, 255}));
}

namespace {

struct FileSet {
    std::map<std::string, std::string> files; // name -> bytes
    std::string log;
    int result = -1;
};

class RowPathConvert : public ConvertTest {
protected:
    void TearDown() override
    {
        setThreadCount(0);
        ConvertTest::TearDown();
    }

    FileSet convert(engine::KernelSet kernels, const std::string& source, const std::string& folder, int preset,
                    int grid, int level, int alphaGrid, int mode, int format)
    {
        std::remove("stderr.txt");
        FileSet set;
        engine::ConvertRequest request{source.c_str(), folder.c_str(), "t", preset != 0, grid,    grid,
                                       level,          alphaGrid != 0, mode, format,      format == 1, "",
                                       true,           "color",        true, "alpha"};
        request.kernels = kernels;
        set.result = engine::graphicConvert(request);
        set.files = readFolder(folder);
        set.log = takeLog();
        return set;
    }
};

} // namespace

TEST_F(RowPathConvert, ConversionsWriteTheSameFilesOnEveryPathAndThreadCount)
{
    // A chipset (18 cells, one of them large enough to be cut into bands),
    // a charset, and an odd-sized picture as one cell.
    struct Input {
        std::string file;
        int preset, grid;
    };
    writeGradientBmp(path("chip.bmp"), 480, 256);
    writeGradientBmp(path("chara.bmp"), 288, 256);
    {
        Surface odd = makeSource(formats[2], 67, 41, 9);
        ASSERT_EQ(SDL_SaveBMP(odd.sdl(), path("odd.bmp").c_str()), 0);
    }
    const Input inputs[] = {{"chip.bmp", 1, 16}, {"chara.bmp", 1, 24}, {"odd.bmp", 0, 7}};
    int run = 0;
    for (const Input& input : inputs) {
        for (int format : {0, 1, 2}) {
            // Over the three inputs every one of the first three modes meets
            // every format once, and so do the pixel-art modes, which run
            // beside them; the enlargement test above covers the rest.
            const int classic = (run + run / 3) % 3, pixelArt = 3 + run % 2;
            for (int mode : {classic, pixelArt}) {
                const int level = (run % 3) * 2, alphaGrid = mode == 1 || mode == 4 ? 1 : 0;
                const std::string tag = std::to_string(run) + "m" + std::to_string(mode);
                setThreadCount(1);
                const FileSet reference = convert(engine::KernelSet::Reference, path(input.file), path("ref" + tag), input.preset, input.grid,
                                                  level, alphaGrid, mode, format);
                for (int threads : {1, 3}) {
                    setThreadCount(threads);
                    const FileSet rows = convert(engine::KernelSet::Rows, path(input.file), path("rows" + tag + "_" + std::to_string(threads)),
                                                 input.preset, input.grid, level, alphaGrid, mode, format);
                    EXPECT_EQ(rows.result, reference.result);
                    EXPECT_EQ(rows.log, reference.log);
                    ASSERT_EQ(rows.files.size(), reference.files.size()) << input.file << " format " << format;
                    for (const auto& [name, bytes] : reference.files) {
                        ASSERT_TRUE(rows.files.count(name)) << name;
                        EXPECT_TRUE(rows.files.at(name) == bytes)
                            << input.file << " " << name << " mode " << mode << " level " << level << " threads "
                            << threads;
                    }
                }
            }
            ++run;
        }
    }
    EXPECT_TRUE(boxes.empty());
}
