// The sizes picture headers declare, read before anything is decoded: they
// must be the sizes the decoder would allocate for, or a huge picture gets
// its memory before it is refused.
#include "auxlib/draw/PictureHeader.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

using auxlib::draw::readDeclaredSize;

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
    SDL_Surface* s = IMG_Load(written("picture.bmp", file).c_str());
    const std::string size = s ? std::to_string(s->w) + "x" + std::to_string(s->h) : "none";
    SDL_FreeSurface(s);
    return size;
}

} // namespace

TEST(PictureHeader, BitmapSizesOfEveryHeaderSizeAreTheOnesSdlImageDecodes)
{
    for (std::uint32_t headerSize : {12u, 40u, 0u, 16u, 64u, 108u}) {
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
    // Sizes no decoder takes are left to the decoder to refuse.
    EXPECT_EQ(declared(bitmap(40, 0, 5, false)), "none");
    EXPECT_EQ(declared(bitmap(40, -3, 5, false)), "none");
    EXPECT_EQ(declared("BM" + std::string(10, '\0')), "none"); // cut inside the header
}

namespace {

std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out += char(v);
    return out;
}

std::string save(const std::string& name, const std::string& content)
{
    std::ofstream(name, std::ios::binary) << content;
    return name;
}

struct Declared {
    std::uint32_t w, h;
};

Declared sizeOf(const std::string& file)
{
    const auto size = readDeclaredSize(file);
    return size ? Declared{size->width, size->height} : Declared{0, 0};
}

} // namespace

