// Cost of writing one enlarged chipset picture (960 x 512, 32 bits with
// alpha, the engine's byte order) as BMP, PNG and JPEG into memory, next to
// libpng alone encoding the same rows with the same settings.
#include "saver/writepix.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace {

constexpr int width = 960;
constexpr int height = 512;

// Tile-like content: 32-pixel squares with gradients, some noise and
// transparent corners, so that the compressors meet realistic data.
SDL_Surface* makePicture()
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0x000000FF, 0x0000FF00, 0x00FF0000,
                                          0xFF000000);
    Uint32 seed = 12345;
    for (int y = 0; y < height; ++y) {
        Uint8* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int tile = (x / 32) * 7 + (y / 32) * 13;
            const int noise = int(seed >> 29);
            row[4 * x] = Uint8(tile * 11 + (x % 32) * 3 + noise);
            row[4 * x + 1] = Uint8(tile * 5 + (y % 32) * 4 + noise);
            row[4 * x + 2] = Uint8(tile * 17 + noise);
            row[4 * x + 3] = (x % 32 < 4 && y % 32 < 4) ? 0 : 255;
        }
    }
    return s;
}

struct Picture {
    Picture() : surface(makePicture()), sink(size_t(width) * height * 5) {}
    ~Picture() { SDL_FreeSurface(surface); }
    SDL_Surface* surface;
    std::vector<Uint8> sink;
};

Picture& picture()
{
    static Picture p;
    return p;
}

void runWriter(benchmark::State& state, int (*writer)(SDL_Surface*, SDL_RWops*))
{
    Picture& p = picture();
    SDL_RWops* rw = SDL_RWFromMem(p.sink.data(), int(p.sink.size()));
    size_t bytes = 0;
    for (auto _ : state) {
        SDL_RWseek(rw, 0, RW_SEEK_SET);
        if (writer(p.surface, rw) != 0) {
            state.SkipWithError(SDL_GetError());
            break;
        }
        bytes = size_t(SDL_RWtell(rw));
    }
    SDL_RWclose(rw);
    state.counters["file_bytes"] = double(bytes);
}

void BM_SaveBMP(benchmark::State& state) { runWriter(state, WPX_SaveBMP_RW); }
void BM_SavePNG(benchmark::State& state) { runWriter(state, WPX_SavePNG_RW); }
void BM_SaveJPG(benchmark::State& state) { runWriter(state, WPX_SaveJPG_RW); }

struct MemorySink {
    std::vector<Uint8>* buffer;
    size_t used;
};

void appendToSink(png_structp png, png_bytep data, png_size_t length)
{
    auto* sink = static_cast<MemorySink*>(png_get_io_ptr(png));
    std::memcpy(sink->buffer->data() + sink->used, data, length);
    sink->used += length;
}

void flushNothing(png_structp) {}

// The same rows and settings handed to libpng directly: the floor under
// the PNG writer.
void BM_LibpngAlone(benchmark::State& state)
{
    Picture& p = picture();
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; ++y)
        rows[y] = static_cast<png_bytep>(p.surface->pixels) + y * p.surface->pitch;
    size_t bytes = 0;
    for (auto _ : state) {
        MemorySink sink{&p.sink, 0};
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_write_struct(&png, &info);
            state.SkipWithError("libpng failed");
            break;
        }
        png_set_write_fn(png, &sink, appendToSink, flushNothing);
        png_set_compression_level(png, -1);
        png_color_8 sig{8, 8, 8, 0, 8};
        png_set_sBIT(png, info, &sig);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        bytes = sink.used;
    }
    state.counters["file_bytes"] = double(bytes);
}

} // namespace

BENCHMARK(BM_SaveBMP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePNG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveJPG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibpngAlone)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
