#include "auxlib/draw/PngLoader.h"
#include "PngMaker.h"
#include "StderrCapture.h"
#if !defined(_WIN32)
#  include "engine/FailingCreate.h"
#endif

#include "SdlImageReference.h"
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace auxlib::draw;

namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// The new loader on bytes in memory; nothing may reach standard error.
PngLoad load(const std::string& file, const PictureLimits& limits = PictureLimits())
{
    StderrCapture capture;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    PngLoad result = loadPng(rw, limits);
    SDL_RWclose(rw);
    EXPECT_EQ(capture.text(), "");
    return result;
}

SurfacePtr sdlImageLoad(const std::string& file)
{
    StderrCapture quiet; // SDL_image lets libpng print its warnings
    return SurfacePtr(IMG_Load_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())), 1));
}

Uint32 rawPixel(const SDL_Surface* s, int x, int y)
{
    Uint32 v = 0;
    const int n = s->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * n;
    for (int i = 0; i < n; ++i)
        v |= Uint32(p[i]) << (8 * i);
    return v;
}

// Everything of a surface that a reader of it can tell apart.
std::string describe(const SDL_Surface* s)
{
    if (s == nullptr)
        return "no surface";
    const SDL_PixelFormat* f = s->format;
    std::ostringstream out;
    out << std::dec << s->w << " x " << s->h << ", " << int(f->BitsPerPixel) << " bits, pitch " << s->pitch
        << std::hex << ", masks " << f->Rmask << " " << f->Gmask << " " << f->Bmask << " " << f->Amask << ", flags "
        << s->flags << ", key " << f->colorkey << ", alpha " << int(f->alpha);
    if (f->palette != nullptr) {
        // All 256 entries count: indices past the file's palette read them.
        const SDL_Color* c = f->palette->colors;
        int ramp = 0;
        while (ramp < 256 && c[ramp].r == ramp && c[ramp].g == ramp && c[ramp].b == ramp)
            ++ramp;
        out << std::dec << ", " << f->palette->ncolors << " colours, " << ramp << " of a grey ramp, then:" << std::hex;
        for (int i = ramp; i < 256; ++i)
            out << " " << int(c[i].r) << "," << int(c[i].g) << "," << int(c[i].b);
    }
    for (int y = 0; y < s->h; ++y) {
        out << "\n";
        for (int x = 0; x < s->w; ++x)
            out << " " << rawPixel(s, x, y);
    }
    return out.str();
}

// A pixel as a reader of the surface sees it, the colour key included.
std::array<int, 4> rgbaAt(const SDL_Surface* s, int x, int y)
{
    const Uint32 v = rawPixel(s, x, y);
    Uint8 r, g, b, a;
    SDL_GetRGBA(v, s->format, &r, &g, &b, &a);
    if ((s->flags & SDL_SRCCOLORKEY) != 0 && v == s->format->colorkey)
        a = 0;
    return {r, g, b, a};
}

// libpng's simplified reader: an independent decoder of the same file.
::testing::AssertionResult sameRgbaAsSimplifiedReader(const SDL_Surface* s, const std::string& file)
{
    const std::vector<png_byte> want = rgbaOfPng(file);
    if (want.size() != std::size_t(s->w) * s->h * 4)
        return ::testing::AssertionFailure() << "the simplified reader refused the file";
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            const png_byte* p = &want[(std::size_t(y) * s->w + x) * 4];
            const std::array<int, 4> w{p[0], p[1], p[2], p[3]}, got = rgbaAt(s, x, y);
            if (got != w)
                return ::testing::AssertionFailure() << "at " << x << "," << y << ": (" << got[0] << "," << got[1]
                                                     << "," << got[2] << "," << got[3] << ") instead of (" << w[0]
                                                     << "," << w[1] << "," << w[2] << "," << w[3] << ")";
        }
    return ::testing::AssertionSuccess();
}

