// Enlarging one chipset-sized cell (480 x 256, opaque, 16 x 16 grid) with
// sharpening level 2 and the alpha-grid correction, once per interpolation
// mode. The reported medians are milliseconds per cell.

#include "engine/PixEffector.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using auxlib::draw::Rgba;
using auxlib::draw::Surface;

// Tiles of varied colour with no key-coloured pixel, as a decoded chipset
// without alpha would arrive.
void fillChipset(Surface& picture)
{
    picture.create(480, 256, false);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 480; ++x) {
            const Rgba c{std::uint8_t(1 + (x * 7 + y * 3) % 250), std::uint8_t(1 + (x / 16 * 37 + y) % 250),
                         std::uint8_t(1 + (y / 16 * 53 + x) % 250), 255};
            picture.putPixel(x, y, &c);
        }
    }
}

void enlargeChipsetCell(benchmark::State& state)
{
    Surface cell;
    fillChipset(cell);
    const Rgba key{0x00, 0x75, 0x75, 255};
    const engine::PixEffector effector(static_cast<std::int32_t>(state.range(0)), key, Rgba{key.r, key.g, key.b, 0});
    for (auto _ : state) {
        Surface out(effector.enlargeCell(cell, 16, 16, 2, true));
        if (!out.isValid())
            state.SkipWithError("enlargeCell failed");
        benchmark::DoNotOptimize(out.sdl());
    }
    state.SetLabel(state.range(0) == engine::Nearest    ? "Nearest"
                   : state.range(0) == engine::Bilinear ? "Bilinear"
                                                        : "Original");
}

BENCHMARK(enlargeChipsetCell)
    ->Arg(engine::Nearest)
    ->Arg(engine::Bilinear)
    ->Arg(engine::Original)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
