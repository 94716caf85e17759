// Enlarging one chipset-sized cell (480 x 256, opaque, 16 x 16 grid) with
// sharpening level 2 and the alpha-grid correction, once per interpolation
// mode, on the per-pixel reference (enlargeChipsetCell) and on the row path
// the conversions run (enlargeChipsetCellRows). The reported medians are
// milliseconds per cell.
//
// The made-up cell has no flat area and no key: every pixel differs from its
// neighbours, the slowest case for the pixel-art modes, which decide most
// pixels of real pictures by their first comparison. enlargeSampleChipsetRows
// runs the row path on the bundled samples/chipset.png (flat tiles on the
// key) for the usual case.

#include "engine/CellEnlargement.h"
#include "engine/PixEffector.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

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

const char* modeName(std::int64_t mode)
{
    switch (mode) {
    case engine::Nearest:
        return "Nearest";
    case engine::Bilinear:
        return "Bilinear";
    case engine::Original:
        return "Original";
    case engine::Scale2x:
        return "Scale2x";
    case engine::Xbr:
        return "xBR";
    default:
        return "?";
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
    state.SetLabel(modeName(state.range(0)));
}

// The row path's enlargeCell, as the conversions run it.
void enlargeRows(benchmark::State& state, const Surface& cell)
{
    const Rgba key{0x00, 0x75, 0x75, 255};
    const engine::PixEffector effector(static_cast<std::int32_t>(state.range(0)), key, Rgba{key.r, key.g, key.b, 0});
    for (auto _ : state) {
        Surface out(engine::enlargeCell(engine::KernelSet::Rows, effector, cell, 16, 16, 2, true));
        if (!out.isValid())
            state.SkipWithError("enlargeCell failed");
        benchmark::DoNotOptimize(out.sdl());
    }
    state.SetLabel(modeName(state.range(0)));
}

void enlargeChipsetCellRows(benchmark::State& state)
{
    Surface cell;
    fillChipset(cell);
    enlargeRows(state, cell);
}

void enlargeSampleChipsetRows(benchmark::State& state)
{
    // The sample lies beside this file's folder in the source tree.
    const std::string here = __FILE__;
    const std::string sample = here.substr(0, here.rfind("/bench/") + 1) + "samples/chipset.png";
    Surface cell;
    if (cell.load(sample) != auxlib::draw::Success) {
        state.SkipWithError(("cannot load " + sample).c_str());
        return;
    }
    enlargeRows(state, cell);
}

void everyMode(benchmark::internal::Benchmark* b)
{
    for (int mode : {engine::Nearest, engine::Bilinear, engine::Original, engine::Scale2x, engine::Xbr})
        b->Arg(mode);
    b->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
}

BENCHMARK(enlargeChipsetCell)->Apply(everyMode);
BENCHMARK(enlargeChipsetCellRows)->Apply(everyMode);
BENCHMARK(enlargeSampleChipsetRows)->Apply(everyMode);

} // namespace

BENCHMARK_MAIN();
