// The engine's BMP reader: the surfaces SDL_image 1.2 made of well-formed
// files, and every header field checked before anything is allocated.
#include "auxlib/draw/BmpLoader.h"
#include "BmpMaker.h"
#include "StderrCapture.h"
#include "SurfaceCompare.h"

#include "SdlImageReference.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace auxlib::draw;

namespace {

BmpLoad load(const std::string& file, const PictureLimits& limits = PictureLimits())
{
    StderrCapture capture;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    SDL_RWseek(rw, 0, RW_SEEK_SET);
    BmpLoad result = loadBmp(rw, limits);
    EXPECT_EQ(SDL_RWtell(rw), result.surface != nullptr ? SDL_RWtell(rw) : 0) << "put back on failure";
    SDL_RWclose(rw);
    EXPECT_EQ(capture.text(), "");
    return result;
}

SurfacePtr sdlImage(const std::string& file)
{
    return SurfacePtr(IMG_LoadBMP_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()))));
}

std::vector<std::uint32_t> greys(int n)
{
    std::vector<std::uint32_t> out;
    for (int i = 0; i < n; ++i)
        out.push_back(std::uint32_t(0x102030 + i * 0x010101));
    return out;
}

struct Case {
    const char* name;
    BmpPicture picture;
    int paletteEntries;
};

// Odd sizes so that every row has padding and every byte of a packed row
// is partly used.
std::vector<Case> wellFormed()
{
    std::vector<Case> cases;
    auto add = [&](const char* name, BmpPicture p) {
        const int entries = int(p.palette.size());
        cases.push_back({name, p, entries});
    };
    BmpPicture p;
    p.width = 13;
    p.height = 5;
    for (int bits : {1, 4, 8}) {
        p.bits = bits;
        p.palette = greys(1 << bits);
        add(bits == 1 ? "1-bit" : bits == 4 ? "4-bit" : "8-bit", p);
    }
    p.bits = 8;
    p.palette = greys(20);
    p.colourCount = 20;
    p.values.clear();
    for (int i = 0; i < 13 * 5; ++i)
        p.values.push_back(std::uint32_t(i % 20));
    add("8-bit, 20 colours", p);
    p.colourCount = 0;
    p.values.clear();
    p.palette.clear();
    for (int bits : {16, 24, 32}) {
        p.bits = bits;
        add(bits == 16 ? "16-bit" : bits == 24 ? "24-bit" : "32-bit", p);
    }
    p.bits = 24;
    p.height = -5;
    add("24-bit top-down", p);
    p.bits = 8;
    p.palette = greys(256);
    add("8-bit top-down", p);
    p.height = 5;
    p.palette.clear();
    p.bits = 16;
    p.compression = 3;
    p.masks = {0xF800, 0x07E0, 0x001F};
    add("16-bit 5-6-5 bit fields", p);
    p.bits = 32;
    p.headerSize = 124;
    p.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    add("32-bit V5 with alpha", p);
    p.compression = 0;
    p.masks.clear();
    add("32-bit V5 plain", p);
    p.headerSize = 12;
    p.bits = 8;
    p.palette = greys(256);
    add("OS/2 8-bit", p);
    p.bits = 24;
    p.palette.clear();
    add("OS/2 24-bit", p);
    p.bits = 4;
    p.palette = greys(16);
    add("OS/2 4-bit", p);
    return cases;
}

} // namespace

TEST(BmpLoader, WellFormedFilesGiveTheSurfacesSdlImageGave)
{
    NEEDS_SDL_IMAGE();
    for (const Case& c : wellFormed()) {
        SCOPED_TRACE(c.name);
        const std::string file = bmpFile(c.picture);
        BmpLoad mine = load(file);
        SurfacePtr theirs = sdlImage(file);
        ASSERT_NE(theirs, nullptr) << IMG_GetError();
        ASSERT_NE(mine.surface, nullptr) << mine.reason;
        SurfacePtr owned(mine.surface);
        EXPECT_TRUE(sameSurface(mine.surface, theirs.get(), c.paletteEntries));
        EXPECT_EQ(mine.filePalette, c.picture.bits <= 8);
        EXPECT_EQ(mine.reason, "");
    }
}