// Samples that differ along both axes and across channels; palette pictures
// use every entry of a palette of `levels` colours.
PngPicture picture(int colourType, int bitDepth, int width, int height, bool interlaced, int levels = 0)
{
    PngPicture p;
    p.width = width;
    p.height = height;
    p.colourType = colourType;
    p.bitDepth = bitDepth;
    p.interlaced = interlaced;
    if (levels == 0)
        levels = 1 << bitDepth;
    const int count = width * height * pngChannels(colourType);
    for (int i = 0; i < count; ++i)
        p.samples.push_back(bitDepth == 16 ? std::uint16_t(i * 40503u + 4711u)
                                           : std::uint16_t((i * 5 + i / 3) % levels));
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        for (int i = 0; i < levels; ++i)
            p.palette.push_back(png_color{png_byte(i * 37 + 11), png_byte(255 - i * 3), png_byte(i * i)});
    return p;
}

std::string describeKind(const PngPicture& p)
{
    std::ostringstream out;
    out << "colour type " << p.colourType << ", " << p.bitDepth << " bits, " << p.width << " x " << p.height
        << (p.interlaced ? ", interlaced" : "") << ", " << p.palette.size() << " palette entries, "
        << p.paletteAlpha.size() << " tRNS entries" << (p.hasTransparentColour ? ", transparent colour" : "");
    return out.str();
}

// Every kind of picture SDL_image reads right.
std::vector<PngPicture> kindsSdlImageReadsRight()
{
    std::vector<PngPicture> kinds;
    for (bool interlaced : {false, true}) {
        for (int depth : {1, 2, 4, 8, 16})
            kinds.push_back(picture(PNG_COLOR_TYPE_GRAY, depth, 7, 5, interlaced));
        for (int depth : {8, 16}) {
            kinds.push_back(picture(PNG_COLOR_TYPE_RGB, depth, 13, 3, interlaced));
            kinds.push_back(picture(PNG_COLOR_TYPE_GRAY_ALPHA, depth, 7, 5, interlaced));
            kinds.push_back(picture(PNG_COLOR_TYPE_RGB_ALPHA, depth, 13, 3, interlaced));
        }
        PngPicture keyed = picture(PNG_COLOR_TYPE_RGB, 8, 7, 5, interlaced);
        keyed.hasTransparentColour = true;
        keyed.transparentColour.red = keyed.samples[9];
        keyed.transparentColour.green = keyed.samples[10];
        keyed.transparentColour.blue = keyed.samples[11];
        kinds.push_back(keyed);

        const std::vector<std::vector<std::uint8_t>> alphas = {
            {}, {0}, {255}, {128}, {255, 0}, {0, 0}, {255, 0, 0}, {255, 255, 255}, {255, 255, 40, 255}};
        const std::vector<std::vector<int>> paletteSizes = {{1, 2}, {1, 3, 4}, {1, 9, 16}, {1, 129, 256}};
        for (int depth : {1, 2, 4, 8}) {
            for (int levels : paletteSizes[depth == 8 ? 3 : depth / 2]) {
                for (const auto& alpha : alphas) {
                    if (alpha.size() > std::size_t(levels))
                        continue;
                    PngPicture p = picture(PNG_COLOR_TYPE_PALETTE, depth, depth == 8 ? 29 : 13, 9, interlaced, levels);
                    p.paletteAlpha = alpha;
                    kinds.push_back(p);
                }
                // The one transparent entry last of a full-length tRNS.
                PngPicture last = picture(PNG_COLOR_TYPE_PALETTE, depth, 13, 3, interlaced, levels);
                last.paletteAlpha.assign(std::size_t(levels), 255);
                last.paletteAlpha.back() = 0;
                kinds.push_back(last);
            }
        }
    }
    return kinds;
}

// Signature, IHDR of a grey 8-bit picture, then `middle`, then IEND.
std::string handMade(std::uint32_t width, std::uint32_t height, const std::string& middle)
{
    std::string file("\x89PNG\r\n\x1a\n", 8), header;
    appendBigEndian32(header, width);
    appendBigEndian32(header, height);
    header += std::string("\x08\x00\x00\x00\x00", 5);
    appendChunk(file, "IHDR", header);
    file += middle;
    appendChunk(file, "IEND", "");
    return file;
}

