#include "saver/WPX_pngdata.h"

#include "saver/WPX_save.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace wpx {

namespace {

// Pieces of at least this much filtered data: big enough that the cost of
// each piece's flush and fresh start is lost in it.
constexpr std::size_t pieceBytes = 256 * 1024;
constexpr std::size_t window = 32 * 1024;

inline unsigned char paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return static_cast<unsigned char>(a);
    return static_cast<unsigned char>(pb <= pc ? b : c);
}

struct Piece {
    std::size_t firstRow = 0;
    std::size_t rows = 0;
    std::vector<unsigned char> deflated;
    uLong adler = 1;
    std::size_t inputBytes = 0;
    bool ok = false;
};

} // namespace

void filterPngRow(PngFilterType filter, const unsigned char* row, const unsigned char* previous, std::size_t rowBytes,
                  int bytesPerPixel, unsigned char* out)
{
    out[0] = static_cast<unsigned char>(filter);
    unsigned char* o = out + 1;
    const std::size_t bpp = std::size_t(bytesPerPixel);
    for (std::size_t i = 0; i < rowBytes; ++i) {
        const int x = row[i];
        const int a = i >= bpp ? row[i - bpp] : 0;
        const int b = previous != nullptr ? previous[i] : 0;
        const int c = previous != nullptr && i >= bpp ? previous[i - bpp] : 0;
        int predicted = 0;
        switch (filter) {
        case FilterSub:
            predicted = a;
            break;
        case FilterUp:
            predicted = b;
            break;
        case FilterAverage:
            predicted = (a + b) >> 1;
            break;
        case FilterPaeth:
            predicted = paeth(a, b, c);
            break;
        default:
            break;
        }
        o[i] = static_cast<unsigned char>(x - predicted);
    }
}

namespace {

// Filters rows [first, first + count) into out (each row with its filter byte).
void filterRows(const PngRows& rows, PngFilterType filter, std::size_t first, std::size_t count, unsigned char* out)
{
    for (std::size_t y = first; y < first + count; ++y) {
        filterPngRow(filter, rows.rows[y], y > 0 ? rows.rows[y - 1] : nullptr, rows.rowBytes, rows.bytesPerPixel,
                     out);
        out += rows.rowBytes + 1;
    }
}

void deflatePiece(const PngRows& rows, PngFilterType filter, Piece& piece, bool last)
{
    const std::size_t line = rows.rowBytes + 1;
    std::vector<unsigned char> input(piece.rows * line);
    filterRows(rows, filter, piece.firstRow, piece.rows, input.data());
    piece.inputBytes = input.size();
    piece.adler = adler32(1L, input.data(), uInt(input.size()));

    z_stream z = {};
    // Raw deflate: the zlib header and check value are written once for the
    // whole stream. The same parameters as libpng's defaults otherwise.
    const int strategy = filter == FilterNone ? Z_DEFAULT_STRATEGY : Z_FILTERED;
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, strategy) != Z_OK)
        return;
    if (piece.firstRow > 0) {
        // The data just before this piece, filtered again, as the history
        // the piece's matches may refer to.
        const std::size_t rowsBefore = std::min(piece.firstRow, (window + line - 1) / line);
        std::vector<unsigned char> before(rowsBefore * line);
        filterRows(rows, filter, piece.firstRow - rowsBefore, rowsBefore, before.data());
        const std::size_t keep = std::min(before.size(), window);
        deflateSetDictionary(&z, before.data() + before.size() - keep, uInt(keep));
    }
    // Deflated into room for the worst case, kept at its real size: the
    // pieces of a large picture wait for each other in memory.
    std::vector<unsigned char> out(deflateBound(&z, uLong(input.size())) + 16);
    z.next_in = input.data();
    z.avail_in = uInt(input.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    // A sync flush ends the piece on a byte boundary with the deflate stream
    // still open, so the next piece's blocks follow straight on.
    const int result = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
    piece.ok = last ? result == Z_STREAM_END : result == Z_OK && z.avail_in == 0;
    piece.deflated.assign(out.begin(), out.end() - z.avail_out);
    deflateEnd(&z);
}

} // namespace

namespace {

struct PieceWork {
    const PngRows* rows;
    PngFilterType filter;
    const WPX_SaveSettings* settings;
    std::vector<Piece>* pieces;
    std::atomic<bool> stopped{false};
};

// An allocation failure inside a piece ends that piece only; it is found
// afterwards. The pieces never touch SDL.
void runPiece(void* data, int index)
{
    auto& work = *static_cast<PieceWork*>(data);
    std::vector<Piece>& pieces = *work.pieces;
    if (index < 0 || std::size_t(index) >= pieces.size())
        return;
    if (work.stopped || stopRequested(*work.settings)) {
        work.stopped = true;
        return;
    }
    try {
        deflatePiece(*work.rows, work.filter, pieces[std::size_t(index)], std::size_t(index) + 1 == pieces.size());
    } catch (...) {
        pieces[std::size_t(index)].ok = false;
    }
}

} // namespace

PngDataResult compressPngRows(const PngRows& rows, PngFilterType filter, const WPX_SaveSettings& settings,
                              std::vector<unsigned char>& stream)
{
    const std::size_t line = rows.rowBytes + 1;
    const std::size_t rowsPerPiece = std::max<std::size_t>(1, (pieceBytes + line - 1) / line);
    std::vector<Piece> pieces;
    for (std::size_t y = 0; y < rows.height; y += rowsPerPiece) {
        Piece& piece = pieces.emplace_back();
        piece.firstRow = y;
        piece.rows = std::min(rowsPerPiece, rows.height - y);
    }
    if (pieces.empty())
        pieces.emplace_back();

    PieceWork work{&rows, filter, &settings, &pieces};
    if (settings.runTasks != nullptr) {
        settings.runTasks(settings.runnerData, int(pieces.size()), runPiece, &work);
    } else {
        for (std::size_t i = 0; i < pieces.size(); ++i)
            runPiece(&work, int(i));
    }
    if (work.stopped)
        return PngDataResult::Stopped;

    // The zlib header of the default level with a 32 KiB window, the
    // pieces, and the check value of all the data.
    std::size_t total = 6;
    for (const Piece& piece : pieces) {
        if (!piece.ok)
            return PngDataResult::Failed;
        total += piece.deflated.size();
    }
    stream.clear();
    stream.reserve(total);
    stream.push_back(0x78);
    stream.push_back(0x9C);
    uLong adler = 1;
    for (const Piece& piece : pieces) {
        stream.insert(stream.end(), piece.deflated.begin(), piece.deflated.end());
        adler = adler32_combine(adler, piece.adler, z_off_t(piece.inputBytes));
    }
    for (int shift = 24; shift >= 0; shift -= 8)
        stream.push_back(static_cast<unsigned char>(adler >> shift));
    return PngDataResult::Done;
}

} // namespace wpx
