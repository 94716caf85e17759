#ifndef ENGINE_CELLPIPELINE_H
#define ENGINE_CELLPIPELINE_H

#include "engine/CellList.h"
#include "engine/ConvertResult.h"
#include "engine/EngineSettings.h"
#include "engine/OutputOptions.h"
#include "engine/PixEffector.h"
#include "engine/PixSaver.h"

#include <array>
#include <string>

namespace engine {

// The cell loop of a conversion: every cell enlarged, corrected, sharpened
// and written as its selected variants, on `threads` threads.
//
// Whatever the number of threads, the outcome is that of one thread working
// through the cells in order: the same files appear in the same order (each
// written under a temporary name and moved into place cell by cell, variant
// by variant), the log gets the same entries, and the result is that of the
// first failing cell in list order, with the files of the cells before it
// kept and nothing of the cells after it left behind. Progress is reported,
// and a cancel honoured, on the calling thread after each cell. An exception
// a step raised is raised again on the calling thread at the point where one
// thread would have met it.
class CellPipeline {
public:
    struct Variant {
        bool selected = false;
        std::string suffix;
    };

    struct Job {
        std::int32_t gridWidth = 0;
        std::int32_t gridHeight = 0;
        std::int32_t sharpenLevel = 0;
        bool eraseAlphaGrid = false;
        OutputOptions options;
        std::string outputPath;
        // Natural, colour, alpha: the order the files of a cell are written in.
        std::array<Variant, 3> variants;
        WriteSettings write;
        int threads = 1;
        ProgressReporter progress;
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
