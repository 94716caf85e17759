// The PNG writer's own encoding, beside libpng's: the rows as libpng would
// write them (the same samples after its shift and BGR transforms), an
// optional palette reduction, image data compressed by the row-aware
// deflate encoder (fast) or by libdeflate's strongest level over every
// filter (small), and the chunks written without libpng.
#ifndef WPX_PNGFAST_H
#define WPX_PNGFAST_H

#include "saver/WPX_pngchunks.h"
#include "saver/WPX_pngdata.h"
#include "saver/writepix.h"

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wpx {

// A picture as PNG rows: one index, three or four channels a pixel, of
// header.bitDepth bits each (8 but for the packed rows of a palette picture
// of few colours).
struct PngImage {
    PngFileHeader header;
    int channels = 4;
    std::vector<const std::uint8_t*> rows;
    std::vector<std::uint8_t> storage; // the rows, when they are not the surface's own

    std::size_t rowBytes() const
    {
        return (std::size_t(header.width) * std::size_t(channels) * std::size_t(header.bitDepth) + 7) / 8;
    }
};

// The rows and chunks libpng's encoding of the surface holds. Returns the
// writer's result: 0, 5 for an unknown pixel size, 11 for no memory (the
// error text set).
int describeSurface(const SDL_Surface* surface, PngImage& image);

enum class PngCompression { Zlib, Fast, Small };

// The zlib stream of the image's rows filtered with the settings' filter
// (a WPX_PNG_FILTER_* value), compressed as asked, its pieces handed to the
// settings' task runner; the bytes never depend on how they run. Failed for
// no memory or a compressor failure.
PngDataResult compressImage(const PngImage& image, PngCompression compression, const WPX_SaveSettings& settings,
                            std::vector<std::uint8_t>& stream);

// What saveOwnPng returns when the file is libpng's to write.
constexpr int useLibpng = -1;

// The PNG writer under a compression other than the default or with the
// palette on: the writer's result, or useLibpng for a picture the default
// compression writes through libpng as ever (the palette off, or more than
// 256 colours). The stream and the surface are checked by the caller.
int saveOwnPng(SDL_Surface* surface, SDL_RWops* dst, const WPX_SaveSettings& settings);

} // namespace wpx

#endif
