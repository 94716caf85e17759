// The PNG writer's compressions and palette pictures: every mode decodes to
// the pixels of libpng's default encoding, the bytes never depend on the
// thread count, and the deflate encoder's streams are valid zlib.
#include "saver/WPX_deflate.h"
#include "saver/WPX_pngchunks.h"
#include "tests/saver/decoders.h"

#include <zlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

using namespace saver_test;

namespace {

// An enlargement as nearest neighbour makes it: every pixel twice across,
// every row twice, from a w x h pattern.
SurfacePtr doubledSurface(int w, int h, const Layout& l)
{
    SurfacePtr s = makeSurface(2 * w, 2 * h, l);
    for (int y = 0; y < 2 * h; ++y)
        for (int x = 0; x < 2 * w; ++x) {
            // Two dozen colours in 8 x 8 tiles with a dither in them, as a
            // tile picture has; one of them clear.
            const int sx = x / 2, sy = y / 2;
            const int tile = (sx / 8 * 5 + sy / 8 * 3) % 8;
            const int shade = (sx + sy) % 3 == 0 ? 1 : 0;
            Rgba c = patternAt(tile * 3 + shade, tile, l);
            if (tile == 0)
                c[3] = 0;
            putRaw(s.get(), x, y, compose(s->format, c));
        }
    return s;
}

// The PNG settings the tests vary; threads is the number of threads the
// task runner spreads the pieces over.
struct PngOptions {
    int filter, threads, compression, palette;
};

// A task runner on `threads` threads of its own, each taking the next task.
void runOnThreads(void* runnerData, int count, WPX_Task task, void* taskData)
{
    const int threads = *static_cast<const int*>(runnerData);
    std::atomic<int> next{0};
    auto worker = [&] {
        for (int i = next++; i < count; i = next++)
            task(taskData, i);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(worker);
    worker();
    for (std::thread& helper : helpers)
        helper.join();
}

int savePngOptions(SDL_Surface* s, SDL_RWops* rw, const PngOptions& o)
{
    WPX_SaveSettings settings{};
    settings.pngFilter = o.filter;
    settings.pngCompression = o.compression;
    settings.pngPalette = o.palette;
    if (o.threads > 1) {
        settings.runTasks = runOnThreads;
        settings.runnerData = const_cast<int*>(&o.threads);
    }
    return WPX_SaveEx_RW(s, rw, "PNG", &settings);
}

int saveWith(SDL_Surface* s, const PngOptions& o, Bytes& out)
{
    StreamState st;
    SDL_RWops* rw = openStream(st);
    SDL_ClearError();
    const int result = savePngOptions(s, rw, o);
    SDL_RWclose(rw);
    out = st.data;
    return result;
}

std::string describe(const PngOptions& o)
{
    return "compression " + std::to_string(o.compression) + " palette " + std::to_string(o.palette) + " filter "
           + std::to_string(o.filter) + " threads " + std::to_string(o.threads);
}

Bytes inflateAll(const Bytes& stream, size_t expected)
{
    Bytes out(expected + 16);
    uLongf size = uLongf(out.size());
    if (uncompress(out.data(), &size, stream.data(), uLong(stream.size())) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

Bytes randomBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (Uint8& v : b)
        v = Uint8(rng());
    return b;
}

} // namespace

TEST(PngCompression, EveryModeDecodesToTheDefaultsPixelsAndThreadsNeverChangeTheBytes)
{
    struct Case {
        SurfacePtr surface;
        std::string name;
    };
    std::vector<Case> cases;
    // Every layout the writer takes, small and odd-sized.
    for (const Layout& l : {BGRA32, RGBA32, BGRX32, BGR24, RGB24, RGB565, RGB555})
        cases.push_back({patternSurface(13, 7, l), l.name});
    constexpr Layout RGBA6666_24{"RGBA6666_24", 24, 0x00003F, 0x000FC0, 0x03F000, 0xFC0000};
    constexpr Layout BGRA6666_24{"BGRA6666_24", 24, 0x03F000, 0x000FC0, 0x00003F, 0xFC0000};
    cases.push_back({patternSurface(9, 6, RGBA6666_24), "RGBA6666_24"});
    cases.push_back({patternSurface(9, 6, BGRA6666_24), "BGRA6666_24"});
    for (int bits : {1, 4, 8})
        cases.push_back({paletteSurface(17, 5, bits, bits == 1 ? 2 : 16), "palette " + std::to_string(bits)});
    // Three colours: two bits a pixel once the palette is kept, in rows
    // that end inside a byte.
    cases.push_back({paletteSurface(23, 9, 8, 3), "three colours"});
    // Colour keys: an RGB one (tRNS of one colour) and a palette one.
    SurfacePtr keyed = patternSurface(11, 9, BGR24);
    SDL_SetColorKey(keyed.get(), SDL_SRCCOLORKEY, compose(keyed->format, patternAt(3, 2, BGR24)));
    cases.push_back({std::move(keyed), "keyed BGR24"});
    SurfacePtr keyedPalette = paletteSurface(10, 4, 8, 12);
    SDL_SetColorKey(keyedPalette.get(), SDL_SRCCOLORKEY, 5);
    cases.push_back({std::move(keyedPalette), "keyed palette"});
    // Doubled pictures in the engine's three layouts, large enough for
    // several pieces of image data (RGBA rows of 1201 bytes).
    cases.push_back({doubledSurface(150, 200, RGBA32), "doubled RGBA32"});
    cases.push_back({doubledSurface(77, 31, RGB24), "doubled RGB24"});
    cases.push_back({doubledSurface(40, 25, BGRA32), "doubled BGRA32"});

    for (const Case& c : cases) {
        Bytes reference;
        ASSERT_EQ(saveToMemory(WPX_SavePNG_RW, c.surface.get(), reference), 0) << c.name;
        const Decoded want = decodePng(reference);
        ASSERT_EQ(want.width, c.surface->w) << c.name;

        // The defaults, given or not, are libpng's own bytes.
        Bytes plain;
        ASSERT_EQ(saveWith(c.surface.get(), PngOptions{0, 1, 0, 0}, plain), 0);
        EXPECT_TRUE(plain == reference) << c.name;

        for (int compression : {WPX_PNG_COMPRESSION_DEFAULT, WPX_PNG_COMPRESSION_FAST, WPX_PNG_COMPRESSION_SMALL})
            for (int palette : {0, 1})
                for (int filter : {WPX_PNG_FILTER_DEFAULT, WPX_PNG_FILTER_NONE, WPX_PNG_FILTER_PAETH,
                                   WPX_PNG_FILTER_ALL}) {
                    // The slow mode once per filter choice on the large case.
                    if (compression == WPX_PNG_COMPRESSION_SMALL && c.surface->w > 200 && filter != 0)
                        continue;
                    const PngOptions o{filter, 1, compression, palette};
                    Bytes one;
                    ASSERT_EQ(saveWith(c.surface.get(), o, one), 0) << c.name << " " << describe(o);
                    const Decoded got = decodePng(one);
                    ASSERT_EQ(got.width, want.width) << c.name << " " << describe(o);
                    EXPECT_TRUE(got.pixels == want.pixels) << c.name << " " << describe(o);
                    if (compression == WPX_PNG_COMPRESSION_DEFAULT && palette == 0)
                        continue; // libpng's path, tested with its filters
                    for (int threads : {2, 3, 8}) {
                        PngOptions many = o;
                        many.threads = threads;
                        Bytes more;
                        ASSERT_EQ(saveWith(c.surface.get(), many, more), 0);
                        EXPECT_TRUE(more == one) << c.name << " " << describe(many);
                    }
                }
    }
}

TEST(PngCompression, FastAndSmallAreSmallerThanTheDefaultOnADoubledPicture)
{
    SurfacePtr s = doubledSurface(160, 120, RGBA32);
    Bytes byDefault, fast, small, palette;
    ASSERT_EQ(saveWith(s.get(), PngOptions{0, 1, WPX_PNG_COMPRESSION_DEFAULT, 0}, byDefault), 0);
    ASSERT_EQ(saveWith(s.get(), PngOptions{0, 1, WPX_PNG_COMPRESSION_FAST, 0}, fast), 0);
    ASSERT_EQ(saveWith(s.get(), PngOptions{0, 1, WPX_PNG_COMPRESSION_SMALL, 0}, small), 0);
    ASSERT_EQ(saveWith(s.get(), PngOptions{0, 1, WPX_PNG_COMPRESSION_FAST, 1}, palette), 0);
    EXPECT_LT(fast.size(), byDefault.size());
    EXPECT_LT(small.size(), fast.size());
    EXPECT_LT(palette.size(), fast.size() / 2);
    // The fast file says so in its zlib header (FLEVEL 0), the small one is
    // libdeflate's.
    const Bytes data = pngChunk(fast, "IDAT");
    ASSERT_GE(data.size(), 2u);
    EXPECT_EQ(data[0], 0x78);
    EXPECT_EQ(data[1], 0x01);
}

TEST(PngCompression, ThePaletteKeepsTheColoursInFirstSeenOrderAndTrimsTheTransparency)
{
    // Five colours; the only clear one is the second seen, so tRNS holds
    // two entries.
    SurfacePtr s = makeSurface(5, 3, RGBA32);
    const Rgba colours[5] = {{10, 20, 30, 255}, {40, 50, 60, 0}, {70, 80, 90, 255}, {1, 2, 3, 255}, {9, 9, 9, 255}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            putRaw(s.get(), x, y, compose(s->format, colours[(x + y) % 5]));
    Bytes b;
    ASSERT_EQ(saveWith(s.get(), PngOptions{0, 1, WPX_PNG_COMPRESSION_DEFAULT, 1}, b), 0);
    EXPECT_EQ(pngChunk(b, "IHDR")[9], 3);
    EXPECT_EQ(pngChunk(b, "IHDR")[8], 4) << "five colours take four bits a pixel";
    EXPECT_EQ(pngChunk(b, "PLTE"), (Bytes{10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3, 9, 9, 9}));
    EXPECT_EQ(pngChunk(b, "tRNS"), (Bytes{255, 0}));
    EXPECT_TRUE(pngChunk(b, "sBIT").empty());
    const Decoded d = decodePng(b);
    EXPECT_EQ(d.at(1, 0), (Rgba{40, 50, 60, 0}));
    EXPECT_EQ(d.at(2, 2), (Rgba{9, 9, 9, 255}));

    // An RGB picture's key colour becomes a clear entry.
    SurfacePtr rgb = makeSurface(4, 2, RGB24);
    for (int x = 0; x < 4; ++x) {
        putRaw(rgb.get(), x, 0, compose(rgb->format, Rgba{200, 0, 0, 0}));
        putRaw(rgb.get(), x, 1, compose(rgb->format, Rgba{0, 117, 117, 0}));
    }
    SDL_SetColorKey(rgb.get(), SDL_SRCCOLORKEY, compose(rgb->format, Rgba{0, 117, 117, 0}));
    ASSERT_EQ(saveWith(rgb.get(), PngOptions{0, 1, WPX_PNG_COMPRESSION_FAST, 1}, b), 0);
    EXPECT_EQ(pngChunk(b, "PLTE"), (Bytes{200, 0, 0, 0, 117, 117}));
    EXPECT_EQ(pngChunk(b, "tRNS"), (Bytes{255, 0}));

    // All opaque: no tRNS at all. A grey palette of 256 entries of which two
    // are used (the alpha-only picture) keeps those two.
    SurfacePtr grey = paletteSurface(6, 2, 8, 256);
    for (int i = 0; i < 256; ++i)
        grey->format->palette->colors[i] = SDL_Color{Uint8(i), Uint8(i), Uint8(i), 0};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x)
            static_cast<Uint8*>(grey->pixels)[y * grey->pitch + x] = x < 3 ? 255 : 0;
    ASSERT_EQ(saveWith(grey.get(), PngOptions{0, 1, WPX_PNG_COMPRESSION_FAST, 1}, b), 0);
    EXPECT_EQ(pngChunk(b, "PLTE"), (Bytes{255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(pngChunk(b, "IHDR")[8], 1);
    EXPECT_TRUE(pngChunk(b, "tRNS").empty());
    EXPECT_EQ(decodePng(b).at(2, 1), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(decodePng(b).at(3, 1), (Rgba{0, 0, 0, 255}));

    // 257 colours stay RGBA, and in the default compression that is
    // libpng's file byte for byte.
    SurfacePtr many = makeSurface(257, 1, RGBA32);
    for (int x = 0; x < 257; ++x)
        putRaw(many.get(), x, 0, compose(many->format, Rgba{x & 0xFF, x >> 8, 7, 255}));
    Bytes reference;
    ASSERT_EQ(saveToMemory(WPX_SavePNG_RW, many.get(), reference), 0);
    ASSERT_EQ(saveWith(many.get(), PngOptions{0, 1, WPX_PNG_COMPRESSION_DEFAULT, 1}, b), 0);
    EXPECT_TRUE(b == reference);
    ASSERT_EQ(saveWith(many.get(), PngOptions{0, 1, WPX_PNG_COMPRESSION_FAST, 1}, b), 0);
    EXPECT_EQ(pngChunk(b, "IHDR")[9], 6);
}

TEST(PngCompression, ChunksCarryTheirChecksumsAndFailuresAreReported)
{
    // The well-known start of a 1 x 1 RGBA file: signature and IHDR with
    // its CRC; and the fixed IEND chunk at the end.
    SurfacePtr s = makeSurface(1, 1, RGBA32);
    putRaw(s.get(), 0, 0, compose(s->format, Rgba{1, 2, 3, 4}));
    Bytes b;
    ASSERT_EQ(saveWith(s.get(), PngOptions{0, 1, WPX_PNG_COMPRESSION_FAST, 0}, b), 0);
    const Bytes start = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0,
                         1,    0,   0,   0,   1,    8,    6,    0,    0, 0, 0x1F, 0x15, 0xC4, 0x89};
    ASSERT_GE(b.size(), start.size() + 12);
    EXPECT_TRUE(Bytes(b.begin(), b.begin() + long(start.size())) == start);
    const Bytes iend = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    EXPECT_TRUE(Bytes(b.end() - 12, b.end()) == iend);
    EXPECT_EQ(decodePng(b).at(0, 0), (Rgba{1, 2, 3, 4}));

    // Chunks PNG does not allow are refused rather than written.
    wpx::PngFileHeader bad;
    bad.width = 1;
    bad.height = 1;
    bad.colorType = 6;
    bad.transparency = {0, 1};
    StreamState st;
    SDL_RWops* rw = openStream(st);
    EXPECT_FALSE(wpx::writePngFile(rw, bad, Bytes{1}));
    bad.transparency.clear();
    bad.width = 0;
    EXPECT_FALSE(wpx::writePngFile(rw, bad, Bytes{1}));
    bad.width = 1;
    bad.colorType = 3;
    EXPECT_FALSE(wpx::writePngFile(rw, bad, Bytes{1})) << "a palette picture needs a palette";
    bad.palette.assign(3 * 257, 0);
    EXPECT_FALSE(wpx::writePngFile(rw, bad, Bytes{1}));
    EXPECT_TRUE(st.data.empty());
    SDL_RWclose(rw);

    // A stream that takes no more is the writer's failure 4.
    SurfacePtr big = doubledSurface(100, 100, RGBA32);
    for (int compression : {WPX_PNG_COMPRESSION_FAST, WPX_PNG_COMPRESSION_SMALL}) {
        StreamState full;
        full.writeBudget = 100;
        SDL_RWops* out = openStream(full);
        const PngOptions o{0, 2, compression, 0};
        EXPECT_EQ(savePngOptions(big.get(), out, o), 4);
        EXPECT_STREQ(SDL_GetError(), "WPX_png: Error has occured while saving a SDL surface to a png file");
        SDL_RWclose(out);
    }
    const PngOptions fast{0, 1, WPX_PNG_COMPRESSION_FAST, 1};
    EXPECT_EQ(savePngOptions(big.get(), nullptr, fast), 1);
    SurfacePtr odd(SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 3, 32, 0xFF, 0xFF00, 0xFF0000, 0));
    odd->format->BytesPerPixel = 5;
    StreamState none;
    SDL_RWops* quiet = openStream(none);
    EXPECT_EQ(savePngOptions(odd.get(), quiet, fast), 5);
    EXPECT_STREQ(SDL_GetError(), "WPX_png: Unknown pixel format");
    EXPECT_TRUE(none.data.empty());
    odd->format->BytesPerPixel = 4;
    SDL_RWclose(quiet);
}

TEST(PngCompression, PngcheckAcceptsEveryMode)
{
    if (std::system("command -v pngcheck >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pngcheck is not installed";
    SurfacePtr pictures[] = {doubledSurface(90, 70, RGBA32), doubledSurface(31, 9, RGB24),
                             paletteSurface(13, 11, 4, 16)};
    int written = 0;
    for (SurfacePtr& p : pictures)
        for (int compression : {WPX_PNG_COMPRESSION_FAST, WPX_PNG_COMPRESSION_SMALL})
            for (int palette : {0, 1}) {
                Bytes b;
                ASSERT_EQ(saveWith(p.get(), PngOptions{0, 2, compression, palette}, b), 0);
                const std::string name = "pngcheck_" + std::to_string(written++) + ".png";
                std::FILE* f = std::fopen(name.c_str(), "wb");
                ASSERT_NE(f, nullptr);
                std::fwrite(b.data(), 1, b.size(), f);
                std::fclose(f);
                EXPECT_EQ(std::system(("pngcheck -q " + name).c_str()), 0) << name;
                std::remove(name.c_str());
            }
}

TEST(DeflateEncoder, StreamsInflateToTheirDataWhateverItHolds)
{
    struct Case {
        Bytes data;
        size_t line, pixel;
        const char* name;
    };
    std::vector<Case> cases;
    cases.push_back({{}, 0, 1, "nothing"});
    cases.push_back({{7}, 1, 1, "one byte"});
    cases.push_back({randomBytes(100000, 1), 0, 4, "noise"});
    cases.push_back({Bytes(70000, 0x55), 0, 1, "one value"});
    // Lines that repeat: short ones, ones of every length near the 258-byte
    // match limit, and one longer than the window, which cannot be copied.
    for (size_t line : {2, 3, 4, 258, 259, 260, 261, 516, 517, 1025, 32768, 32769}) {
        Bytes row = randomBytes(line, unsigned(line));
        Bytes data;
        for (int copy = 0; copy < 4; ++copy)
            data.insert(data.end(), row.begin(), row.end());
        cases.push_back({data, line, 1, "repeated lines"});
    }
    for (const Case& c : cases) {
        Bytes stream;
        ASSERT_TRUE(wpx::deflateZlib(c.data.data(), c.data.size(), c.line, c.pixel, stream));
        EXPECT_TRUE(inflateAll(stream, c.data.size()) == c.data) << c.name << " line " << c.line;
    }
}

TEST(DeflateEncoder, ARepeatedLineCostsAFewBytesAndPiecesJoinIntoOneStream)
{
    // Noise cannot be compressed; its copy one line later costs a few
    // matches (1001 bytes: four of them).
    const Bytes row = randomBytes(1001, 9);
    Bytes twice = row;
    twice.insert(twice.end(), row.begin(), row.end());
    Bytes once, both;
    ASSERT_TRUE(wpx::deflateZlib(row.data(), row.size(), row.size(), 1, once));
    ASSERT_TRUE(wpx::deflateZlib(twice.data(), twice.size(), row.size(), 1, both));
    EXPECT_LT(both.size(), once.size() + 16);

    // Three pieces over one buffer, each with the data before it as its
    // history, joined behind one zlib header: one valid stream, and each
    // piece's bytes independent of anything but its own input.
    Bytes data;
    for (int i = 0; i < 40; ++i) {
        const Bytes part = randomBytes(3000, unsigned(i % 5));
        data.insert(data.end(), part.begin(), part.end());
    }
    const size_t cuts[] = {0, 50000, 90000, data.size()};
    Bytes stream = {0x78, 0x01};
    for (int p = 0; p < 3; ++p) {
        wpx::DeflatePiece piece;
        piece.data = data.data();
        piece.begin = cuts[p];
        piece.end = cuts[p + 1];
        piece.line = 3000;
        piece.last = p == 2;
        Bytes alone, again;
        ASSERT_TRUE(wpx::deflatePiece(piece, alone));
        ASSERT_TRUE(wpx::deflatePiece(piece, again));
        EXPECT_TRUE(alone == again);
        stream.insert(stream.end(), alone.begin(), alone.end());
    }
    const uLong check = adler32(adler32(0L, nullptr, 0), data.data(), uInt(data.size()));
    for (int shift = 24; shift >= 0; shift -= 8)
        stream.push_back(Uint8(check >> shift));
    EXPECT_TRUE(inflateAll(stream, data.size()) == data);
    // The repeats reach across the cuts: far smaller than the noise.
    EXPECT_LT(stream.size(), 5 * 3000 + 2000u);
}
