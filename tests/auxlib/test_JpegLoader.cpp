// The engine's JPEG reader: libjpeg driven directly, the surfaces SDL_image
// 1.2 made, the size refused before decoding, the scans bounded whatever
// lies around them, and nothing printed.
#include "auxlib/draw/JpegLoader.h"
#include "auxlib/draw/Surface.h"
#include "JpegMaker.h"
#include "StderrCapture.h"
#include "SurfaceCompare.h"

#include "SdlImageReference.h"
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace auxlib::draw;

namespace {

JpegLoad load(const std::string& file, const PictureLimits& limits = PictureLimits())
{
    StderrCapture capture;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    JpegLoad result = loadJpeg(rw, limits);
    if (result.surface == nullptr) {
        EXPECT_EQ(SDL_RWtell(rw), 0) << "put back on failure";
    }
    SDL_RWclose(rw);
    EXPECT_EQ(capture.text(), "");
    return result;
}

SurfacePtr sdlImage(const std::string& file)
{
    return SurfacePtr(IMG_LoadJPG_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()))));
}

std::string joined(const std::vector<std::string>& parts, std::size_t from, std::size_t to)
{
    std::string out;
    for (std::size_t i = from; i < to && i < parts.size(); ++i)
        out += parts[i];
    return out;
}

std::size_t firstScan(const std::vector<std::string>& segments)
{
    for (std::size_t i = 0; i < segments.size(); ++i)
        if (static_cast<unsigned char>(segments[i][1]) == 0xDA)
            return i;
    return segments.size();
}

std::string segment(int marker, const std::string& body)
{
    const std::size_t n = body.size() + 2;
    return std::string{char(0xFF), char(marker), char(n >> 8), char(n & 0xFF)} + body;
}

// A progressive grey picture whose first scan (the DC scan) is repeated
// `scans` times in all; a comment and a stray byte follow the first one.
// libjpeg warns about the repeats and decodes them all.
std::string withScans(int scans)
{
    JpegPicture p;
    p.width = 16;
    p.height = 16;
    p.components = 1;
    p.progressive = true;
    const std::vector<std::string> parts = jpegSegments(jpegFile(p));
    const std::size_t first = firstScan(parts);
    std::string out = joined(parts, 0, first + 1);
    out += segment(0xFE, "made to have many scans") + "\x42";
    for (int i = 1; i < scans; ++i)
        out += parts[first];
    return out + "\xFF\xD9";
}

} // namespace

TEST(JpegLoader, PicturesGiveTheSurfacesSdlImageGave)
{
    NEEDS_SDL_IMAGE();
    for (int components : {1, 3, 4})
        for (bool progressive : {false, true}) {
            JpegPicture p;
            p.width = 37;
            p.height = 21;
            p.components = components;
            p.progressive = progressive;
            const std::string file = jpegFile(p);
            ASSERT_FALSE(file.empty());
            SCOPED_TRACE(std::to_string(components) + (progressive ? " progressive" : " baseline"));
            JpegLoad mine = load(file);
            SurfacePtr theirs = sdlImage(file);
            ASSERT_NE(theirs, nullptr) << IMG_GetError();
            ASSERT_NE(mine.surface, nullptr) << mine.reason;
            SurfacePtr owned(mine.surface);
            EXPECT_TRUE(sameSurface(mine.surface, theirs.get(), 0));
            EXPECT_EQ(mine.surface->format->BitsPerPixel, components == 4 ? 32 : 24);
            EXPECT_EQ(mine.width, 37u);
            EXPECT_EQ(mine.messages, "");
        }
}

// A grey file is 24-bit RGB with equal channels, red in the lowest byte.
TEST(JpegLoader, GreyBecomesThreeEqualChannels)
{
    JpegPicture p;
    p.width = 8;
    p.height = 8;
    p.components = 1;
    p.quality = 100;
    p.samples.assign(64, 200);
    JpegLoad r = load(jpegFile(p));
    ASSERT_NE(r.surface, nullptr) << r.reason;
    SurfacePtr owned(r.surface);
    const auto* px = static_cast<const Uint8*>(r.surface->pixels);
    EXPECT_EQ(r.surface->format->Rmask, 0x0000FFu);
    EXPECT_EQ(px[0], 200);
    EXPECT_EQ(px[1], 200);
    EXPECT_EQ(px[2], 200);
}

