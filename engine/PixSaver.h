#ifndef ENGINE_PIXSAVER_H
#define ENGINE_PIXSAVER_H

#include "auxlib/draw/Surface.h"
#include "engine/OutputOptions.h"

#include <string>

namespace engine {

using auxlib::draw::ResultCode;
using auxlib::draw::Surface;

// Writes one picture as its three variants: as it is (alpha included), its
// colour channels alone, and its alpha channel as a grey picture. The format
// follows the file name's extension. The picture itself is never changed.
class PixSaver {
public:
    static ResultCode writeNatural(const Surface& surface, const std::string& fileName);
    static ResultCode writeColor(const Surface& surface, const std::string& fileName);
    // A picture without alpha has nothing to write here and succeeds.
    static ResultCode writeAlpha(const Surface& surface, const std::string& fileName);
};

// Name one variant of a cell and write it; 3 for a cell holding no picture.
ResultCode saveNaturalCell(const OutputOptions& options, const Surface& cell, const std::string& outputPath,
                           int cellIndex, const std::string& suffix);
ResultCode saveColorCell(const OutputOptions& options, const Surface& cell, const std::string& outputPath,
                         int cellIndex, const std::string& suffix);
ResultCode saveAlphaCell(const OutputOptions& options, const Surface& cell, const std::string& outputPath,
                         int cellIndex, const std::string& suffix);

} // namespace engine

#endif
