// The older editor's XYZ pictures: worked bytes written here with zlib, and
// every malformed form refused before or while inflating.
#include "auxlib/draw/Surface.h"
#include "auxlib/draw/XyzLoader.h"
#include "PngMaker.h"
#include "StderrCapture.h"
#include "XyzMaker.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <string>

using namespace auxlib::draw;

namespace {

std::string flippedLast(std::string bytes)
{
    bytes.back() = char(bytes.back() ^ 0xFF);
    return bytes;
}

// 256 colours: entry i is (i, 255 - i, i * 7 mod 256), entry 0 (0, 255, 0).
std::string palette()
{
    std::string out;
    for (int i = 0; i < 256; ++i) {
        out += char(i);
        out += char(255 - i);
        out += char((i * 7) & 0xFF);
    }
    return out;
}

// The worked picture: 3 x 2, indices 0 1 2 / 200 201 255.
const std::string pixels3x2 = std::string("\x00\x01\x02\xC8\xC9\xFF", 6);

std::string xyz3x2() { return xyzHeader(3, 2) + deflated(palette() + pixels3x2); }

XyzLoad load(const std::string& file, const PictureLimits& limits = PictureLimits())
{
    StderrCapture capture;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    XyzLoad result = loadXyz(rw, limits);
    if (result.surface == nullptr) {
        EXPECT_EQ(SDL_RWtell(rw), 0) << "put back on failure";
    }
    SDL_RWclose(rw);
    EXPECT_EQ(capture.text(), "");
    return result;
}

std::string written(const std::string& name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
    return name;
}

} // namespace

TEST(XyzLoader, AThreeByTwoPictureBecomesAPaletteSurface)
{
    const std::string file = xyz3x2();
    XyzLoad r = load(file);
    ASSERT_NE(r.surface, nullptr) << r.reason;
    const SDL_Surface* s = r.surface;
    EXPECT_EQ(s->w, 3);
    EXPECT_EQ(s->h, 2);
    ASSERT_EQ(s->format->BitsPerPixel, 8);
    ASSERT_NE(s->format->palette, nullptr);
    EXPECT_EQ(s->format->palette->ncolors, 256);
    EXPECT_EQ(s->flags & SDL_SRCCOLORKEY, 0u) << "no key of its own";
    const auto* px = static_cast<const Uint8*>(s->pixels);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[2], 2);
    EXPECT_EQ(px[s->pitch + 0], 200);
    EXPECT_EQ(px[s->pitch + 2], 255);
    const SDL_Color& c = s->format->palette->colors[201];
    EXPECT_EQ(c.r, 201);
    EXPECT_EQ(c.g, 54);
    EXPECT_EQ(c.b, (201 * 7) & 0xFF);
    SDL_FreeSurface(r.surface);

    // Through the picture, as a palette PNG: its own palette, entry 0 read
    // as the colour the key takes.
    Surface picture;
    LoadReport report;
    ASSERT_EQ(picture.load(written("World.xyz", file), PictureLimits(), &report), 0) << report.reason;
    EXPECT_TRUE(report.ownPalette);
    Rgba top;
    picture.getPixel(top, 0, 0);
    EXPECT_EQ(top, (Rgba{0, 255, 0, 255}));
    picture.getPixel(top, 2, 1);
    EXPECT_EQ(top, (Rgba{255, 0, (255 * 7) & 0xFF, 255}));
}

TEST(XyzLoader, EveryMalformedFormIsRefused)
{
    const std::string whole = palette() + pixels3x2;
    struct Bad {
        const char* why;
        std::string file;
        const char* reason;
    } cases[] = {
        {"short header", "XYZ1\x03\x00\x02", "truncated XYZ file"},
        {"no signature", "XYZ2" + xyzHeader(3, 2).substr(4), "not an XYZ file"},
        {"zero width", xyzHeader(0, 2) + deflated(palette()), "picture of no pixels (0 x 2)"},
        {"zero height", xyzHeader(3, 0) + deflated(palette()), "picture of no pixels (3 x 0)"},
        {"short stream", xyzHeader(3, 2) + deflated(whole.substr(0, whole.size() - 1)),
         "XYZ data shorter than its picture"},
        {"palette only", xyzHeader(3, 2) + deflated(palette()), "XYZ data shorter than its picture"},
        {"long stream", xyzHeader(3, 2) + deflated(whole + "\x07"), "XYZ data longer than its picture"},
        {"bad zlib", xyzHeader(3, 2) + "\x78\x9C\xFF\xFF\xFF\xFF\xFF\xFF", "damaged XYZ data"},
        {"bad checksum", xyzHeader(3, 2) + flippedLast(deflated(whole)), "damaged XYZ data"},
        {"cut stream", xyzHeader(3, 2) + deflated(whole).substr(0, 40), "truncated XYZ file"},
        {"no stream", xyzHeader(3, 2), "truncated XYZ file"},
    };
    for (const Bad& c : cases) {
        XyzLoad r = load(c.file);
        EXPECT_EQ(r.surface, nullptr) << c.why;
        EXPECT_EQ(r.reason, c.reason) << c.why;
        EXPECT_FALSE(r.tooLarge) << c.why;
    }
    // Bytes after the stream are no part of it.
    XyzLoad r = load(xyz3x2() + "trailing");
    EXPECT_NE(r.surface, nullptr) << r.reason;
    SDL_FreeSurface(r.surface);
}

// The declared size is refused before anything is inflated: a stream
// promising a huge picture is never read.
TEST(XyzLoader, ASizePastTheLimitsIsRefusedBeforeInflating)
{
    PictureLimits limits;
    limits.maxWidth = 8191;
    limits.maxHeight = 16383;
    XyzLoad r = load(xyzHeader(8192, 5) + "not even zlib", limits);
    EXPECT_TRUE(r.tooLarge);
    EXPECT_EQ(r.width, 8192u);
    EXPECT_EQ(r.height, 5u);
    EXPECT_EQ(r.reason, "picture too large (8192 x 5)");
    limits.maxDecodedBytes = 1000;
    EXPECT_TRUE(load(xyzHeader(100, 11) + "not even zlib", limits).tooLarge);
    EXPECT_EQ(load(xyzHeader(100, 10) + "not even zlib", limits).reason, "damaged XYZ data");

    Surface picture;
    LoadReport report;
    EXPECT_NE(picture.load(written("big.xyz", xyzHeader(65535, 65535)), limits, &report), 0);
    EXPECT_TRUE(report.tooLarge);
    EXPECT_EQ(report.declaredWidth, 65535u);
}

// The kind comes from the bytes: a PNG named .xyz is read as PNG, an XYZ
// named .png as XYZ.
TEST(XyzLoader, TheKindIsTakenFromTheBytesNotTheName)
{
    PngPicture png;
    png.width = 2;
    png.height = 1;
    png.samples = {10, 20, 30, 40, 50, 60};
    Surface a;
    LoadReport report;
    ASSERT_EQ(a.load(written("really-png.xyz", writePng(png)), PictureLimits(), &report), 0) << report.reason;
    Rgba c;
    a.getPixel(c, 1, 0);
    EXPECT_EQ(c, (Rgba{40, 50, 60, 255}));
    EXPECT_FALSE(report.ownPalette);

    Surface b;
    ASSERT_EQ(b.load(written("really-xyz.png", xyz3x2()), PictureLimits(), &report), 0) << report.reason;
    EXPECT_TRUE(report.ownPalette);
    b.getPixel(c, 1, 0);
    EXPECT_EQ(c, (Rgba{1, 254, 7, 255}));
}
