// Telling a picture's kind from its first bytes, and refusing every kind
// the engine does not decode before any decoder sees it: the files that
// crashed or hung the old readers, crafted here byte by byte.
#include "auxlib/draw/PictureFormat.h"
#include "auxlib/draw/PictureLimits.h"
#include "auxlib/draw/Surface.h"
#include "PngMaker.h"
#include "StderrCapture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using namespace auxlib::draw;

namespace {

std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out += char(v);
    return out;
}

PictureFormat sniff(const std::string& head)
{
    return sniffPictureFormat(reinterpret_cast<const std::uint8_t*>(head.data()), head.size());
}

std::string written(const std::string& name, const std::string& content)
{
    std::ofstream(name, std::ios::binary) << content;
    return name;
}

std::string bigEndian32(std::uint32_t v)
{
    return bytes({int(v >> 24), int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)});
}

} // namespace

TEST(PictureFormat, EveryKindIsToldByItsFirstBytes)
{
    const struct {
        std::string head;
        const char* name;
    } cases[] = {
        {bytes({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13}), "PNG"},
        {"BM" + bytes({0x36, 0, 0, 0}), "BMP"},
        {bytes({0xFF, 0xD8, 0xFF, 0xE0}), "JPEG"},
        {"XYZ1" + bytes({3, 0, 2, 0}), "XYZ"},
        {"GIF87a", "GIF"},
        {"GIF89a", "GIF"},
        {bytes({'I', 'I', 42, 0}), "TIFF"},
        {bytes({'M', 'M', 0, 42}), "TIFF"},
        {"gimp xcf v011", "XCF"},
        {"/* XPM */\n", "XPM"},
        {"RIFF" + bytes({0, 0, 0, 0}) + "WEBPVP8 ", "WebP"},
        {bytes({0, 0, 1, 0, 1, 0}), "ICO"},
        {bytes({0, 0, 2, 0, 1, 0}), "CUR"},
        {"P6\n3 2\n255\n", "PNM"},
        {"P1 ", "PNM"},
        {"FORM" + bytes({0, 0, 0, 8}) + "ILBM", "ILBM"},
        {"8BPS", "PSD"},
        {"qoif", "QOI"},
        {bytes({0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', '\r', '\n', 0x87, '\n'}), "JPEG 2000"},
        {bytes({0xFF, 0x0A, 0xFA}), "JPEG XL"},
        {bytes({0, 0, 0, 0x1C}) + "ftypavif", "AVIF"},
        {bytes({0, 0, 0, 0x18}) + "ftypheic", "HEIF"},
        {"DDS ", "DDS"},
        {bytes({0x76, 0x2F, 0x31, 0x01}), "OpenEXR"},
        {"<svg xmlns=", "SVG"},
        {bytes({0x0A, 5, 1, 8, 0, 0}), "PCX"},
        {bytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 4, 0, 24, 0}), "TGA"},
        {bytes({0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 5, 0, 4, 0, 8, 0}), "TGA"},
        // Near misses.
        {"", "unknown"},
        {bytes({0x89, 'P', 'N', 'G'}), "unknown"},
        {"B", "unknown"},
        {bytes({0xFF, 0xD8}), "unknown"},
        {"XYZ2", "unknown"},
        {"GIF90a", "unknown"},
        {bytes({0, 0, 1, 0, 0, 0}), "unknown"}, // an icon of no entries
        {bytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 4, 0, 23, 0}), "unknown"},
        {"P8 ", "unknown"},
        {"hello, world", "unknown"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(pictureFormatName(sniff(c.head)), c.name) << c.name;
    EXPECT_TRUE(isDecodedFormat(PictureFormat::Png));
    EXPECT_TRUE(isDecodedFormat(PictureFormat::Bmp));
    EXPECT_TRUE(isDecodedFormat(PictureFormat::Jpeg));
    EXPECT_TRUE(isDecodedFormat(PictureFormat::Xyz));
    EXPECT_FALSE(isDecodedFormat(PictureFormat::Gif));
    EXPECT_FALSE(isDecodedFormat(PictureFormat::Unknown));
    EXPECT_EQ(unsupportedFormatReason(PictureFormat::Gif), "unsupported picture format: GIF");
    EXPECT_EQ(sniffPictureFormat(nullptr), PictureFormat::Unknown);

    // From a stream: peeked from where it stands, and put back there.
    const std::string file = "xx" + bytes({0xFF, 0xD8, 0xFF, 0xDB});
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), int(file.size()));
    SDL_RWseek(rw, 2, RW_SEEK_SET);
    EXPECT_EQ(sniffPictureFormat(rw), PictureFormat::Jpeg);
    EXPECT_EQ(SDL_RWtell(rw), 2);
    SDL_RWclose(rw);
}