std::string withChunkAfterHeader(const std::string& file, const char* type, const std::string& data)
{
    std::string chunk;
    appendChunk(chunk, type, data);
    return file.substr(0, 33) + chunk + file.substr(33);
}

// Where the first chunk of a type starts in a well-formed file.
std::size_t chunkOffset(const std::string& file, const char* type)
{
    for (std::size_t at = 8; at + 8 <= file.size();) {
        const std::size_t length = std::size_t(png_byte(file[at])) << 24 | std::size_t(png_byte(file[at + 1])) << 16
                                   | std::size_t(png_byte(file[at + 2])) << 8 | png_byte(file[at + 3]);
        if (file.compare(at + 4, 4, type) == 0)
            return at;
        at += 12 + length;
    }
    return std::string::npos;
}

} // namespace

TEST(PngLoaderMatchesSdlImage, EveryColourTypeDepthPaletteAndInterlacing)
{
    NEEDS_SDL_IMAGE();
    for (const PngPicture& kind : kindsSdlImageReadsRight()) {
        const std::string file = writePng(kind);
        ASSERT_FALSE(file.empty()) << describeKind(kind);
        SurfacePtr old = sdlImageLoad(file);
        ASSERT_NE(old, nullptr) << describeKind(kind);
        PngLoad loaded = load(file);
        SurfacePtr mine(loaded.surface);
        ASSERT_NE(mine, nullptr) << describeKind(kind) << ": " << loaded.reason;
        EXPECT_EQ(describe(mine.get()), describe(old.get())) << describeKind(kind);
        EXPECT_EQ(loaded.filePalette, kind.colourType == PNG_COLOR_TYPE_PALETTE);
        EXPECT_EQ(loaded.messages, "");
        EXPECT_EQ(loaded.reason, "");
        // The simplified reader takes 16-bit samples for linear light and
        // re-encodes them, so it checks the smaller depths only.
        if (kind.bitDepth <= 8) {
            EXPECT_TRUE(sameRgbaAsSimplifiedReader(mine.get(), file)) << describeKind(kind);
        }
    }
}

TEST(PngLoaderMatchesSdlImage, PaletteIndicesPastThePaletteReadBlack)
{
    NEEDS_SDL_IMAGE();
    PngPicture p = picture(PNG_COLOR_TYPE_PALETTE, 4, 5, 1, false, 3);
    p.samples = {0, 2, 3, 15, 1};
    const std::string file = writePng(p);
    PngLoad loaded = load(file);
    SurfacePtr mine(loaded.surface);
    ASSERT_NE(mine, nullptr);
    SurfacePtr old = sdlImageLoad(file);
    EXPECT_EQ(describe(mine.get()), describe(old.get()));
    EXPECT_EQ(mine->format->palette->ncolors, 3);
    EXPECT_EQ(rawPixel(mine.get(), 3, 0), 15u);
    EXPECT_EQ(rgbaAt(mine.get(), 2, 0), (std::array<int, 4>{0, 0, 0, 255}));
    EXPECT_EQ(rgbaAt(mine.get(), 3, 0), (std::array<int, 4>{0, 0, 0, 255}));
    EXPECT_EQ(rgbaAt(mine.get(), 1, 0), (std::array<int, 4>{85, 249, 4, 255}));
}

