#include "tests/saver/decoders.h"

#include <zlib.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace saver_test;

namespace {

// What a reader sees of an n-bit sample stored with sBIT n: the bits
// repeated downwards (31 of 5 bits is 255).
int widen(int v, int bits)
{
    switch (bits) {
    case 5: return v << 3 | v >> 2;
    case 6: return v << 2 | v >> 4;
    default: return v;
    }
}

// Three-byte pixels with an alpha channel, red lowest and blue lowest.
constexpr Layout RGBA6666_24{"RGBA6666_24", 24, 0x00003F, 0x000FC0, 0x03F000, 0xFC0000};
constexpr Layout BGRA6666_24{"BGRA6666_24", 24, 0x03F000, 0x000FC0, 0x00003F, 0xFC0000};

} // namespace

TEST(PngWriter, ColourTypeSignificantBitsAndPixelsByLayout)
{
    const struct {
        Layout layout;
        int colourType;
        Bytes sbit;
    } cases[] = {{BGRA32, 6, {8, 8, 8, 8}}, {RGBA32, 6, {8, 8, 8, 8}}, {BGRX32, 2, {8, 8, 8}}, {BGR24, 2, {8, 8, 8}},
                 {RGB24, 2, {8, 8, 8}},     {RGB565, 2, {5, 6, 5}},    {RGB555, 2, {5, 5, 5}},
                 {RGBA6666_24, 6, {6, 6, 6, 6}}, {BGRA6666_24, 6, {6, 6, 6, 6}}};
    for (const auto& c : cases) {
        const Layout& l = c.layout;
        SurfacePtr s = patternSurface(7, 5, l);
        Bytes b;
        ASSERT_EQ(saveToMemory(WPX_SavePNG_RW, s.get(), b), 0) << l.name;
        const Bytes header = pngChunk(b, "IHDR");
        ASSERT_EQ(header.size(), 13u);
        EXPECT_EQ(header[8], 8) << l.name;
        EXPECT_EQ(header[9], c.colourType) << l.name;
        EXPECT_EQ(pngChunk(b, "sBIT"), c.sbit) << l.name;
        EXPECT_TRUE(pngChunk(b, "tRNS").empty());
        const Decoded png = decodePng(b);
        ASSERT_EQ(png.width, 7) << l.name;
        ASSERT_EQ(png.height, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const Rgba v = patternAt(x, y, l);
                const Rgba want{widen(v[0], maskBits(l.r)), widen(v[1], maskBits(l.g)), widen(v[2], maskBits(l.b)),
                                l.a ? widen(v[3], maskBits(l.a)) : 255};
                ASSERT_EQ(png.at(x, y), want) << l.name << " at " << x << "," << y;
            }
    }
    SurfacePtr red = makeSurface(1, 1, RGB565);
    putRaw(red.get(), 0, 0, 0xF800);
    Bytes b;
    ASSERT_EQ(saveToMemory(WPX_SavePNG_RW, red.get(), b), 0);
    EXPECT_EQ(decodePng(b).at(0, 0), (Rgba{255, 0, 0, 255}));
}

TEST(PngWriter, PaletteSurfacesOfEveryDepth)
{
    const int depths[][2] = {{8, 16}, {8, 256}, {4, 16}, {1, 2}};
    for (const auto& d : depths) {
        SurfacePtr s = paletteSurface(11, 3, d[0], d[1]);
        Bytes b;
        ASSERT_EQ(saveToMemory(WPX_SavePNG_RW, s.get(), b), 0);
        EXPECT_EQ(pngChunk(b, "IHDR")[8], 8);
        EXPECT_EQ(pngChunk(b, "IHDR")[9], 3);
        EXPECT_EQ(pngChunk(b, "PLTE").size(), 3u * d[1]);
        EXPECT_TRUE(pngChunk(b, "sBIT").empty());
        const Decoded png = decodePng(b);
        ASSERT_EQ(png.width, 11);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 11; ++x) {
                const SDL_Color c = paletteEntry((x + 2 * y) % d[1]);
                ASSERT_EQ(png.at(x, y), (Rgba{c.r, c.g, c.b, 255})) << d[0] << " bits at " << x << "," << y;
            }
    }
}

