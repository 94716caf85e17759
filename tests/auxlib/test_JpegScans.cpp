// Counting a JPEG's scans before it is decoded, and refusing one with more
// passes over the picture than any encoder writes.
#include "auxlib/draw/JpegScans.h"
#include "auxlib/draw/PngLoader.h"
#include "auxlib/draw/Surface.h"
#include "saver/writepix.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using auxlib::draw::countJpegScans;

namespace {

using Bytes = std::vector<unsigned char>;

void put(Bytes& b, std::initializer_list<int> bytes)
{
    for (int v : bytes)
        b.push_back(static_cast<unsigned char>(v));
}

// SOI, an APP0 segment, `scans` start-of-scan segments each followed by
// entropy-coded bytes holding a stuffed 0xFF00, a restart marker and fill
// bytes, then EOI. Not decodable; only its markers matter.
Bytes withScans(int scans)
{
    Bytes b;
    put(b, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    for (int i = 0; i < scans; ++i) {
        put(b, {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00});
        put(b, {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD3, 0x56, 0xFF, 0xFF, 0x00, 0x78});
    }
    put(b, {0xFF, 0xD9});
    return b;
}

std::string writeFile(const std::string& name, const Bytes& bytes)
{
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return name;
}

} // namespace

TEST(JpegScans, CountsEveryScanAndStopsCountingPastTheLimit)
{
    EXPECT_EQ(countJpegScans(writeFile("one.jpg", withScans(1)), 10), 1);
    EXPECT_EQ(countJpegScans(writeFile("seven.jpg", withScans(7)), 10), 7);
    EXPECT_EQ(countJpegScans(writeFile("many.jpg", withScans(40)), 10), 11) << "no further than the limit plus one";
    EXPECT_EQ(countJpegScans(writeFile("none.jpg", withScans(0)), 10), 0);
    EXPECT_EQ(countJpegScans(writeFile("png.jpg", {0x89, 'P', 'N', 'G'}), 10), -1);
    EXPECT_EQ(countJpegScans("missing.jpg", 10), -1);
    // Cut in the middle of a scan's data: what was seen.
    Bytes cut = withScans(3);
    cut.resize(cut.size() - 8);
    EXPECT_EQ(countJpegScans(writeFile("cut.jpg", cut), 10), 3);

    // A real baseline JPEG has one scan.
    SDL_Surface* s = SDL_CreateRGBSurface(0, 17, 9, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    SDL_FillRect(s, nullptr, 0x336699);
    ASSERT_EQ(WPX_Save(s, "real.jpg"), 0);
    SDL_FreeSurface(s);
    EXPECT_EQ(countJpegScans("real.jpg", 10), 1);
}

TEST(JpegScans, AJpegWithTooManyScansIsRefusedBeforeDecoding)
{
    auxlib::draw::Surface picture;
    auxlib::draw::LoadReport report;
    writeFile("bomb.jpg", withScans(auxlib::draw::maxJpegScans + 1));
    EXPECT_NE(picture.load("bomb.jpg", auxlib::draw::PictureLimits(), &report), 0);
    EXPECT_EQ(report.reason, "too many scans for a JPEG file (more than 256)");
    EXPECT_FALSE(picture.isValid());
    // At the limit the decoder gets the file (and refuses it as no picture).
    writeFile("edge.jpg", withScans(auxlib::draw::maxJpegScans));
    EXPECT_NE(picture.load("edge.jpg", auxlib::draw::PictureLimits(), &report), 0);
    EXPECT_NE(report.reason, "too many scans for a JPEG file (more than 256)");
}