// The files that crashed or hung the old readers, each under its own name
// and renamed to .png: refused at once with one line naming the kind, and
// nothing printed.
TEST(PictureFormat, KindsNotDecodedAreRefusedUnreadWhateverTheirName)
{
    std::string xpm66 = "/* XPM */\nstatic char *a[] = {\n\"2 2 1 1\",\n\"  c None\",\n\"";
    xpm66.resize(66, ' ');
    const std::string xpmColours = "/* XPM */\nstatic char *a[] = {\n\"1 1 2147483648 1\",\n";
    // A GIF whose image asks for LZW codes of 12 bits from the start.
    const std::string gifCodeSize = "GIF89a" + bytes({2, 0, 2, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2C, 0, 0, 0,
                                                      0, 2, 0, 2, 0, 0, 12, 3, 0xFF, 0xFF, 0xFF, 0, 0x3B});
    // A GIF whose comment extension never ends.
    const std::string gifExtension = "GIF89a" + bytes({2, 0, 2, 0, 0, 0, 0, 0x21, 0xFE, 5, 'a', 'b', 'c', 'd', 'e',
                                                       5, 'f', 'g', 'h', 'i', 'j'});
    // An XCF whose one layer's name claims 0xFFFFFFFF bytes.
    const std::string xcf = std::string("gimp xcf file", 13) + '\0' + bigEndian32(64) + bigEndian32(64)
                            + bigEndian32(0) + bigEndian32(0) + bigEndian32(38) + bigEndian32(0) + bigEndian32(64)
                            + bigEndian32(64) + bigEndian32(0) + bigEndian32(0xFFFFFFFF) + "name";
    // A TGA header for 8191 x 16383 true-colour pixels, cut at 118 bytes.
    std::string tga = bytes({0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x1F, 0xFF, 0x3F, 24, 0x20});
    tga += std::string(100, '\x7F');
    ASSERT_EQ(xpm66.size(), 66u);
    ASSERT_EQ(tga.size(), 118u);
    const struct {
        const char* name;
        std::string content;
        const char* reason;
    } cases[] = {
        {"small.xpm", xpm66, "unsupported picture format: XPM"},
        {"colours.xpm", xpmColours, "unsupported picture format: XPM"},
        {"codes.gif", gifCodeSize, "unsupported picture format: GIF"},
        {"comment.gif", gifExtension, "unsupported picture format: GIF"},
        {"layer.xcf", xcf, "unsupported picture format: XCF"},
        {"cut.tga", tga, "unsupported picture format: TGA"},
        {"plain.txt", "just some words\n", "unsupported picture format: unknown"},
        {"empty.png", "", "unsupported picture format: unknown"},
    };
    for (const auto& c : cases) {
        for (const std::string& name : {std::string(c.name), std::string(c.name) + ".png"}) {
            StderrCapture capture;
            Surface picture;
            LoadReport report;
            EXPECT_EQ(picture.load(written(name, c.content), PictureLimits(), &report), SdlFailure) << name;
            EXPECT_EQ(report.reason, c.reason) << name;
            EXPECT_FALSE(report.tooLarge) << name;
            EXPECT_FALSE(picture.isValid()) << name;
            EXPECT_EQ(capture.text(), "") << name;
        }
    }
}

// A PNG whose header chunk cannot be read went past the old size check to a
// reader that let libpng print. Every PNG reaches the engine's own reader:
// the failure is its reason and libpng's words, and nothing is printed.
TEST(PictureFormat, ADamagedPngHeaderIsReportedNotPrinted)
{
    PngPicture png;
    png.width = 3;
    png.height = 2;
    png.samples.assign(18, 7);
    std::string file = writePng(png);
    file[12] = 'i'; // IHDR no longer
    StderrCapture capture;
    Surface picture;
    LoadReport report;
    EXPECT_EQ(picture.load(written("damaged.png", file), PictureLimits(), &report), SdlFailure);
    EXPECT_EQ(capture.text(), "");
    EXPECT_EQ(report.reason.substr(0, report.reason.find('\n')), "damaged PNG data");
    EXPECT_NE(report.reason.find("libpng error: "), std::string::npos) << report.reason;
}