TEST(JpegLoader, AFileCutShortLoadsWithAWarningAsSdlImageLoadedIt)
{
    NEEDS_SDL_IMAGE();
    JpegPicture p;
    p.width = 64;
    p.height = 64;
    const std::string whole = jpegFile(p);
    const std::string cut = whole.substr(0, whole.size() / 2);
    JpegLoad r = load(cut);
    ASSERT_NE(r.surface, nullptr) << r.reason;
    SurfacePtr owned(r.surface);
    SurfacePtr theirs = sdlImage(cut);
    ASSERT_NE(theirs, nullptr);
    EXPECT_TRUE(sameSurface(r.surface, theirs.get(), 0));
    EXPECT_EQ(r.messages, "libjpeg warning: Premature end of JPEG file\n");
}

TEST(JpegLoader, DamagedAndForeignFilesAreRefusedWithLibjpegsWordsCollected)
{
    JpegLoad r = load("\x89PNG\r\n\x1A\n");
    EXPECT_EQ(r.reason, "not a JPEG file");
    EXPECT_EQ(r.messages, "");

    JpegPicture p;
    p.width = 9;
    p.height = 9;
    std::vector<std::string> parts = jpegSegments(jpegFile(p));
    // The frame header gone: the scan comes before any frame.
    std::string noFrame;
    for (const std::string& s : parts)
        if (static_cast<unsigned char>(s[1]) != 0xC0)
            noFrame += s;
    r = load(noFrame);
    EXPECT_EQ(r.surface, nullptr);
    EXPECT_EQ(r.reason, "damaged JPEG data");
    EXPECT_EQ(r.messages, "libjpeg error: Invalid JPEG file structure: SOS before SOF\n");

    // Tables only: no picture at all.
    r = load(std::string("\xFF\xD8", 2) + segment(0xFE, "tables") + "\xFF\xD9");
    EXPECT_EQ(r.surface, nullptr);
    EXPECT_EQ(r.reason, "no picture in the JPEG file");
}

// A comment and a stray byte after the first scan stopped the old marker
// counter while libjpeg went on decoding thousands of scans. The progress
// monitor counts what libjpeg itself reads.
TEST(JpegLoader, ScansPastTheLimitAreRefusedWhateverSurroundsThem)
{
    const std::string bomb = withScans(5000);
    JpegLoad r = load(bomb);
    EXPECT_EQ(r.surface, nullptr);
    EXPECT_EQ(r.reason, "too many scans for a JPEG file (more than 256)");

    r = load(withScans(maxJpegScans + 1));
    EXPECT_EQ(r.reason, "too many scans for a JPEG file (more than 256)");
    r = load(withScans(maxJpegScans));
    ASSERT_NE(r.surface, nullptr) << r.reason;
    SDL_FreeSurface(r.surface);
    EXPECT_NE(r.messages.find("libjpeg warning: "), std::string::npos) << "the repeated scans are warned about";
}

// 600 markers before the frame header made the old header reader give up,
// so a 3 KB file was decoded to 760 MB before it was refused. libjpeg reads
// every marker; the size is refused before anything is decoded.
TEST(JpegLoader, AHugeSizeBehindManyMarkersIsRefusedBeforeDecoding)
{
    JpegPicture p;
    p.width = 8;
    p.height = 8;
    std::vector<std::string> parts = jpegSegments(jpegFile(p));
    std::string file = parts[0];
    for (int i = 0; i < 600; ++i)
        file += segment(0xE5, "x");
    for (std::size_t i = 1; i < parts.size(); ++i) {
        std::string s = parts[i];
        if (static_cast<unsigned char>(s[1]) == 0xC0) {
            // Precision, then height and width: 40000 x 50000.
            s[5] = char(40000 >> 8);
            s[6] = char(40000 & 0xFF);
            s[7] = char(50000 >> 8);
            s[8] = char(50000 & 0xFF);
        }
        file += s;
    }
    ASSERT_LT(file.size(), 5000u);
    PictureLimits limits;
    limits.maxWidth = 8191;
    limits.maxHeight = 16383;
    JpegLoad r = load(file, limits);
    EXPECT_EQ(r.surface, nullptr);
    EXPECT_TRUE(r.tooLarge);
    EXPECT_EQ(r.width, 50000u);
    EXPECT_EQ(r.height, 40000u);
    EXPECT_EQ(r.reason, "picture too large (50000 x 40000)");

    // Through the picture: refused with the declared size, as the engine
    // reports it.
    std::ofstream("many-markers.png", std::ios::binary) << file;
    Surface picture;
    LoadReport report;
    EXPECT_NE(picture.load("many-markers.png", limits, &report), 0);
    EXPECT_TRUE(report.tooLarge);
    EXPECT_EQ(report.declaredWidth, 50000u);
    EXPECT_EQ(report.declaredHeight, 40000u);

    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), int(file.size()));
    const auxlib::draw::PictureHeader head = readJpegHeader(rw);
    EXPECT_EQ(head.width, 50000u);
    EXPECT_EQ(SDL_RWtell(rw), 0);
    SDL_RWclose(rw);
}