// SDL_image expands grey with tRNS to grey+alpha and reads the pair through
// RGB masks; the right surface is the grey-palette one with a colour key.
TEST(PngLoaderMendsSdlImage, GreyWithTransparencyKeysTheWidenedLevel)
{
    NEEDS_SDL_IMAGE();
    const struct {
        int depth;
        std::uint16_t transparent;
        Uint32 key;
    } cases[] = {{1, 1, 255}, {2, 2, 170}, {4, 9, 153}, {8, 77, 77}, {16, 0x1234, 0x12},
                 // Below 16 bits only the low bits count, as in libpng's own expansion.
                 {4, 20, 68}, {8, 0x1FF, 0xFF}};
    for (bool interlaced : {false, true})
        for (const auto& c : cases) {
            const std::string plainFile = writePng(picture(PNG_COLOR_TYPE_GRAY, c.depth, 7, 5, interlaced));
            SurfacePtr plain = sdlImageLoad(plainFile);
            ASSERT_NE(plain, nullptr);
            SDL_SetColorKey(plain.get(), SDL_SRCCOLORKEY, c.key);
            // Made by hand: libpng writes no tRNS sample out of the depth's range.
            const std::string file = withChunkAfterHeader(
                plainFile, "tRNS", std::string{char(c.transparent >> 8), char(c.transparent & 0xFF)});
            PngLoad loaded = load(file);
            SurfacePtr mine(loaded.surface);
            ASSERT_NE(mine, nullptr) << loaded.reason;
            EXPECT_EQ(describe(mine.get()), describe(plain.get())) << c.depth << " bits, grey " << c.transparent;
            if (c.depth <= 8) {
                EXPECT_TRUE(sameRgbaAsSimplifiedReader(mine.get(), file)) << c.depth << " bits, grey " << c.transparent;
            }
        }
}

TEST(PngLoaderMendsSdlImage, GreyEightBitTransparencyExactPixels)
{
    // SDL_image: (255, 255, 0), (0, 255, 0) and (1, 0, 0).
    PngPicture p = picture(PNG_COLOR_TYPE_GRAY, 8, 3, 1, false);
    p.samples = {255, 0, 1};
    p.hasTransparentColour = true;
    p.transparentColour.gray = 1;
    PngLoad loaded = load(writePng(p));
    SurfacePtr s(loaded.surface);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->format->BitsPerPixel, 8);
    EXPECT_EQ(s->flags & SDL_SRCCOLORKEY, Uint32(SDL_SRCCOLORKEY));
    EXPECT_EQ(s->format->colorkey, 1u);
    EXPECT_EQ(rgbaAt(s.get(), 0, 0), (std::array<int, 4>{255, 255, 255, 255}));
    EXPECT_EQ(rgbaAt(s.get(), 1, 0), (std::array<int, 4>{0, 0, 0, 255}));
    EXPECT_EQ(rgbaAt(s.get(), 2, 0), (std::array<int, 4>{1, 1, 1, 0}));
}

// SDL_image keys on the low bytes of a 16-bit tRNS colour, while the pixels
// keep their high bytes.
TEST(PngLoaderMendsSdlImage, SixteenBitTransparentColourKeysItsHighBytes)
{
    NEEDS_SDL_IMAGE();
    PngPicture p = picture(PNG_COLOR_TYPE_RGB, 16, 4, 1, false);
    p.samples = {0x1234, 0x5678, 0x9ABC,  // the tRNS colour
                 0x12FF, 0x5600, 0x9A01,  // another colour with the same high bytes
                 0x3400, 0x7800, 0xBC00,  // SDL_image's key
                 0x1234, 0x5678, 0x9BBC}; // one high byte off
    p.hasTransparentColour = true;
    p.transparentColour.red = 0x1234;
    p.transparentColour.green = 0x5678;
    p.transparentColour.blue = 0x9ABC;
    const std::string file = writePng(p);
    PngLoad loaded = load(file);
    SurfacePtr s(loaded.surface);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->format->BitsPerPixel, 24);
    EXPECT_EQ(s->format->colorkey, 0x9A5612u);
    EXPECT_EQ(rgbaAt(s.get(), 0, 0), (std::array<int, 4>{0x12, 0x56, 0x9A, 0}));
    EXPECT_EQ(rgbaAt(s.get(), 1, 0), (std::array<int, 4>{0x12, 0x56, 0x9A, 0}));
    EXPECT_EQ(rgbaAt(s.get(), 2, 0), (std::array<int, 4>{0x34, 0x78, 0xBC, 255}));
    EXPECT_EQ(rgbaAt(s.get(), 3, 0), (std::array<int, 4>{0x12, 0x56, 0x9B, 255}));
    // Apart from the key the surface is SDL_image's.
    SurfacePtr old = sdlImageLoad(file);
    SDL_SetColorKey(old.get(), SDL_SRCCOLORKEY, 0x9A5612);
    EXPECT_EQ(describe(s.get()), describe(old.get()));
}