TEST(PngWriter, ColourKeyBecomesTransparency)
{
    Bytes b;
    SurfacePtr rgb = patternSurface(5, 4, BGRX32);
    putRaw(rgb.get(), 3, 2, 0x00FF00FF);
    SDL_SetColorKey(rgb.get(), SDL_SRCCOLORKEY, 0x00FF00FF);
    ASSERT_EQ(saveToMemory(WPX_SavePNG_RW, rgb.get(), b), 0);
    EXPECT_EQ(pngChunk(b, "tRNS"), (Bytes{0, 0xFF, 0, 0, 0, 0xFF}));
    EXPECT_EQ(decodePng(b).at(3, 2), (Rgba{255, 0, 255, 0}));
    EXPECT_EQ(decodePng(b).at(2, 2)[3], 255);

    // A 16-bit key must name the colour as written, after widening.
    SurfacePtr narrow = patternSurface(5, 4, RGB565);
    const Uint32 key = compose(narrow->format, patternAt(1, 3, RGB565));
    SDL_SetColorKey(narrow.get(), SDL_SRCCOLORKEY, key);
    ASSERT_EQ(saveToMemory(WPX_SavePNG_RW, narrow.get(), b), 0);
    EXPECT_EQ(decodePng(b).at(1, 3)[3], 0);
    EXPECT_EQ(decodePng(b).at(2, 3)[3], 255);

    SurfacePtr indexed = paletteSurface(7, 2, 8, 16);
    SDL_SetColorKey(indexed.get(), SDL_SRCCOLORKEY, 5);
    ASSERT_EQ(saveToMemory(WPX_SavePNG_RW, indexed.get(), b), 0);
    EXPECT_EQ(pngChunk(b, "tRNS"), (Bytes{255, 255, 255, 255, 255, 0}));
    EXPECT_EQ(decodePng(b).at(5, 0)[3], 0);
    EXPECT_EQ(decodePng(b).at(3, 1)[3], 0);
    EXPECT_EQ(decodePng(b).at(4, 0)[3], 255);

    // An alpha channel already carries the transparency.
    SurfacePtr rgba = patternSurface(5, 4, RGBA32);
    SDL_SetColorKey(rgba.get(), SDL_SRCCOLORKEY, 0);
    ASSERT_EQ(saveToMemory(WPX_SavePNG_RW, rgba.get(), b), 0);
    EXPECT_TRUE(pngChunk(b, "tRNS").empty());
    EXPECT_EQ(decodePng(b).at(4, 3)[3], patternAt(4, 3, RGBA32)[3]);
}

TEST(PngWriter, FailureResults)
{
    SurfacePtr s = patternSurface(40, 30, BGRA32);
    Bytes b;
    EXPECT_EQ(saveToMemory(WPX_SavePNG_RW, s.get(), b, 100), 4);
    EXPECT_STREQ(SDL_GetError(), "WPX_png: Error has occured while saving a SDL surface to a png file");

    const Uint8 realSize = s->format->BytesPerPixel;
    for (Uint8 bad : {0, 5}) {
        s->format->BytesPerPixel = bad;
        EXPECT_EQ(saveToMemory(WPX_SavePNG_RW, s.get(), b), 5);
        EXPECT_STREQ(SDL_GetError(), "WPX_png: Unknown pixel format");
        EXPECT_TRUE(b.empty());
    }
    s->format->BytesPerPixel = realSize;

    EXPECT_EQ(WPX_SavePNG_RW(s.get(), nullptr), 1);
    EXPECT_EQ(saveToMemory(WPX_SavePNG_RW, nullptr, b), 1);
    EXPECT_STREQ(SDL_GetError(), "WPX_png: Passed an invalid surface");
    SurfacePtr empty = patternSurface(0, 3, BGRA32);
    EXPECT_EQ(saveToMemory(WPX_SavePNG_RW, empty.get(), b), 4);
}

