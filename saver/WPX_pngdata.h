// The image data of a PNG file, filtered and compressed in independent
// pieces that several threads can work on at once.
//
// libpng compresses a picture as one zlib stream, row after row, on one
// thread. Here the filtered rows are cut into pieces of a fixed number of
// rows; each piece is deflated on its own, primed with the 32 KiB of data
// before it so that matches reaching back into the previous piece are still
// found, and ended with a sync flush so the pieces join into one valid zlib
// stream. The cut depends only on the picture, so the bytes are the same
// however the pieces are run.
#ifndef WPX_PNGDATA_H
#define WPX_PNGDATA_H

#include "saver/writepix.h"

#include <cstddef>
#include <vector>

namespace wpx {

struct PngRows {
    const unsigned char* const* rows = nullptr; // height pointers to rowBytes bytes each
    std::size_t height = 0;
    std::size_t rowBytes = 0;
    int bytesPerPixel = 1; // for the filters' left neighbour
};

// PNG filter types as written before each row.
enum PngFilterType { FilterNone = 0, FilterSub = 1, FilterUp = 2, FilterAverage = 3, FilterPaeth = 4 };

// One row filtered: the filter byte, then rowBytes filtered bytes. `previous`
// is the row above, null for the first row.
void filterPngRow(PngFilterType filter, const unsigned char* row, const unsigned char* previous, std::size_t rowBytes,
                  int bytesPerPixel, unsigned char* out);

enum class PngDataResult { Done, Failed, Stopped };

// The zlib stream of the filtered rows (zlib's default level): the pieces
// handed to the settings' task runner, each asking the abort check first.
// Failed for no memory or a zlib failure.
PngDataResult compressPngRows(const PngRows& rows, PngFilterType filter, const WPX_SaveSettings& settings,
                              std::vector<unsigned char>& stream);

} // namespace wpx

#endif
