#ifndef ENGINE_OUTPUTNAMING_H
#define ENGINE_OUTPUTNAMING_H

#include "engine/Pixwright_DLL.h"

#include <string>

namespace engine {

enum OutputFormat { Bmp = PIXWRIGHT_FORMAT_BMP, Png = PIXWRIGHT_FORMAT_PNG, Jpeg = PIXWRIGHT_FORMAT_JPEG };

// How every picture of one conversion is written.
struct OutputOptions {
    int format = Bmp;
    // True when the conversion yields other than exactly one picture, so
    // file names carry the cell index.
    bool numbered = false;
};

// "bmp", "png", "jpg"; empty for an unknown format, so the name ends in a
// full stop and the saver refuses it.
std::string extensionFor(int format);

// outputPath[_NN][_suffix].ext, the index zero-padded to two digits.
std::string makeOutputFileName(const OutputOptions& options, const std::string& outputPath, int cellIndex,
                               const std::string& suffix);

} // namespace engine

#endif