// 8 x 4 pictures in RLE8 and RLE4: runs, literal runs with their padding,
// an end of row, a move, the end-of-picture escape.
// Three masks follow a 40-byte header; SDL_image took a fourth, for alpha,
// from whatever came next (the first pixels). A 32-bit picture with bit
// fields keeps alpha only where its header has room for the mask.
TEST(BmpLoader, AlphaOfBitFieldsComesFromTheHeaderOnly)
{
    BmpPicture p;
    p.width = 3;
    p.height = 2;
    p.bits = 32;
    p.compression = 3;
    p.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    p.values = {0x80102030, 0x80405060, 0x80708090, 0x80A0B0C0, 0x80D0E0F0, 0x80010203};
    BmpLoad r = load(bmpFile(p));
    ASSERT_NE(r.surface, nullptr) << r.reason;
    SurfacePtr owned(r.surface);
    EXPECT_EQ(r.surface->format->Amask, 0u);
    EXPECT_EQ(r.surface->format->Rmask, 0x00FF0000u);
    p.headerSize = 56;
    p.masks = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};
    BmpLoad v3 = load(bmpFile(p));
    ASSERT_NE(v3.surface, nullptr) << v3.reason;
    SurfacePtr owned3(v3.surface);
    EXPECT_EQ(v3.surface->format->Amask, 0x000000FFu);
    Uint8 red, green, blue, alpha;
    const Uint32 first = static_cast<const Uint32*>(v3.surface->pixels)[0];
    SDL_GetRGBA(first, v3.surface->format, &red, &green, &blue, &alpha);
    EXPECT_EQ(red, 0x20);
    EXPECT_EQ(green, 0x10);
    EXPECT_EQ(blue, 0x80);
    EXPECT_EQ(alpha, 0x30);
}

TEST(BmpLoader, RunLengthPicturesGiveTheSurfacesSdlImageGave)
{
    NEEDS_SDL_IMAGE();
    auto bytes = [](std::initializer_list<int> v) {
        std::string out;
        for (int b : v)
            out += char(b);
        return out;
    };
    BmpPicture p;
    p.width = 8;
    p.height = 4;
    p.bits = 8;
    p.compression = 1;
    p.palette = greys(256);
    p.pixels = bytes({3, 7, 0, 3, 1, 2, 3, 0, 2, 9, 0, 0, // row 0: run, literal of 3 (padded), run
                      0, 2, 2, 1,                         // move 2 right, 1 up: to row 2, x 2
                      4, 5, 0, 0,                         // run at x 2..5, end of row
                      0, 5, 9, 8, 7, 6, 5, 0,             // row 3: literal of 5, padded
                      0, 1});
    const std::string rle8 = bmpFile(p);
    p.bits = 4;
    p.compression = 2;
    p.palette = greys(16);
    p.pixels = bytes({5, 0x12, 0, 0,          // row 0: 1 2 1 2 1
                      0, 3, 0x34, 0x50, 0, 0, // row 1: literal 3 4 5 (two bytes, even)
                      0, 5, 0x67, 0x89, 0xA0, 0, 0, 0, // row 2: literal of 5 in three bytes, padded
                      8, 0xFE, 0, 1});
    const std::string rle4 = bmpFile(p);
    for (const std::string* file : {&rle8, &rle4}) {
        BmpLoad mine = load(*file);
        SurfacePtr theirs = sdlImage(*file);
        ASSERT_NE(theirs, nullptr) << IMG_GetError();
        ASSERT_NE(mine.surface, nullptr) << mine.reason;
        SurfacePtr owned(mine.surface);
        EXPECT_TRUE(sameSurface(mine.surface, theirs.get(), 16));
    }
    // The worked pixels of the RLE8 picture, bottom row first in the file.
    BmpLoad again = load(rle8);
    SurfacePtr owned(again.surface);
    ASSERT_NE(again.surface, nullptr);
    auto at = [&](int x, int y) { return static_cast<const Uint8*>(again.surface->pixels)[y * again.surface->pitch + x]; };
    const int bottom[8] = {7, 7, 7, 1, 2, 3, 9, 9};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(at(x, 3), bottom[x]) << x;
    EXPECT_EQ(at(1, 1), 0);
    EXPECT_EQ(at(2, 1), 5);
    EXPECT_EQ(at(5, 1), 5);
    EXPECT_EQ(at(6, 1), 0);
    EXPECT_EQ(at(4, 0), 5);
}

