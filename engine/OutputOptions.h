#ifndef ENGINE_OUTPUTOPTIONS_H
#define ENGINE_OUTPUTOPTIONS_H

#include <string>

namespace engine {

enum OutputFormat { Bmp = 0, Png = 1, Jpeg = 2 };

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
