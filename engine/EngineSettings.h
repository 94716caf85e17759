#ifndef ENGINE_ENGINESETTINGS_H
#define ENGINE_ENGINESETTINGS_H

#include "engine/Pixwright_DLL.h"

namespace engine {

// libpng's own filter choice, then the single filters, then all five.
enum PngFilter : int {
    PngFilterDefault = 0,
    PngFilterNone = 1,
    PngFilterSub = 2,
    PngFilterUp = 3,
    PngFilterAverage = 4,
    PngFilterPaeth = 5,
    PngFilterAll = 6,
};

struct ProgressReporter {
    PixwrightProgressHandler handler = nullptr;
    void* user = nullptr;
};

// The engine-wide settings besides the colour key, as one conversion reads
// them at its start; the exports change them under a lock, so a conversion
// running on another thread sees either the old or the new value whole.
struct EngineSettings {
    int threads = 1; // resolved: 1 or more
    int pngFilter = PngFilterDefault;
    ProgressReporter progress;
};

EngineSettings currentSettings();

// The machine's core count, at least 1.
int coreCount();

} // namespace engine

#endif
