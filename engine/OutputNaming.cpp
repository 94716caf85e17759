#include "engine/OutputNaming.h"

#include <boost/format.hpp>

namespace engine {

std::string extensionFor(int format)
{
    switch (format) {
    case Bmp:
        return "bmp";
    case Png:
        return "png";
    case Jpeg:
        return "jpg";
    default:
        return std::string();
    }
}

std::string makeOutputFileName(const OutputOptions& options, const std::string& outputPath, int cellIndex,
                               const std::string& suffix)
{
    const std::string extension = extensionFor(options.format);
    if (options.numbered) {
        if (suffix.empty())
            return (boost::format("%s_%02d.%s") % outputPath % cellIndex % extension).str();
        return (boost::format("%s_%02d_%s.%s") % outputPath % cellIndex % suffix % extension).str();
    }
    if (suffix.empty())
        return (boost::format("%s.%s") % outputPath % extension).str();
    return (boost::format("%s_%s.%s") % outputPath % suffix % extension).str();
}

} // namespace engine
