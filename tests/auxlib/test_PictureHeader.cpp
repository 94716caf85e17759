// The sizes picture headers declare, read before anything is decoded: they
// must be the sizes the decoder would allocate for, or a huge picture gets
// its memory before it is refused. And the whole header as loading would
// find it: kind, size, the palette the surface carries, or the refusal.
#include "auxlib/draw/BmpLoader.h"
#include "auxlib/draw/JpegLoader.h"
#include "auxlib/draw/PictureHeader.h"
#include "auxlib/draw/PngLoader.h"
#include "auxlib/draw/Surface.h"
#include "auxlib/draw/XyzLoader.h"
#include "PictureSamples.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using auxlib::draw::PictureHeader;
using auxlib::draw::PictureLimits;
using auxlib::draw::readDeclaredSize;
using auxlib::draw::readPictureHeader;

namespace {

void put(std::string& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((v >> (8 * i)) & 0xFF);
}

// A 24-bit bitmap whose information header says it is headerSize bytes;
// the 12-byte OS/2 header has 16-bit sizes, every other one is laid out as
// the 40-byte Windows header. The pixels follow at offset 54 (26 for OS/2).
std::string bitmap(std::uint32_t headerSize, std::int32_t width, std::int32_t height, bool withPixels)
{
    const bool os2 = headerSize == 12;
    const std::uint32_t offset = os2 ? 26 : 54;
    const int rows = height < 0 ? -height : height;
    const std::uint32_t rowBytes = (3 * std::uint32_t(width) + 3) / 4 * 4;
    std::string out = "BM";
    put(out, offset + (withPixels ? rowBytes * rows : 0), 4);
    put(out, 0, 4);
    put(out, offset, 4);
    put(out, headerSize, 4);
    put(out, std::uint32_t(width), os2 ? 2 : 4);
    put(out, std::uint32_t(height), os2 ? 2 : 4);
    put(out, 1, 2);
    put(out, 24, 2);
    if (!os2)
        for (int i = 0; i < 6; ++i)
            put(out, 0, 4);
    if (withPixels)
        out.append(rowBytes * rows, '\x40');
    return out;
}

std::string written(const std::string& name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
    return name;
}

std::string declared(const std::string& file)
{
    const auto size = readDeclaredSize(written("picture.bmp", file));
    return size ? std::to_string(size->width) + "x" + std::to_string(size->height) : "none";
}

std::string decoded(const std::string& file)
{
    auxlib::draw::Surface s;
    if (s.load(written("picture.bmp", file)) != auxlib::draw::Success)
        return "none";
    return std::to_string(s.width()) + "x" + std::to_string(s.height());
}

} // namespace

TEST(PictureHeader, BitmapSizesOfEveryHeaderSizeAreTheOnesTheReaderDecodes)
{
    for (std::uint32_t headerSize : {12u, 40u}) {
        const std::string file = bitmap(headerSize, 5, 3, true);
        EXPECT_EQ(declared(file), "5x3") << headerSize;
        EXPECT_EQ(decoded(file), "5x3") << headerSize;
    }
    EXPECT_EQ(declared(bitmap(40, 9, -7, true)), "9x7"); // rows top-down
    EXPECT_EQ(decoded(bitmap(40, 9, -7, true)), "9x7");
}

TEST(PictureHeader, HugeBitmapsDeclareTheirSizeWhateverTheirHeaderSize)
{
    EXPECT_EQ(declared(bitmap(12, 65535, 40000, false)), "65535x40000");
    EXPECT_EQ(declared(bitmap(0, 4864, 2816, false)), "4864x2816");
    EXPECT_EQ(declared(bitmap(16, 100000, 70000, false)), "100000x70000");
    // Sizes no decoder takes declare no picture; the decoder refuses them.
    EXPECT_EQ(declared(bitmap(40, 0, 5, false)), "0x0");
    EXPECT_EQ(declared(bitmap(40, -3, 5, false)), "0x0");
    EXPECT_EQ(declared("BM" + std::string(10, '\0')), "0x0"); // cut inside the header
}

