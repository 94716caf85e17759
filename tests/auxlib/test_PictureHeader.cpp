// The sizes picture headers declare, read before anything is decoded: they
// must be the sizes the decoder would allocate for, or a huge picture gets
// its memory before it is refused.
#include "auxlib/draw/PictureHeader.h"
#include "auxlib/draw/Surface.h"

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