// Runs past a row's end, moves past the last row and rows past the top are
// cut where the picture ends; nothing lands outside it (the sanitizer build
// sees every write).
TEST(BmpLoader, RunLengthDataNeverWritesOutsideThePicture)
{
    BmpPicture p;
    p.width = 3;
    p.height = 2;
    p.bits = 8;
    p.compression = 1;
    p.palette = greys(256);
    std::string data;
    data += std::string("\xFF\x05", 2);                     // a run of 255 in a row of 3
    data += std::string("\x00\x02\xFF\xFF", 4);             // a move far past the corner
    data += std::string("\x00\x00\x00\x00\x00\x00", 6);     // rows past the top
    data += std::string("\x00\xFE", 2) + std::string(254, '\x06'); // a long literal up there
    data += std::string("\x00\x01", 2);
    p.pixels = data;
    BmpLoad r = load(bmpFile(p));
    ASSERT_NE(r.surface, nullptr) << r.reason;
    SurfacePtr owned(r.surface);
    const auto* px = static_cast<const Uint8*>(r.surface->pixels);
    EXPECT_EQ(px[r.surface->pitch + 0], 5);
    EXPECT_EQ(px[r.surface->pitch + 2], 5);
    EXPECT_EQ(px[0], 0) << "the top row is untouched";

    // Without its end-of-picture escape the data is cut short: refused, as
    // SDL_image refused it.
    p.pixels = std::string("\x03\x05\x00\x00", 4);
    EXPECT_EQ(load(bmpFile(p)).reason, "truncated BMP file");
    EXPECT_EQ(sdlImage(bmpFile(p)), nullptr);
}

TEST(BmpLoader, EveryBadHeaderFieldIsRefusedBeforeAnythingIsAllocated)
{
    BmpPicture good;
    good.width = 6;
    good.height = 3;
    struct Bad {
        const char* why;
        BmpPicture picture;
        const char* reason;
    };
    std::vector<Bad> cases;
    auto with = [&](const char* why, auto change, const char* reason) {
        BmpPicture p = good;
        change(p);
        cases.push_back({why, p, reason});
    };
    with("bit count 0", [](BmpPicture& p) { p.bits = 0; p.pixels = "x"; }, "unsupported BMP bit count 0");
    with("bit count 8193", [](BmpPicture& p) { p.bits = 0x2001; p.pixels = std::string(60, '\0'); },
         "unsupported BMP bit count 8193");
    with("bit count 2", [](BmpPicture& p) { p.bits = 2; p.pixels = std::string(12, '\0'); },
         "unsupported BMP bit count 2");
    with("header size 16", [](BmpPicture& p) { p.headerSize = 16; }, "unsupported BMP header size 16");
    with("header size 0", [](BmpPicture& p) { p.headerSize = 0; }, "unsupported BMP header size 0");
    with("width 0", [](BmpPicture& p) { p.width = 0; p.pixels = "x"; }, "bad BMP size (0 x 3)");
    with("negative width", [](BmpPicture& p) { p.width = -6; p.pixels = "x"; }, "bad BMP size (-6 x 3)");
    with("JPEG inside", [](BmpPicture& p) { p.compression = 4; }, "unsupported BMP compression 4 for 24 bits");
    with("RLE8 on 24 bits", [](BmpPicture& p) { p.compression = 1; }, "unsupported BMP compression 1 for 24 bits");
    with("RLE4 on 8 bits", [](BmpPicture& p) { p.bits = 8; p.compression = 2; p.pixels = "x"; },
         "unsupported BMP compression 2 for 8 bits");
    with("bit fields on 24 bits", [](BmpPicture& p) { p.compression = 3; p.masks = {0xFF, 0xFF00, 0xFF0000}; },
         "unsupported BMP compression 3 for 24 bits");
    with("top-down RLE", [](BmpPicture& p) { p.bits = 8; p.compression = 1; p.height = -3; p.pixels = "\x00\x01"; },
         "run-length BMP stored top-down");
    with("overlapping masks", [](BmpPicture& p) { p.bits = 32; p.compression = 3; p.masks = {0xFF00, 0xFF00, 0xFF}; },
         "unusable BMP colour masks");
    with("mask outside a 16-bit pixel",
         [](BmpPicture& p) { p.bits = 16; p.compression = 3; p.masks = {0x1F0000, 0x7E0, 0x1F}; },
         "unusable BMP colour masks");
    with("scattered mask", [](BmpPicture& p) { p.bits = 16; p.compression = 3; p.masks = {0xF00F, 0x7E0, 0x1F0}; },
         "unusable BMP colour masks");
    with("no green", [](BmpPicture& p) { p.bits = 16; p.compression = 3; p.masks = {0xF800, 0, 0x1F}; },
         "unusable BMP colour masks");
    with("pixels inside the header", [](BmpPicture& p) { p.pixelOffset = 50; }, "BMP pixels overlap its header");
    with("pixels past the end", [](BmpPicture& p) { p.pixelOffset = 5000; p.pixels = "x"; }, "truncated BMP file");
    with("a row short", [](BmpPicture& p) { p.pixels = bmpRows(p).substr(0, 20 * 2 + 17); }, "truncated BMP file");
    for (const Bad& c : cases) {
        BmpLoad r = load(bmpFile(c.picture));
        EXPECT_EQ(r.surface, nullptr) << c.why;
        EXPECT_EQ(r.reason, c.reason) << c.why;
        EXPECT_FALSE(r.tooLarge) << c.why;
    }
    // The last row's padding may be missing, as SDL_image let it.
    BmpPicture unpadded = good;
    unpadded.pixels = bmpRows(good).substr(0, 20 * 2 + 18);
    BmpLoad r = load(bmpFile(unpadded));
    EXPECT_NE(r.surface, nullptr) << r.reason;
    SDL_FreeSurface(r.surface);

    EXPECT_EQ(load("").reason, "not a BMP file");
    EXPECT_EQ(load("BM").reason, "truncated BMP file");
    EXPECT_EQ(load(bmpFile(good).substr(0, 40)).reason, "truncated BMP file");
    EXPECT_EQ(load("\x89PNG").reason, "not a BMP file");
}