// libpng would warn about each of these chunks, and a gamma chunk could
// change pixels; none of them is even parsed.
TEST(PngLoaderMatchesSdlImage, AncillaryChunksOtherThanTransparencyAreSkippedUnread)
{
    PngPicture p = picture(PNG_COLOR_TYPE_GRAY, 8, 7, 5, false);
    p.hasTransparentColour = true;
    p.transparentColour.gray = p.samples[3];
    const std::string clean = writePng(p);
    std::string file = withChunkAfterHeader(clean, "gAMA", std::string("\x00\x00\x01", 3));
    file = withChunkAfterHeader(file, "sRGB", std::string("\x07", 1));
    file = withChunkAfterHeader(file, "zTXt", std::string("Comment\0\0not zlib at all", 25));
    file = withChunkAfterHeader(file, "tIME", std::string(7, '\xff'));
    PngLoad plain = load(clean);
    SurfacePtr want(plain.surface);
    PngLoad loaded = load(file);
    SurfacePtr got(loaded.surface);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(loaded.messages, "");
    EXPECT_EQ(describe(got.get()), describe(want.get()));
    EXPECT_EQ(got->format->colorkey, p.samples[3]);
}

TEST(PngLoaderStream, SignatureCheckSeeksBackAndLoadLeavesTheStreamOpen)
{
    const std::string png = writePng(picture(PNG_COLOR_TYPE_RGB, 8, 2, 2, false));
    const std::string file = "pad::" + png;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    SDL_RWseek(rw, 5, RW_SEEK_SET);
    EXPECT_TRUE(hasPngSignature(rw));
    EXPECT_EQ(SDL_RWtell(rw), 5);
    SDL_RWseek(rw, 0, RW_SEEK_SET);
    EXPECT_FALSE(hasPngSignature(rw));
    EXPECT_EQ(SDL_RWtell(rw), 0);

    PngLoad refused = loadPng(rw);
    EXPECT_EQ(refused.surface, nullptr);
    EXPECT_EQ(refused.reason, "not a PNG file");
    EXPECT_EQ(SDL_RWtell(rw), 0) << "a refused stream goes back to where it was";
    SDL_RWseek(rw, 5, RW_SEEK_SET);
    PngLoad loaded = loadPng(rw);
    SurfacePtr s(loaded.surface);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->w, 2);
    EXPECT_GT(SDL_RWtell(rw), 5);
    SDL_RWclose(rw);

    const std::string shortSignature = png.substr(0, 7);
    rw = SDL_RWFromConstMem(shortSignature.data(), 7);
    EXPECT_FALSE(hasPngSignature(rw));
    SDL_RWclose(rw);
    EXPECT_FALSE(hasPngSignature(nullptr));
    EXPECT_EQ(loadPng(nullptr).reason, "not a PNG file");
}