// Kinds the engine does not decode declare no picture, so no caller
// decodes them for their size; an XYZ file declares its little-endian size.
TEST(PictureHeader, OnlyTheDecodedKindsDeclareASize)
{
    const std::string xyz = std::string("XYZ1") + char(0x20) + char(0x03) + char(0x58) + char(0x02) + "zlib...";
    EXPECT_EQ(declared(xyz), "800x600");
    EXPECT_EQ(declared("GIF89a" + std::string(20, '\x10')), "0x0");
    EXPECT_EQ(declared("/* XPM */\nstatic char* x[] = {\n"), "0x0");
    EXPECT_EQ(declared(std::string("\xFF\xD8\xFF\x01", 4)), "0x0") << "a JPEG whose frame cannot be found";
    EXPECT_EQ(declared(""), "0x0");
    EXPECT_FALSE(readDeclaredSize("no-such-file.png")) << "nothing when the file cannot be opened";
}

namespace {

std::string colourText(const auxlib::draw::Rgba& c)
{
    return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ","
           + std::to_string(c.a) + ")";
}

// What a load or a header read found, in one line that names what differs.
std::string factsText(bool loads, const char* kind, std::uint32_t w, std::uint32_t h, bool tooLarge, bool ownPalette,
                      const auxlib::draw::Rgba& entry0)
{
    if (!loads)
        return std::string(kind) + (tooLarge ? " refused as too large" : " refused");
    return std::string(kind) + " " + std::to_string(w) + "x" + std::to_string(h)
           + (ownPalette ? " palette " + colourText(entry0) : " no palette");
}

std::string fileKind(const std::string& bytes)
{
    return auxlib::draw::pictureFormatName(auxlib::draw::sniffPictureFormat(
        reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

// The plain way: decode the picture, then look at the surface's palette.
std::string decodedFacts(const std::string& file, const std::string& bytes, const PictureLimits& limits)
{
    auxlib::draw::Surface s;
    auxlib::draw::LoadReport report;
    const bool loads = s.load(file, limits, &report) == auxlib::draw::Success;
    const SDL_Palette* palette = loads ? s.sdl()->format->palette : nullptr;
    const bool own = report.ownPalette && palette != nullptr && palette->ncolors > 0;
    const auxlib::draw::Rgba entry0 =
        own ? auxlib::draw::Rgba{palette->colors[0].r, palette->colors[0].g, palette->colors[0].b, 255}
            : auxlib::draw::Rgba();
    return factsText(loads, fileKind(bytes).c_str(), std::uint32_t(s.width()), std::uint32_t(s.height()),
                     report.tooLarge, own, entry0);
}

std::string headerFacts(const std::string& file, const PictureLimits& limits)
{
    const PictureHeader h = readPictureHeader(file, limits);
    return factsText(h.sound(), auxlib::draw::pictureFormatName(h.format), h.width, h.height, h.tooLarge,
                     h.ownPalette, h.paletteEntry0);
}

PictureHeader headerOf(const std::string& bytes, const PictureLimits& limits = PictureLimits())
{
    return readPictureHeader(written("header-of", bytes), limits);
}

// A palette picture of w x h whose entry 0 is `zero`, the rest made up.
PngPicture palettePng(int w, int h, png_color zero)
{
    PngPicture p;
    p.width = w;
    p.height = h;
    p.colourType = PNG_COLOR_TYPE_PALETTE;
    p.palette = picturesamples::pngPalette(16, 3);
    p.palette[0] = zero;
    p.samples = picturesamples::samplesOf(w, h, 1, 8, 16);
    return p;
}

} // namespace

// Every sample, refused or loaded, reads from its header as it decodes:
// with the default limits, and with limits so tight that the bytes the
// decoded layout takes decide (a palette picture with alpha is RGBA).
TEST(PictureHeader, EverySampleReadsAsItDecodes)
{
    PictureLimits tight;
    tight.maxWidth = 16;
    tight.maxHeight = 16;
    tight.maxDecodedBytes = 95;
    int loaded = 0, refused = 0, refusedWhenTight = 0;
    for (const SamplePicture& sample : samplePictures()) {
        SCOPED_TRACE(sample.name);
        const std::string file = written(sample.name, sample.bytes);
        const std::string decoded = decodedFacts(file, sample.bytes, PictureLimits());
        EXPECT_EQ(headerFacts(file, PictureLimits()), decoded);
        const std::string decodedTight = decodedFacts(file, sample.bytes, tight);
        EXPECT_EQ(headerFacts(file, tight), decodedTight);
        (decoded.find("refused") == std::string::npos ? loaded : refused)++;
        refusedWhenTight += decodedTight.find("refused") != std::string::npos;
    }
    // The set holds both sides of every rule, not one answer.
    EXPECT_GE(loaded, 100);
    EXPECT_GE(refused, 20);
    EXPECT_GT(refusedWhenTight, refused + 20);
}

TEST(PictureHeader, PalettesAsTheSurfaceCarriesThem)
{
    // A palette PNG: its entry 0, alpha 255.
    PngPicture p = palettePng(5, 3, png_color{12, 34, 56});
    PictureHeader h = headerOf(writePng(p));
    EXPECT_TRUE(h.sound()) << h.reason;
    EXPECT_EQ(h.format, auxlib::draw::PictureFormat::Png);
    EXPECT_EQ(std::to_string(h.width) + "x" + std::to_string(h.height), "5x3");
    EXPECT_TRUE(h.ownPalette);
    EXPECT_EQ(colourText(h.paletteEntry0), "(12,34,56,255)");
    // tRNS: one fully transparent entry is a colour key and keeps the
    // palette; more than one, or any partial alpha, loads as RGBA.
    struct Case {
        std::vector<std::uint8_t> alpha;
        bool ownPalette;
    } cases[] = {{{}, true},          {{0}, true},         {{255, 255, 0}, true}, {{0, 0}, false},
                 {{255, 0, 0}, false}, {{128}, false},      {{0, 255, 254}, false}, {{255, 255, 255}, true}};
    for (const Case& c : cases) {
        p.paletteAlpha = c.alpha;
        h = headerOf(writePng(p));
        EXPECT_EQ(h.ownPalette, c.ownPalette) << c.alpha.size() << " tRNS entries";
        EXPECT_EQ(colourText(h.paletteEntry0), c.ownPalette ? "(12,34,56,255)" : "(0,0,0,0)");
    }
    // Grey's made-up palette and RGB are none.
    PngPicture grey;
    grey.width = 2;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.samples = {7, 200};
    EXPECT_FALSE(headerOf(writePng(grey)).ownPalette);
    EXPECT_EQ(colourText(headerOf(writePng(grey)).paletteEntry0), "(0,0,0,0)");

    // BMP: the entry after the header, 4 bytes a Windows entry (the fourth
    // no alpha), 3 an OS/2 one; black when no entry fits before the pixels.
    BmpPicture b;
    b.width = 3;
    b.height = 2;
    b.bits = 8;
    b.palette = {0x7F0A141E, 0x00FFFFFF};
    b.values = {0, 1, 0, 1, 1, 0};
    h = headerOf(bmpFile(b));
    EXPECT_EQ(h.format, auxlib::draw::PictureFormat::Bmp);
    EXPECT_TRUE(h.ownPalette);
    EXPECT_EQ(colourText(h.paletteEntry0), "(10,20,30,255)");
    b.headerSize = 12;
    b.palette = {0x00ABCDEF, 0x00010203};
    h = headerOf(bmpFile(b));
    EXPECT_TRUE(h.ownPalette) << h.reason;
    EXPECT_EQ(colourText(h.paletteEntry0), "(171,205,239,255)");
    b.headerSize = 40;
    b.palette.clear();
    h = headerOf(bmpFile(b));
    EXPECT_TRUE(h.ownPalette) << h.reason;
    EXPECT_EQ(colourText(h.paletteEntry0), "(0,0,0,255)");
    b.bits = 24;
    b.values.clear();
    h = headerOf(bmpFile(b));
    EXPECT_TRUE(h.sound()) << h.reason;
    EXPECT_FALSE(h.ownPalette);

    // XYZ: the first three bytes of its stream.
    std::string colours(768, '\x09');
    colours[0] = 12;
    colours[1] = 34;
    colours[2] = 56;
    h = headerOf(xyzFile(4, 2, colours, std::string(8, '\x01')));
    EXPECT_EQ(h.format, auxlib::draw::PictureFormat::Xyz);
    EXPECT_EQ(std::to_string(h.width) + "x" + std::to_string(h.height), "4x2");
    EXPECT_TRUE(h.ownPalette);
    EXPECT_EQ(colourText(h.paletteEntry0), "(12,34,56,255)");

    // JPEG: none, whatever its samples.
    JpegPicture j;
    j.width = 11;
    j.height = 6;
    j.components = 1;
    h = headerOf(jpegFile(j));
    EXPECT_EQ(h.format, auxlib::draw::PictureFormat::Jpeg);
    EXPECT_EQ(std::to_string(h.width) + "x" + std::to_string(h.height), "11x6");
    EXPECT_TRUE(h.sound()) << h.reason;
    EXPECT_FALSE(h.ownPalette);
}

// Only the header and the palette are read: pixels that would not decode
// are not seen, while what the load refuses before its pixels is refused
// with the load's own reason.
TEST(PictureHeader, RefusalsAreTheLoadersOwnAndPixelsAreNotRead)
{
    const std::string good = writePng(palettePng(5, 3, png_color{1, 2, 3}));
    // Image data damaged after a sound header: the header is still sound.
    std::string damaged = good;
    const std::size_t idat = damaged.find("IDAT");
    for (std::size_t i = idat + 6; i < idat + 12; ++i)
        damaged[i] = char(damaged[i] ^ 0x5A);
    auxlib::draw::Surface s;
    auxlib::draw::LoadReport report;
    ASSERT_NE(s.load(written("damaged.png", damaged), PictureLimits(), &report), auxlib::draw::Success);
    EXPECT_NE(report.reason.find("damaged PNG data"), std::string::npos) << report.reason;
    PictureHeader h = headerOf(damaged);
    EXPECT_TRUE(h.sound()) << h.reason;
    EXPECT_EQ(colourText(h.paletteEntry0), "(1,2,3,255)");
    // An XYZ stream holding its palette and no pixels, a run-length BMP
    // whose data stops before its end.
    h = headerOf(xyzHeader(5, 3) + deflated(std::string(768, '\x40')));
    EXPECT_TRUE(h.sound()) << h.reason;
    EXPECT_EQ(colourText(h.paletteEntry0), "(64,64,64,255)");
    BmpPicture rle;
    rle.width = 4;
    rle.height = 2;
    rle.bits = 8;
    rle.compression = 1;
    rle.palette = {0x00102030};
    rle.pixels = std::string("\x04\x00", 2);
    h = headerOf(bmpFile(rle));
    EXPECT_TRUE(h.sound()) << h.reason;
    EXPECT_EQ(colourText(h.paletteEntry0), "(16,32,48,255)");

    struct Case {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"PNG cut in its header", good.substr(0, 20), "truncated PNG file"},
        {"GIF", "GIF89a" + std::string(20, '\0'), "unsupported picture format: GIF"},
        {"BMP cut in its header", bmpFile(rle).substr(0, 30), "truncated BMP file"},
        {"BMP of 2 bits", bmpFile(BmpPicture{40, 2, 2, 2, 0, 0, {}, {}, "", {}, -1}), "unsupported BMP bit count 2"},
        {"XYZ cut in its header", xyzHeader(5, 3).substr(0, 7), "truncated XYZ file"},
        {"XYZ palette cut", xyzHeader(5, 3) + deflated(std::string(700, '\x40')), "XYZ data shorter than its picture"},
        {"XYZ of no pixels", xyzHeader(0, 3) + deflated(std::string(768, '\x40')), "picture of no pixels (0 x 3)"},
        {"JPEG without a frame", std::string("\xFF\xD8\xFF\xD9", 4), "no picture in the JPEG file"},
        {"nothing", "", "unsupported picture format: unknown"},
    };
    for (const Case& c : cases) {
        h = headerOf(c.bytes);
        EXPECT_EQ(h.reason, c.reason) << c.what;
        EXPECT_FALSE(h.ownPalette) << c.what;
    }
    EXPECT_FALSE(readPictureHeader("no-such-file.png").sound());

    // Past the limits: refused as too large, the declared size kept.
    PictureLimits limits;
    limits.maxWidth = 4;
    h = headerOf(good, limits);
    EXPECT_TRUE(h.tooLarge);
    EXPECT_EQ(h.reason, "picture too large (5 x 3)");
    EXPECT_EQ(std::to_string(h.width) + "x" + std::to_string(h.height), "5x3");
}

// What a file declares never sizes a read: a chunk that claims 2 GiB before
// the image data, a BMP that claims four billion colours, an XYZ stream that
// would inflate to far more than its palette.
TEST(PictureHeader, ReadsStayWithinTheFileWhateverItDeclares)
{
    std::string png = writePng(palettePng(2, 2, png_color{9, 8, 7}));
    const std::size_t idat = png.find("IDAT") - 4;
    std::string huge = png.substr(0, idat) + std::string("\x7F\xFF\xFF\xFFzzZz", 8) + "tail";
    PictureHeader h = headerOf(huge);
    EXPECT_FALSE(h.sound());
    auxlib::draw::Surface s;
    auxlib::draw::LoadReport report;
    EXPECT_NE(s.load(written("huge-chunk.png", huge), PictureLimits(), &report), auxlib::draw::Success);
    EXPECT_EQ(report.reason.substr(0, h.reason.size()), h.reason) << "the load's own reason";

    BmpPicture b;
    b.width = 2;
    b.height = 2;
    b.bits = 4;
    b.colourCount = 0xFFFFFFFFu;
    b.palette = {0x00050607, 0x00FFFFFF};
    h = headerOf(bmpFile(b));
    EXPECT_TRUE(h.sound()) << h.reason;
    EXPECT_EQ(colourText(h.paletteEntry0), "(5,6,7,255)");

    h = headerOf(xyzHeader(2, 2) + deflated(std::string(768, '\x21') + std::string(50u << 20, '\x02')));
    EXPECT_TRUE(h.sound()) << h.reason << ": 50 MiB too many, not inflated";
    EXPECT_EQ(colourText(h.paletteEntry0), "(33,33,33,255)");
}

// Each reader's header read leaves the stream where it found it, sound or
// refused, so the load that follows starts from the same place.
TEST(PictureHeader, EachReaderPutsTheStreamBack)
{
    const std::string lead = "lead";
    JpegPicture j;
    j.width = 3;
    j.height = 2;
    BmpPicture b;
    b.bits = 8;
    b.palette = {0x00112233};
    const std::string files[] = {writePng(palettePng(2, 2, png_color{9, 8, 7})), bmpFile(b),
                                 xyzFile(1, 1, std::string(768, '\x05'), std::string(1, '\0')), jpegFile(j)};
    for (int cut : {0, 12}) {
        for (int kind = 0; kind < 4; ++kind) {
            SCOPED_TRACE(std::to_string(kind) + (cut != 0 ? " cut" : ""));
            const std::string file = files[kind];
            const std::string bytes = lead + (cut != 0 ? file.substr(0, std::size_t(cut)) : file);
            SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
            ASSERT_NE(rw, nullptr);
            SDL_RWseek(rw, int(lead.size()), RW_SEEK_SET);
            const PictureHeader h = kind == 0   ? auxlib::draw::readPngHeader(rw)
                                    : kind == 1 ? auxlib::draw::readBmpHeader(rw)
                                    : kind == 2 ? auxlib::draw::readXyzHeader(rw)
                                                : auxlib::draw::readJpegHeader(rw);
            EXPECT_EQ(h.sound(), cut == 0) << h.reason;
            EXPECT_EQ(SDL_RWtell(rw), int(lead.size()));
            SDL_RWclose(rw);
        }
    }
}