// A header asking for a picture past the limits is refused with its size
// before any pixel memory, whatever the file holds after it.
TEST(BmpLoader, DeclaredSizePastTheLimitsIsRefusedUnread)
{
    BmpPicture p;
    p.width = 20000;
    p.height = 30000;
    p.pixels = "x";
    PictureLimits limits;
    limits.maxWidth = 8191;
    limits.maxHeight = 16383;
    BmpLoad r = load(bmpFile(p), limits);
    EXPECT_EQ(r.surface, nullptr);
    EXPECT_TRUE(r.tooLarge);
    EXPECT_EQ(r.width, 20000u);
    EXPECT_EQ(r.height, 30000u);
    EXPECT_EQ(r.reason, "picture too large (20000 x 30000)") << "before the pixels are looked for";

    p.width = 8192;
    p.height = 2;
    p.pixels.clear();
    r = load(bmpFile(p), limits);
    EXPECT_TRUE(r.tooLarge);
    EXPECT_EQ(r.reason, "picture too large (8192 x 2)");
    // The bytes count too: 8 bits a pixel fit where 32 do not.
    limits.maxDecodedBytes = 100 * 4 - 1;
    p.width = 10;
    p.height = 10;
    p.bits = 32;
    EXPECT_TRUE(load(bmpFile(p), limits).tooLarge);
    p.bits = 8;
    p.palette = greys(256);
    r = load(bmpFile(p), limits);
    EXPECT_NE(r.surface, nullptr) << r.reason;
    SDL_FreeSurface(r.surface);

    // The header alone tells the size.
    const std::string big = bmpFile(BmpPicture{40, 5000, -7000, 24, 0, 0, {}, {}, "x", {}, -1});
    SDL_RWops* rw = SDL_RWFromConstMem(big.data(), int(big.size()));
    const auxlib::draw::PictureHeader head = readBmpHeader(rw);
    EXPECT_EQ(head.width, 5000u);
    EXPECT_EQ(head.height, 7000u);
    EXPECT_EQ(SDL_RWtell(rw), 0);
    SDL_RWclose(rw);
}