TEST(PngLoaderDamage, EmptyJunkAndTruncatedAtEveryLength)
{
    for (const std::string& junk : {std::string(), std::string("this is not a picture")}) {
        PngLoad r = load(junk);
        EXPECT_EQ(r.surface, nullptr);
        EXPECT_EQ(r.reason, "not a PNG file");
        EXPECT_EQ(r.messages, "");
    }
    PngPicture p = picture(PNG_COLOR_TYPE_PALETTE, 4, 13, 3, true, 11);
    p.paletteAlpha = {255, 0};
    const std::string file = writePng(p);
    const std::size_t end = chunkOffset(file, "IEND");
    ASSERT_NE(end, std::string::npos);
    PngLoad whole = load(file);
    SurfacePtr full(whole.surface);
    ASSERT_NE(full, nullptr);
    for (std::size_t length = 0; length < file.size(); ++length) {
        PngLoad r = load(file.substr(0, length));
        SurfacePtr s(r.surface);
        if (length < 8) {
            EXPECT_EQ(r.reason, "not a PNG file") << length;
        } else if (length < end) {
            EXPECT_EQ(s, nullptr) << length;
            EXPECT_EQ(r.reason, "truncated PNG file") << length;
            EXPECT_EQ(r.messages, "libpng error: unexpected end of file\n") << length;
        } else {
            // The pixels are complete before IEND, which is never read.
            ASSERT_NE(s, nullptr) << length;
            EXPECT_EQ(describe(s.get()), describe(full.get()));
        }
    }
}

TEST(PngLoaderDamage, EveryBitFlipFailsCleanlyOrChangesNoPixel)
{
    const std::string file =
        withChunkAfterHeader(writePng(picture(PNG_COLOR_TYPE_RGB, 8, 5, 3, false)), "tEXt", std::string("Title\0x", 7));
    PngLoad whole = load(file);
    SurfacePtr full(whole.surface);
    ASSERT_NE(full, nullptr);
    const std::size_t text = chunkOffset(file, "tEXt");
    const std::size_t data = chunkOffset(file, "IDAT");
    const std::size_t end = chunkOffset(file, "IEND");
    int failed = 0, loaded = 0;
    for (std::size_t at = 0; at < file.size(); ++at)
        for (int bit = 0; bit < 8; ++bit) {
            std::string damaged = file;
            damaged[at] = static_cast<char>(damaged[at] ^ (1 << bit));
            PngLoad r = load(damaged);
            SurfacePtr s(r.surface);
            if (s == nullptr) {
                ++failed;
                EXPECT_FALSE(r.reason.empty()) << at << "." << bit;
                if (at >= 8) {
                    EXPECT_NE(r.messages, "") << at << "." << bit;
                }
            } else {
                ++loaded;
                EXPECT_EQ(describe(s.get()), describe(full.get())) << at << "." << bit;
            }
            if (at < 8) {
                EXPECT_EQ(r.reason, "not a PNG file");
            } else if (at < text || (at >= data && at < end)) {
                EXPECT_NE(r.reason, "") << "header and image data are protected: " << at << "." << bit;
            } else if (at >= text + 8 && at < data) {
                // A damaged text chunk is skipped, as libpng does by default.
                EXPECT_EQ(r.messages, "libpng warning: tEXt: CRC error\n") << at << "." << bit;
            } else if (at >= end) {
                EXPECT_NE(s, nullptr) << at << "." << bit;
            }
        }
    EXPECT_GT(failed, 0);
    EXPECT_GT(loaded, 0);
}

TEST(PngLoaderDamage, DamagedTransparencyFailsInsteadOfLoadingOpaque)
{
    PngPicture p = picture(PNG_COLOR_TYPE_PALETTE, 8, 3, 2, false, 4);
    p.paletteAlpha = {255, 0};
    std::string file = writePng(p);
    const std::size_t trns = chunkOffset(file, "tRNS");
    ASSERT_NE(trns, std::string::npos);
    file[trns + 8 + 1] = 1;
    PngLoad r = load(file);
    EXPECT_EQ(r.surface, nullptr);
    EXPECT_EQ(r.reason, "damaged PNG data");
    EXPECT_EQ(r.messages, "libpng warning: tRNS: CRC error\n");
    EXPECT_TRUE(r.filePalette);
}

