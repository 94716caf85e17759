#ifndef ENGINE_CELLPIPELINE_H
#define ENGINE_CELLPIPELINE_H

#include "engine/CellList.h"
#include "engine/ConvertResult.h"
#include "engine/EngineSettings.h"
#include "engine/OutputNaming.h"
#include "engine/PixEffector.h"
#include "engine/PixSaver.h"

#include <array>
#include <string>

namespace engine {

// The cell loop of a conversion: every cell enlarged, corrected, sharpened
// and written as its selected variants, on the threads of the worker pool.
//
// Each cell goes through one list of steps: prepare, resample, correct,
// sharpen, write. The resampling and the sharpening are cut into bands of
// at most bandRows target rows (the reference kernels take a cell whole),
// which may run side by side; each selected variant's file is one part of
// the write. Those bands and files are the units of the work progress.
//
// Whatever the number of threads, the outcome is that of one thread working
// through the cells in order: the same files appear in the same order (each
// written under a temporary name and moved into place cell by cell, variant
// by variant), the log gets the same entries, and the result is that of the
// first failing cell in list order, with the files of the cells before it
// kept and nothing of the cells after it left behind. Progress is reported,
// and a cancel honoured, on the calling thread: the cell progress after each
// cell, the work progress as units finish. An exception a step raised is
// raised again on the calling thread at the point where one thread would
// have met it.
class CellPipeline {
public:
    static constexpr int bandRows = 64;

    using Variant = CellVariant;

    struct Job {
        std::int32_t gridWidth = 0;
        std::int32_t gridHeight = 0;
        std::int32_t sharpenLevel = 0;
        bool eraseAlphaGrid = false;
        KernelSet kernels = KernelSet::Rows;
        OutputOptions options;
        std::string outputPath;
        // Natural, colour, alpha: the order the files of a cell are written in.
        std::array<Variant, 3> variants;
        // The pixel kernels, hooks and stop check are filled in by the
        // pipeline.
        WriteSettings write;
        int threads = 1;
        ProgressReporter progress;
        WorkReporter work;
    };

    CellPipeline(const PixEffector& effector, Job job);

    // Converted, Cancelled, CellNotConverted, or the failed variant's code
    // (NaturalNotSaved, ColorNotSaved, AlphaNotSaved).
    ConvertResult run(const CellList& cells);

    int filesWritten() const { return filesWritten_; }

private:
    const PixEffector& effector_;
    Job job_;
    int filesWritten_ = 0;
};

} // namespace engine

#endif
