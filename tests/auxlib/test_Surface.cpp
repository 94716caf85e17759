#include "auxlib/draw/PngLoader.h"
#include "auxlib/draw/Surface.h"
#include "auxlib/utility/SDLInitializer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

using namespace auxlib::draw;
using auxlib::utility::SDLInitializer;

namespace {

bool same(const Rgba& a, const Rgba& b) { return a == b; }

::testing::AssertionResult pixelIs(Surface& s, int x, int y, Rgba want)
{
    Rgba got;
    s.getPixel(got, x, y);
    if (same(got, want))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is (" << int(got.r) << "," << int(got.g)
                                         << "," << int(got.b) << "," << int(got.a) << ")";
}

} // namespace

TEST(SurfaceSharing, LastOfSeveralCopiesFreesTheSdlSurfaceExactlyOnce)
{
    SDL_Surface* raw = SDL_CreateRGBSurface(0, 3, 2, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000);
    ASSERT_NE(raw, nullptr);
    // An extra reference lets us watch how often the handles free it.
    raw->refcount = 2;
    {
        Surface a(raw);
        {
            Surface b(a);
            Surface c(b);
            EXPECT_EQ(c.sdl(), raw);
        }
        EXPECT_EQ(raw->refcount, 2) << "an earlier copy freed the surface";
        EXPECT_TRUE(a.isValid());
    }
    EXPECT_EQ(raw->refcount, 1);
    SDL_FreeSurface(raw);
}

TEST(SurfaceSharing, SetSurfaceWithTheHeldPointerFreesNothing)
{
    SDL_Surface* raw = SDL_CreateRGBSurface(0, 2, 2, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    raw->refcount = 2;
    {
        Surface s(raw);
        EXPECT_EQ(s.setSurface(raw), Success);
        EXPECT_EQ(raw->refcount, 2);
        EXPECT_EQ(s.setSurface(nullptr), Success);
        EXPECT_FALSE(s.isValid());
        EXPECT_EQ(raw->refcount, 1);
    }
    SDL_FreeSurface(raw);
}

TEST(SurfaceSharing, EveryHandleKeepsSdlStartedEvenWhenEmpty)
{
    EXPECT_EQ(SDLInitializer::startCount(), 0);
    {
        Surface empty;
        EXPECT_EQ(SDLInitializer::startCount(), 1);
        EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
        Surface picture;
        ASSERT_EQ(picture.create(4, 4, true), Success);
        // Two handles plus the holder of the created picture.
        EXPECT_EQ(SDLInitializer::startCount(), 3);
    }
    EXPECT_EQ(SDLInitializer::startCount(), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST(SurfaceCreate, EngineFormatAndRefusals)
{
    Surface s;
    ASSERT_EQ(s.create(5, 3, true), Success);
    EXPECT_EQ(s.width(), 5);
    EXPECT_EQ(s.height(), 3);
    EXPECT_TRUE(s.hasAlpha());
    EXPECT_EQ(s.sdl()->format->Rmask, 0x000000FFu);
    EXPECT_EQ(s.sdl()->format->Amask, 0xFF000000u);

    SDL_Surface* before = s.sdl();
    EXPECT_EQ(s.create(0, 5, true), InvalidArgument);
    EXPECT_EQ(s.create(5, -1, false), InvalidArgument);
    EXPECT_EQ(s.sdl(), before) << "a refused create must leave the picture";

    ASSERT_EQ(s.create(2, 2, false), Success);
    EXPECT_FALSE(s.hasAlpha());
    EXPECT_EQ(s.sdl()->format->BitsPerPixel, 24);

    // An empty handle has no picture, so no alpha either, and is not read.
    EXPECT_FALSE(Surface().hasAlpha());
    s.setSurface(nullptr);
    EXPECT_FALSE(s.hasAlpha());
}

TEST(SurfaceCreate, EmptyHandleReportsNothing)
{
    Surface s;
    EXPECT_FALSE(s.isValid());
    EXPECT_EQ(s.width(), 0);
    EXPECT_EQ(s.height(), 0);
    EXPECT_TRUE(pixelIs(s, 0, 0, {0, 0, 0, 255}));
    EXPECT_EQ(s.lock(), NoSurface);
    Rgba red{255, 0, 0, 255};
    EXPECT_EQ(s.fill(nullptr, &red), NoSurface);
    Surface other;
    other.create(1, 1, true);
    EXPECT_EQ(s.blit(&other, 0, 0, nullptr, 0, 0), NoSurface);
    EXPECT_EQ(other.blit(nullptr, 0, 0, nullptr, 0, 0), InvalidArgument);
    EXPECT_EQ(other.copy(nullptr, 0, 0, nullptr, 0, 0), InvalidArgument);
    EXPECT_EQ(other.blit(&s, 0, 0, nullptr, 0, 0), SdlFailure);
}

TEST(SurfaceLoad, EmptyPathAndUndecodableFile)
{
    Surface s;
    EXPECT_EQ(s.load(""), InvalidArgument);
    EXPECT_EQ(s.load("no-such-picture.png"), SdlFailure);
    {
        std::ofstream junk("junk.png", std::ios::binary);
        junk << "this is not a picture";
    }
    EXPECT_EQ(s.load("junk.png"), SdlFailure);
    EXPECT_FALSE(s.isValid());
}

namespace {

// A bitmap with the 40-byte Windows header of the given bit count and size,
// its pixels at offset 54.
std::string bitmapHeader(int bits, int width, int height, const std::string& pixels)
{
    std::string out = "BM";
    auto put = [&out](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += char((v >> (8 * i)) & 0xFF);
    };
    put(54 + std::uint32_t(pixels.size()), 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(std::uint32_t(width), 4);
    put(std::uint32_t(height), 4);
    put(1, 2);
    put(std::uint32_t(bits), 2);
    out.append(24, '\0');
    return out + pixels;
}

} // namespace

// Bit counts SDL_image takes without complaint: 0 makes a 5 x 3 picture of
// no pixel bytes, read from nothing; 8193 (0x2001) one of 1-byte pixels in
// rows of 4 bytes, 19 pixels wide.
TEST(SurfaceLoad, BitmapsOfUnreadablePixelLayoutsAreRefused)
{
#if defined(PIXWRIGHT_WITHOUT_SDL_IMAGE)
    GTEST_SKIP() << "SDL_image's BMP reader makes these surfaces; this build has none, and SDL's own reader refuses them earlier";
#endif
    std::ofstream("zero-bits.bmp", std::ios::binary) << bitmapHeader(0, 5, 3, "");
    std::ofstream("odd-bits.bmp", std::ios::binary) << bitmapHeader(0x2001, 19, 11, std::string(44, '\x40'));
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {{"zero-bits.bmp", "unreadable pixel layout: 0 bits, 0 bytes per pixel, rows of 0 bytes"},
                 {"odd-bits.bmp", "unreadable pixel layout: 1 bits, 1 bytes per pixel, rows of 4 bytes"}};
    for (const auto& c : cases) {
        Surface s;
        LoadReport report;
        EXPECT_EQ(s.load(c.name, PictureLimits(), &report), SdlFailure) << c.name;
        EXPECT_FALSE(s.isValid()) << c.name;
        EXPECT_EQ(report.reason, c.reason);
        EXPECT_FALSE(report.tooLarge) << c.name;
    }
    // The same header with 24 bits loads.
    std::ofstream("fine.bmp", std::ios::binary) << bitmapHeader(24, 19, 11, std::string(60 * 11, '\x40'));
    Surface fine;
    EXPECT_EQ(fine.load("fine.bmp", PictureLimits(), nullptr), Success);
    EXPECT_EQ(fine.width(), 19);
}

TEST(SurfaceLoad, ReadsABmpWrittenBySdl)
{
    Surface s;
    ASSERT_EQ(s.create(3, 2, false), Success);
    Rgba c{10, 20, 30, 255};
    s.putPixel(2, 1, &c);
    ASSERT_EQ(SDL_SaveBMP(s.sdl(), "three.bmp"), 0);
    Surface loaded;
    ASSERT_EQ(loaded.load("three.bmp"), Success);
    EXPECT_EQ(loaded.width(), 3);
    EXPECT_TRUE(pixelIs(loaded, 2, 1, c));
    EXPECT_TRUE(pixelIs(loaded, 0, 0, {0, 0, 0, 255}));
}

TEST(SurfacePixels, ThirtyTwoBitRoundTripAndBounds)
{
    Surface s;
    ASSERT_EQ(s.create(3, 2, true), Success);
    Rgba c{1, 2, 3, 4};
    s.putPixel(2, 1, &c);
    EXPECT_TRUE(pixelIs(s, 2, 1, c));
    // Red sits in the lowest byte of the engine's format.
    const Uint8* row = static_cast<const Uint8*>(s.sdl()->pixels) + s.sdl()->pitch;
    EXPECT_EQ(row[8], 1);
    EXPECT_EQ(row[9], 2);
    EXPECT_EQ(row[10], 3);
    EXPECT_EQ(row[11], 4);

    Rgba far{9, 9, 9, 9};
    s.putPixel(3, 0, &far);
    s.putPixel(-1, 0, &far);
    s.putPixel(0, 2, &far);
    EXPECT_TRUE(pixelIs(s, 3, 0, {0, 0, 0, 255}));
    EXPECT_TRUE(pixelIs(s, 0, 2, {0, 0, 0, 255}));
    EXPECT_TRUE(pixelIs(s, -1, 0, {0, 0, 0, 255}));
    EXPECT_TRUE(pixelIs(s, 0, -1, {0, 0, 0, 255}));
    EXPECT_TRUE(pixelIs(s, 0, 0, {0, 0, 0, 0})) << "out-of-bounds writes must not land anywhere";
}

TEST(SurfacePixels, TwentyFourBitReportsOpaqueAndStoresThreeBytes)
{
    Surface s;
    ASSERT_EQ(s.create(5, 1, false), Success);
    Rgba c{0xAB, 0xCD, 0xEF, 7};
    s.putPixel(4, 0, &c);
    EXPECT_TRUE(pixelIs(s, 4, 0, {0xAB, 0xCD, 0xEF, 255}));
    const Uint8* p = static_cast<const Uint8*>(s.sdl()->pixels) + 12;
    EXPECT_EQ(p[0], 0xAB);
    EXPECT_EQ(p[1], 0xCD);
    EXPECT_EQ(p[2], 0xEF);
    EXPECT_TRUE(pixelIs(s, 3, 0, {0, 0, 0, 255}));
}

TEST(SurfacePixels, PaletteReadsThePaletteColour)
{
    SDL_Surface* raw = SDL_CreateRGBSurface(0, 4, 2, 8, 0, 0, 0, 0);
    ASSERT_NE(raw, nullptr);
    SDL_Color colours[3] = {{0, 0, 0, 0}, {200, 100, 50, 0}, {0, 117, 117, 0}};
    SDL_SetColors(raw, colours, 0, 3);
    static_cast<Uint8*>(raw->pixels)[raw->pitch + 3] = 2;
    Surface s(raw);
    EXPECT_TRUE(pixelIs(s, 3, 1, {0, 117, 117, 255}));
    Rgba c{200, 100, 50, 255};
    s.putPixel(1, 0, &c);
    EXPECT_EQ(static_cast<Uint8*>(raw->pixels)[1], 1);
    EXPECT_TRUE(pixelIs(s, 4, 0, {0, 0, 0, 255}));
}

TEST(SurfacePixels, RawValuesByByteCount)
{
    Uint8 bytes[4] = {0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(Surface::readPixelValue(bytes, 1), 0x11u);
    EXPECT_EQ(Surface::readPixelValue(bytes, 3), 0x332211u);
    EXPECT_EQ(Surface::readPixelValue(bytes, 5), 0u);
    EXPECT_EQ(Surface::readPixelValue(nullptr, 4), 0u);
    Surface::writePixelValue(bytes, 3, 0xAABBCCDD);
    EXPECT_EQ(bytes[0], 0xDD);
    EXPECT_EQ(bytes[1], 0xCC);
    EXPECT_EQ(bytes[2], 0xBB);
    EXPECT_EQ(bytes[3], 0x44) << "a 3-byte write must not touch the fourth byte";
    Surface::writePixelValue(bytes, 0, 0);
    EXPECT_EQ(bytes[0], 0xDD);
}

TEST(SurfaceCopy, RawCopyKeepsSourceAlphaAndRestoresItsFlags)
{
    Surface src;
    ASSERT_EQ(src.create(2, 1, true), Success);
    Rgba half{200, 0, 0, 100};
    src.putPixel(0, 0, &half);
    SDL_SetAlpha(src.sdl(), SDL_SRCALPHA, 77);
    const Uint32 flagsBefore = src.sdl()->flags;

    Surface dst;
    ASSERT_EQ(dst.create(3, 1, true), Success);
    Rgba blue{0, 0, 255, 255};
    dst.fill(nullptr, &blue);
    ASSERT_EQ(dst.copy(&src, 1, 0, nullptr, 0, 0), Success);
    EXPECT_TRUE(pixelIs(dst, 1, 0, half)) << "copy must not blend";
    EXPECT_TRUE(pixelIs(dst, 0, 0, blue));
    EXPECT_EQ(src.sdl()->flags, flagsBefore);
    EXPECT_EQ(src.sdl()->format->alpha, 77);

    // A blit blends by the source's per-surface alpha instead.
    Surface blended;
    blended.create(1, 1, false);
    blended.fill(nullptr, &blue);
    ASSERT_EQ(blended.blit(&src, 0, 0, nullptr, 0, 0), Success);
    Rgba got;
    blended.getPixel(got, 0, 0);
    EXPECT_NE(got.b, 255);
}

TEST(SurfaceCopy, OpaqueSourceGivesAlpha255AndBlockIsClipped)
{
    Surface src;
    ASSERT_EQ(src.create(4, 4, false), Success);
    Rgba green{0, 255, 0, 255};
    src.fill(nullptr, &green);
    Surface dst;
    ASSERT_EQ(dst.create(3, 3, true), Success);
    Size block{2, 1};
    ASSERT_EQ(dst.copy(&src, 2, 2, &block, 1, 1), Success);
    EXPECT_TRUE(pixelIs(dst, 2, 2, green));
    EXPECT_TRUE(pixelIs(dst, 1, 2, {0, 0, 0, 0}));
    EXPECT_TRUE(pixelIs(dst, 2, 1, {0, 0, 0, 0}));
}

TEST(SurfaceCopy, CreateCopyDuplicatesPixelsAndFormat)
{
    Surface src;
    ASSERT_EQ(src.create(3, 2, true), Success);
    Rgba c{5, 6, 7, 8};
    src.putPixel(1, 1, &c);
    Surface dup;
    ASSERT_EQ(dup.createCopy(&src), Success);
    EXPECT_NE(dup.sdl(), src.sdl());
    EXPECT_TRUE(pixelIs(dup, 1, 1, c));
    EXPECT_EQ(dup.sdl()->format->Amask, 0xFF000000u);
    EXPECT_EQ(dup.createCopy(nullptr), InvalidArgument);
}

TEST(SurfaceCopy, SourceColourKeyLeavesDestinationPixels)
{
    SDL_Surface* raw = SDL_CreateRGBSurface(0, 2, 1, 8, 0, 0, 0, 0);
    SDL_Color colours[2] = {{255, 0, 0, 0}, {0, 255, 0, 0}};
    SDL_SetColors(raw, colours, 0, 2);
    static_cast<Uint8*>(raw->pixels)[0] = 0;
    static_cast<Uint8*>(raw->pixels)[1] = 1;
    SDL_SetColorKey(raw, SDL_SRCCOLORKEY, 0);
    Surface src(raw);
    Surface dst;
    dst.create(2, 1, true);
    Rgba white{255, 255, 255, 255};
    dst.fill(nullptr, &white);
    ASSERT_EQ(dst.copy(&src, 0, 0, nullptr, 0, 0), Success);
    EXPECT_TRUE(pixelIs(dst, 0, 0, white));
    EXPECT_TRUE(pixelIs(dst, 1, 0, {0, 255, 0, 255}));
}

TEST(SurfaceFill, RectangleAndWholePicture)
{
    Surface s;
    ASSERT_EQ(s.create(4, 3, true), Success);
    Rgba key{0, 0x75, 0x75, 0};
    ASSERT_EQ(s.fill(nullptr, &key), Success);
    Rect r{1, 1, 2, 1};
    Rgba red{255, 0, 0, 255};
    ASSERT_EQ(s.fill(&r, &red), Success);
    EXPECT_TRUE(pixelIs(s, 1, 1, red));
    EXPECT_TRUE(pixelIs(s, 2, 1, red));
    EXPECT_TRUE(pixelIs(s, 3, 1, key));
    EXPECT_TRUE(pixelIs(s, 1, 0, key));
}

TEST(SurfaceLockGuard, NullAndEmptyHandles)
{
    SurfaceLock none(nullptr);
    EXPECT_EQ(none.result(), InvalidArgument);
    Surface empty;
    SurfaceLock onEmpty(&empty);
    EXPECT_EQ(onEmpty.result(), NoSurface);
    Surface s;
    s.create(1, 1, false);
    SurfaceLock held(&s);
    EXPECT_EQ(held.result(), Success);
}

TEST(SurfaceCopy, FailedCopyStillRestoresTheSource)
{
    Surface src;
    ASSERT_EQ(src.create(2, 2, true), Success);
    SDL_SetAlpha(src.sdl(), SDL_SRCALPHA, 40);
    const Uint32 flagsBefore = src.sdl()->flags;
    // SDL refuses to blit from a locked surface.
    SDL_LockSurface(src.sdl());
    Surface dst;
    ASSERT_EQ(dst.create(2, 2, true), Success);
    EXPECT_EQ(dst.copy(&src, 0, 0, nullptr, 0, 0), SdlFailure);
    SDL_UnlockSurface(src.sdl());
    EXPECT_EQ(src.sdl()->flags, flagsBefore);
    EXPECT_EQ(src.sdl()->format->alpha, 40);
}