namespace {

// A task runner on `threads` plain threads taking tasks in any order,
// last first, so a piece depending on the order of the others would show.
struct ThreadRunner {
    int threads = 1;
    static void run(void* data, int count, WPX_Task task, void* taskData)
    {
        const int threads = static_cast<ThreadRunner*>(data)->threads;
        std::atomic<int> next{count - 1};
        auto work = [&] {
            for (int i = next--; i >= 0; i = next--)
                task(taskData, i);
        };
        std::vector<std::thread> helpers;
        for (int t = 1; t < threads; ++t)
            helpers.emplace_back(work);
        work();
        for (std::thread& helper : helpers)
            helper.join();
    }
};

int withFilter(int filter, int threads, SDL_Surface* s, Bytes& out)
{
    StreamState st;
    SDL_RWops* rw = openStream(st);
    SDL_ClearError();
    int result;
    if (threads == 1) {
        result = WPX_SavePNGEx_RW(s, rw, filter, 1);
    } else {
        ThreadRunner runner{threads};
        WPX_SaveSettings settings{};
        settings.pngFilter = filter;
        settings.runTasks = &ThreadRunner::run;
        settings.runnerData = &runner;
        result = WPX_SaveEx_RW(s, rw, "png", &settings);
    }
    SDL_RWclose(rw);
    out = st.data;
    return result;
}

// Every IDAT chunk's data, joined: the zlib stream.
Bytes imageData(const Bytes& file)
{
    Bytes data;
    for (size_t at = 8; at + 12 <= file.size();) {
        const size_t length = size_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
        if (std::memcmp(&file[at + 4], "IDAT", 4) == 0)
            data.insert(data.end(), file.begin() + long(at + 8), file.begin() + long(at + 8 + length));
        at += 12 + length;
    }
    return data;
}

} // namespace

TEST(PngWriter, EveryFilterGivesThePixelsAndThreadsNeverChangeTheBytes)
{
    // Large enough for several pieces of image data (RGBA rows of 1601
    // bytes, about 160 rows a piece), in the three layouts the engine
    // writes, plus one that needs the BGR transform.
    struct Case {
        SurfacePtr surface;
        const char* name;
    };
    std::vector<Case> cases;
    cases.push_back({patternSurface(400, 700, RGBA32), "RGBA32"});
    cases.push_back({patternSurface(301, 500, RGB24), "RGB24"});
    cases.push_back({paletteSurface(611, 900, 8, 256), "palette"});
    cases.push_back({patternSurface(123, 77, BGRA32), "BGRA32"});
    for (const Case& c : cases) {
        Bytes reference;
        ASSERT_EQ(withFilter(WPX_PNG_FILTER_DEFAULT, 1, c.surface.get(), reference), 0);
        const Decoded want = decodePng(reference);
        ASSERT_GT(want.width, 0) << c.name;
        Bytes plain;
        ASSERT_EQ(saveToMemory(WPX_SavePNG_RW, c.surface.get(), plain), 0);
        EXPECT_EQ(plain, reference) << c.name << ": the default is libpng's own encoding";
        for (int filter = WPX_PNG_FILTER_NONE; filter <= WPX_PNG_FILTER_ALL; ++filter) {
            Bytes one;
            ASSERT_EQ(withFilter(filter, 1, c.surface.get(), one), 0) << c.name << " filter " << filter;
            // The file ends with its IEND chunk, whichever way it was written.
            const unsigned char iend[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
            ASSERT_GE(one.size(), 12u);
            EXPECT_EQ(std::memcmp(one.data() + one.size() - 12, iend, 12), 0) << c.name << " filter " << filter;
            const Decoded got = decodePng(one);
            EXPECT_EQ(got.width, want.width);
            EXPECT_TRUE(got.pixels == want.pixels) << c.name << " filter " << filter;
            for (int threads : {2, 3, 8}) {
                Bytes many;
                ASSERT_EQ(withFilter(filter, threads, c.surface.get(), many), 0);
                EXPECT_TRUE(many == one) << c.name << " filter " << filter << " threads " << threads;
            }
            // Each row starts with the chosen filter's type byte (checked on
            // the first row, which the zlib stream starts with once inflated).
            if (filter != WPX_PNG_FILTER_ALL) {
                const Bytes data = imageData(one);
                z_stream z{};
                ASSERT_EQ(inflateInit(&z), Z_OK);
                Bytes first(16);
                z.next_in = const_cast<Bytef*>(data.data());
                z.avail_in = uInt(data.size());
                z.next_out = first.data();
                z.avail_out = uInt(first.size());
                inflate(&z, Z_SYNC_FLUSH);
                inflateEnd(&z);
                EXPECT_EQ(first[0], filter - 1) << c.name;
            }
        }
    }
}

TEST(PngWriter, ASingleFilterPieceWriteFailureIsReported)
{
    SurfacePtr s = patternSurface(400, 700, RGBA32);
    StreamState st;
    st.writeBudget = 5000;
    SDL_RWops* rw = openStream(st);
    SDL_ClearError();
    EXPECT_EQ(WPX_SavePNGEx_RW(s.get(), rw, WPX_PNG_FILTER_NONE, 2), 4);
    EXPECT_STREQ(SDL_GetError(), "WPX_png: Error has occured while saving a SDL surface to a png file");
    SDL_RWclose(rw);
}