TEST(PictureHeader, TheOtherKindsAreReadWhereTheirLoadersReadThem)
{
    // GIF: the first image's descriptor counts, not the logical screen; a
    // colour table and an extension block come before it.
    std::string gif = "GIF89a" + bytes({1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255});
    gif += bytes({0x21, 0xF9, 4, 1, 0, 0, 0, 0});
    gif += bytes({0x2C, 0, 0, 0, 0, 0x10, 0x27, 0x20, 0x4E, 0});
    EXPECT_EQ(sizeOf(save("a.gif", gif)).w, 10000u);
    EXPECT_EQ(sizeOf("a.gif").h, 20000u);

    // PCX: the window's ends are both inside: 0..639 by 10..19.
    std::string pcx = bytes({0x0A, 5, 1, 8, 0, 0, 10, 0, 0x7F, 2, 19, 0});
    pcx.resize(128, '\0');
    EXPECT_EQ(sizeOf(save("a.pcx", pcx)).w, 640u);
    EXPECT_EQ(sizeOf("a.pcx").h, 10u);

    // PNM, with a comment between the sizes.
    EXPECT_EQ(sizeOf(save("a.pgm", "P5\n# made here\n 321\t# w\n12 255\n")).w, 321u);
    EXPECT_EQ(sizeOf("a.pgm").h, 12u);

    // XCF and ILBM: big-endian sizes.
    std::string xcf = "gimp xcf file";
    xcf += '\0';
    xcf += bytes({0, 1, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0});
    EXPECT_EQ(sizeOf(save("a.xcf", xcf)).w, 65536u);
    EXPECT_EQ(sizeOf("a.xcf").h, 512u);
    std::string ilbm = "FORM" + bytes({0, 0, 0, 40}) + "ILBM" + "BMHD" + bytes({0, 0, 0, 20, 3, 0, 1, 44, 0, 0});
    EXPECT_EQ(sizeOf(save("a.lbm", ilbm)).w, 768u);
    EXPECT_EQ(sizeOf("a.lbm").h, 300u);

    // TIFF in both byte orders: the width (SHORT) and length (LONG) tags.
    std::string ii = "II*" + bytes({0, 8, 0, 0, 0, 2, 0});
    ii += bytes({0, 1, 3, 0, 1, 0, 0, 0, 0xE8, 3, 0, 0});
    ii += bytes({1, 1, 4, 0, 1, 0, 0, 0, 0xA0, 0x86, 1, 0});
    EXPECT_EQ(sizeOf(save("a.tif", ii)).w, 1000u);
    EXPECT_EQ(sizeOf("a.tif").h, 100000u);
    std::string mm = "MM" + bytes({0, '*', 0, 0, 0, 8, 0, 1});
    mm += bytes({1, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0x12, 0x34});
    EXPECT_EQ(sizeOf(save("b.tif", mm)).w, 0u) << "no length tag: nothing declared";

    // WebP: lossy, lossless and extended.
    std::string vp8 = "RIFF" + bytes({30, 0, 0, 0}) + "WEBP" + "VP8 " + bytes({10, 0, 0, 0, 0, 0, 0, 0x9D, 1, 0x2A});
    vp8 += bytes({0x40, 0x41, 0xF0, 0xC0});
    EXPECT_EQ(sizeOf(save("a.webp", vp8)).w, 0x0140u) << "the two scale bits are no part of the size";
    EXPECT_EQ(sizeOf("a.webp").h, 0x00F0u);
    std::string vp8l = "RIFF" + bytes({30, 0, 0, 0}) + "WEBP" + "VP8L" + bytes({10, 0, 0, 0, 0x2F});
    // Width - 1 = 99 in bits 0..13, height - 1 = 49 in bits 14..27.
    const std::uint32_t packed = 99 | 49u << 14;
    vp8l += bytes({int(packed & 0xFF), int(packed >> 8 & 0xFF), int(packed >> 16 & 0xFF), int(packed >> 24), 0});
    EXPECT_EQ(sizeOf(save("b.webp", vp8l)).w, 100u);
    EXPECT_EQ(sizeOf("b.webp").h, 50u);
    std::string vp8x = "RIFF" + bytes({30, 0, 0, 0}) + "WEBP" + "VP8X" + bytes({10, 0, 0, 0, 0, 0, 0, 0});
    vp8x += bytes({0xFF, 0x0F, 0, 0x01, 0x02, 0});
    EXPECT_EQ(sizeOf(save("c.webp", vp8x)).w, 4096u);
    EXPECT_EQ(sizeOf("c.webp").h, 514u);

    // An icon of two entries: the larger picture its own header asks for,
    // whatever the directory says.
    std::string ico = bytes({0, 0, 1, 0, 2, 0});
    ico += bytes({16, 16, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 38, 0, 0, 0});
    ico += bytes({32, 32, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 50, 0, 0, 0});
    ico += bytes({40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0});
    ico += bytes({40, 0, 0, 0, 0, 8, 0, 0, 0, 16, 0, 0});
    EXPECT_EQ(sizeOf(save("a.ico", ico)).w, 2048u);
    EXPECT_EQ(sizeOf("a.ico").h, 4096u);

    // TGA has no signature: only its extension makes it one.
    std::string tga = bytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 3, 0x58, 2, 24, 0});
    EXPECT_EQ(sizeOf(save("a.TGA", tga)).w, 800u);
    EXPECT_EQ(sizeOf("a.TGA").h, 600u);
    EXPECT_EQ(sizeOf(save("a.dat", tga)).w, 0u);
}

TEST(PictureHeader, SmallPicturesOfOtherKindsDeclareWhatSdlImageDecodes)
{
#if defined(PIXWRIGHT_WITHOUT_SDL_IMAGE)
    GTEST_SKIP() << "decodes PNM and TGA with SDL_image, which this build has none of";
#endif
    // A 3 x 2 grey PNM and a 5 x 4 true-colour TGA, decoded for real.
    save("small.pgm", "P5\n3 2\n255\n" + std::string(6, '\x40'));
    std::string tga = bytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 4, 0, 24, 0});
    tga += std::string(5 * 4 * 3, '\x22');
    save("small.tga", tga);
    for (const char* file : {"small.pgm", "small.tga"}) {
        SDL_Surface* picture = IMG_Load(file);
        ASSERT_NE(picture, nullptr) << file << ": " << IMG_GetError();
        EXPECT_EQ(sizeOf(file).w, std::uint32_t(picture->w)) << file;
        EXPECT_EQ(sizeOf(file).h, std::uint32_t(picture->h)) << file;
        SDL_FreeSurface(picture);
    }
}