// SDL_image spins on these: a chunk claiming almost 2 GiB in a 57-byte file.
TEST(PngLoaderDamage, AbsurdAncillaryChunkLengthFailsAtOnce)
{
    for (const char* type : {"gAMA", "bKGD", "cHRM", "pHYs", "sRGB", "tEXt", "tIME", "zTXt"}) {
        std::string middle;
        appendBigEndian32(middle, 0x7FFFFFF0u);
        middle += type;
        middle += std::string("\x00\x00\xb1\x8f", 4);
        const std::string file = handMade(1, 1, middle);
        ASSERT_EQ(file.size(), 57u);
        PngLoad r = load(file);
        EXPECT_EQ(r.surface, nullptr) << type;
        EXPECT_EQ(r.reason, "truncated PNG file") << type;
        EXPECT_EQ(r.messages, std::string("libpng warning: ") + type
                                  + ": chunk data is too large\nlibpng error: unexpected end of file\n");
    }
}

TEST(PngLoaderLimits, HugeDeclaredSizesAreRefusedBeforeAllocation)
{
    PngLoad huge = load(handMade(100000, 70000, ""));
    EXPECT_EQ(huge.surface, nullptr);
    EXPECT_EQ(huge.reason, "picture too large (100000 x 70000)");
    EXPECT_EQ(huge.messages, "libpng warning: Image width exceeds user limit in IHDR\n"
                             "libpng warning: Image height exceeds user limit in IHDR\n"
                             "libpng error: Invalid IHDR data\n");
    // SDL 1.2 makes no surface this wide, whatever the limits allow.
    PictureLimits roomy;
    roomy.maxWidth = 20000;
    EXPECT_EQ(load(handMade(16384, 1, ""), roomy).reason, "picture too large (16384 x 1)");
    EXPECT_EQ(load(handMade(16383, 1, ""), roomy).reason, "damaged PNG data") << "passes the size, has no IDAT";

    PictureLimits narrow;
    narrow.maxWidth = 12;
    const std::string wide = writePng(picture(PNG_COLOR_TYPE_RGB, 8, 13, 3, false));
    EXPECT_EQ(load(wide, narrow).reason, "picture too large (13 x 3)");
    narrow.maxWidth = 13;
    narrow.maxHeight = 2;
    EXPECT_EQ(load(wide, narrow).reason, "picture too large (13 x 3)");
}

TEST(PngLoaderLimits, DecodedBytesCountSdlPitch)
{
    // 7 RGB pixels take 21 bytes, a pitch of 24: 120 bytes for 5 rows.
    const std::string file = writePng(picture(PNG_COLOR_TYPE_RGB, 8, 7, 5, false));
    PictureLimits limits;
    limits.maxDecodedBytes = 119;
    PngLoad refused = load(file, limits);
    EXPECT_EQ(refused.surface, nullptr);
    EXPECT_EQ(refused.reason, "picture too large (7 x 5)");
    EXPECT_EQ(refused.messages, "");
    limits.maxDecodedBytes = 120;
    PngLoad loaded = load(file, limits);
    SurfacePtr s(loaded.surface);
    ASSERT_NE(s, nullptr) << loaded.reason << loaded.messages;
    EXPECT_EQ(s->pitch * s->h, 120);
    // A 4-bit palette picture counts the one byte per pixel it decodes to.
    PngPicture p = picture(PNG_COLOR_TYPE_PALETTE, 4, 9, 2, false, 16);
    limits.maxDecodedBytes = 23;
    EXPECT_EQ(load(writePng(p), limits).reason, "picture too large (9 x 2)");
    limits.maxDecodedBytes = 24;
    SurfacePtr palette(load(writePng(p), limits).surface);
    EXPECT_NE(palette, nullptr);
}

TEST(PngLoaderLimits, FailedSurfaceAllocationCleansUp)
{
#if defined(_WIN32)
    GTEST_SKIP() << "its failing SDL_CreateRGBSurface needs symbol interposition; Windows binds SDL.dll's by name";
#else
    failWidth = 13;
    failHeight = 3;
    PngLoad r = load(writePng(picture(PNG_COLOR_TYPE_RGB_ALPHA, 8, 13, 3, true)));
    failWidth = failHeight = 0;
    EXPECT_EQ(r.surface, nullptr);
    EXPECT_EQ(r.reason, "out of memory");
    EXPECT_EQ(r.messages, "");
#endif
}
