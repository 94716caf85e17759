#ifndef ENGINE_ENGINESETTINGS_H
#define ENGINE_ENGINESETTINGS_H

#include "engine/Pixwright_DLL.h"
#include "saver/writepix.h"

namespace engine {

struct ProgressReporter {
    PixwrightProgressHandler handler = nullptr;
    void* user = nullptr;
};

struct WorkReporter {
    PixwrightWorkHandler handler = nullptr;
    void* user = nullptr;
};

// The engine-wide settings besides the colour key, as one conversion reads
// them at its start; the exports change them under a lock, so a conversion
// running on another thread sees either the old or the new value whole.
struct EngineSettings {
    int threads = 1; // the worker pool's budget: 1 or more
    int pngFilter = WPX_PNG_FILTER_DEFAULT; // a WPX_PNG_FILTER_* value
    int pngCompression = WPX_PNG_COMPRESSION_DEFAULT; // a WPX_PNG_COMPRESSION_* value
    bool pngPalette = false;
    ProgressReporter progress;
    WorkReporter work;
};

EngineSettings currentSettings();

} // namespace engine

#endif
