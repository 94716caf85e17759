// Cost of decoding BMP and JPEG files from memory: the engine's own readers
// against SDL_image 1.2's, which they replace (built in when SDL_image is
// installed). The pictures are the bundled chipset and charset, stored as
// 24-bit BMP and baseline JPEG by the project's writers, and a 2048 x 2048
// tile picture.
#include "auxlib/draw/BmpLoader.h"
#include "auxlib/draw/JpegLoader.h"
#include "auxlib/draw/PngLoader.h"
#include "saver/writepix.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#ifdef PIXWRIGHT_BENCH_SDL_IMAGE
#include <SDL_image.h>
#endif

#include <map>
#include <string>
#include <vector>

namespace {

using namespace auxlib::draw;

SDL_Surface* tiles(int size)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, size, size, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    Uint32 seed = 12345;
    for (int y = 0; y < size; ++y) {
        Uint8* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < size; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int tile = (x / 16) * 7 + (y / 16) * 13;
            const int noise = int(seed >> 29);
            row[3 * x] = Uint8(tile * 11 + (x % 16) * 3 + noise);
            row[3 * x + 1] = Uint8(tile * 5 + (y % 16) * 4 + noise);
            row[3 * x + 2] = Uint8(tile * 17 + noise);
        }
    }
    return s;
}

SDL_Surface* sample(const char* name)
{
    SDL_RWops* rw = SDL_RWFromFile((std::string(PIXWRIGHT_SOURCE_DIR) + "/samples/" + name).c_str(), "rb");
    PngLoad png = loadPng(rw);
    SDL_RWclose(rw);
    return png.surface;
}

std::string encoded(SDL_Surface* s, int (*writer)(SDL_Surface*, SDL_RWops*))
{
    std::vector<Uint8> sink(std::size_t(s->w) * s->h * 4 + 4096);
    SDL_RWops* rw = SDL_RWFromMem(sink.data(), int(sink.size()));
    writer(s, rw);
    const int length = SDL_RWtell(rw);
    SDL_RWclose(rw);
    return std::string(reinterpret_cast<const char*>(sink.data()), std::size_t(length));
}

// The files, made once: "chipset.bmp", "tiles2048.jpg", ...
const std::string& file(const std::string& name)
{
    static std::map<std::string, std::string> files;
    if (files.empty()) {
        const std::pair<const char*, SDL_Surface*> pictures[] = {
            {"chipset", sample("chipset.png")}, {"charset", sample("charset.png")}, {"tiles2048", tiles(2048)}};
        for (const auto& [stem, surface] : pictures) {
            files[std::string(stem) + ".bmp"] = encoded(surface, WPX_SaveBMP_RW);
            files[std::string(stem) + ".jpg"] = encoded(surface, WPX_SaveJPG_RW);
            SDL_FreeSurface(surface);
        }
    }
    return files.at(name);
}

template <typename Decode>
void run(benchmark::State& state, const std::string& name, Decode decode)
{
    const std::string& bytes = file(name);
    std::int64_t pixels = 0;
    for (auto _ : state) {
        SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
        SDL_Surface* s = decode(rw);
        SDL_RWclose(rw);
        if (s == nullptr) {
            state.SkipWithError("not decoded");
            return;
        }
        pixels += std::int64_t(s->w) * s->h;
        SDL_FreeSurface(s);
    }
    state.counters["Mpixel/s"] = benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsRate);
}

void engineBmp(benchmark::State& state, const std::string& name)
{
    run(state, name, [](SDL_RWops* rw) { return loadBmp(rw).surface; });
}

void engineJpeg(benchmark::State& state, const std::string& name)
{
    run(state, name, [](SDL_RWops* rw) { return loadJpeg(rw).surface; });
}

#ifdef PIXWRIGHT_BENCH_SDL_IMAGE
void sdlImageBmp(benchmark::State& state, const std::string& name)
{
    run(state, name, [](SDL_RWops* rw) { return IMG_LoadBMP_RW(rw); });
}

void sdlImageJpeg(benchmark::State& state, const std::string& name)
{
    run(state, name, [](SDL_RWops* rw) { return IMG_LoadJPG_RW(rw); });
}
#endif

int registerAll()
{
    for (const char* stem : {"chipset", "charset", "tiles2048"}) {
        const std::string bmp = std::string(stem) + ".bmp", jpg = std::string(stem) + ".jpg";
        benchmark::RegisterBenchmark(("bmp/engine/" + bmp).c_str(), engineBmp, bmp);
        benchmark::RegisterBenchmark(("jpeg/engine/" + jpg).c_str(), engineJpeg, jpg);
#ifdef PIXWRIGHT_BENCH_SDL_IMAGE
        benchmark::RegisterBenchmark(("bmp/sdl_image/" + bmp).c_str(), sdlImageBmp, bmp);
        benchmark::RegisterBenchmark(("jpeg/sdl_image/" + jpg).c_str(), sdlImageJpeg, jpg);
#endif
    }
    return 0;
}

const int registered = registerAll();

} // namespace

BENCHMARK_MAIN();
