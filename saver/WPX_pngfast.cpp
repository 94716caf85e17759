// The PNG writer's own encoding.
#include "saver/WPX_pngfast.h"

#include "saver/WPX_deflate.h"
#include "saver/WPX_messages.h"
#include "saver/WPX_pngdata.h"
#include "saver/WPX_pngpalette.h"
#include "saver/WPX_rows.h"
#include "saver/WPX_save.h"
#include "saver/WPX_surface.h"
#include "saver/writepix.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace wpx {

namespace {

// Pieces of at least this much filtered data for the fast encoder, cut by
// the picture alone: the bytes never depend on the thread count.
constexpr std::size_t pieceBytes = 256 * 1024;
constexpr std::size_t window = 32 * 1024;
// The small encoding tries the filters at a quick level of libdeflate and
// compresses the winner at a strong one; the strongest (12) takes about
// twice as long again for some 2 % on pictures.
constexpr int trialLevel = 6;
constexpr int smallLevel = 11;

// Runs work(i) for every i below count through the save's task runner (in
// order on the calling thread without one); every unit stands alone, so the
// order of work never shows in the results. A unit asks the abort check
// first; false when it asked to stop.
template <class Work>
bool runUnits(std::size_t count, const WPX_SaveSettings& settings, Work work)
{
    struct Units {
        Work* work;
        const WPX_SaveSettings* settings;
        std::atomic<bool> stopped{false};
    } units{&work, &settings};
    const WPX_Task task = [](void* data, int index) {
        Units& u = *static_cast<Units*>(data);
        if (u.stopped || stopRequested(*u.settings)) {
            u.stopped = true;
            return;
        }
        (*u.work)(std::size_t(index));
    };
    if (settings.runTasks != nullptr) {
        settings.runTasks(settings.runnerData, int(count), task, &units);
    } else {
        for (std::size_t i = 0; i < count; ++i)
            task(&units, int(i));
    }
    return !units.stopped;
}

// The filter a row gets under the "all five" choice: the least sum of the
// filtered bytes read as signed values, the usual measure of how well a
// filter predicts (ties to the lower type).
PngFilterType cheapestFilter(const std::uint8_t* row, const std::uint8_t* previous, std::size_t rowBytes,
                             int channels, std::vector<std::uint8_t>& scratch)
{
    scratch.resize(rowBytes + 1);
    PngFilterType best = FilterNone;
    std::uint64_t bestSum = ~std::uint64_t(0);
    for (int f = FilterNone; f <= FilterPaeth; ++f) {
        filterPngRow(PngFilterType(f), row, previous, rowBytes, channels, scratch.data());
        std::uint64_t sum = 0;
        for (std::size_t i = 1; i <= rowBytes; ++i)
            sum += scratch[i] < 128 ? scratch[i] : 256 - scratch[i];
        if (sum < bestSum) {
            bestSum = sum;
            best = PngFilterType(f);
        }
    }
    return best;
}

// A row filter choice: one type for every row, or the cheapest per row.
struct FilterChoice {
    bool perRow = false;
    PngFilterType type = FilterNone;
};

// Rows [first, first + count) filtered into out, a line (filter byte and
// row) each.
void filterLines(const PngImage& image, FilterChoice choice, std::size_t first, std::size_t count, std::uint8_t* out)
{
    const std::size_t rowBytes = image.rowBytes();
    std::vector<std::uint8_t> scratch;
    for (std::size_t y = first; y < first + count; ++y, out += rowBytes + 1) {
        const std::uint8_t* row = image.rows[y];
        const std::uint8_t* previous = y > 0 ? image.rows[y - 1] : nullptr;
        PngFilterType type = choice.type;
        if (choice.perRow)
            type = cheapestFilter(row, previous, rowBytes, image.channels, scratch);
        if (type == FilterNone) {
            out[0] = 0;
            std::memcpy(out + 1, row, rowBytes);
        } else {
            filterPngRow(type, row, previous, rowBytes, image.channels, out);
        }
    }
}

struct FastPiece {
    std::size_t firstRow = 0;
    std::size_t rows = 0;
    std::vector<std::uint8_t> deflated;
    uLong adler = 1;
    std::size_t bytes = 0;
    bool ok = false;
};

void compressFastPiece(const PngImage& image, FilterChoice choice, FastPiece& piece, bool last)
{
    const std::size_t line = image.rowBytes() + 1;
    // The rows before the piece, filtered again, as the history its
    // matches may reach back into (and the line a copied row repeats).
    const std::size_t historyRows = std::min(piece.firstRow, (window + line - 1) / line);
    const std::size_t firstRow = piece.firstRow - historyRows;
    std::vector<std::uint8_t> data((historyRows + piece.rows) * line);
    filterLines(image, choice, firstRow, historyRows + piece.rows, data.data());
    const std::size_t begin = historyRows * line;
    piece.bytes = data.size() - begin;
    // libdeflate's checksum is zlib's, computed several times faster.
    piece.adler = libdeflate_adler32(1, data.data() + begin, piece.bytes);

    DeflatePiece input;
    input.data = data.data();
    input.begin = begin;
    input.end = data.size();
    input.line = line;
    input.pixelBytes = std::size_t(image.channels);
    input.last = last;
    piece.deflated.reserve(piece.bytes / 8 + 64);
    piece.ok = deflatePiece(input, piece.deflated);
}

PngDataResult compressFast(const PngImage& image, FilterChoice choice, const WPX_SaveSettings& settings,
                           std::vector<std::uint8_t>& stream)
{
    const std::size_t line = image.rowBytes() + 1;
    const std::size_t height = image.rows.size();
    const std::size_t rowsPerPiece = std::max<std::size_t>(1, (pieceBytes + line - 1) / line);
    std::vector<FastPiece> pieces;
    for (std::size_t y = 0; y < height; y += rowsPerPiece) {
        FastPiece& piece = pieces.emplace_back();
        piece.firstRow = y;
        piece.rows = std::min(rowsPerPiece, height - y);
    }
    if (pieces.empty())
        return PngDataResult::Failed;
    const bool ran = runUnits(pieces.size(), settings, [&](std::size_t i) {
        try {
            compressFastPiece(image, choice, pieces[i], i + 1 == pieces.size());
        } catch (...) {
            pieces[i].ok = false;
        }
    });
    if (!ran)
        return PngDataResult::Stopped;

    std::size_t total = 6;
    for (const FastPiece& piece : pieces) {
        if (!piece.ok)
            return PngDataResult::Failed;
        total += piece.deflated.size();
    }
    stream.clear();
    stream.reserve(total);
    stream.push_back(0x78); // deflate with a 32 KiB window
    stream.push_back(0x01); // the fastest kind of compressor; with 0x78 a multiple of 31
    uLong adler = 1;
    for (const FastPiece& piece : pieces) {
        stream.insert(stream.end(), piece.deflated.begin(), piece.deflated.end());
        adler = adler32_combine(adler, piece.adler, z_off_t(piece.bytes));
    }
    for (int shift = 24; shift >= 0; shift -= 8)
        stream.push_back(std::uint8_t(adler >> shift));
    return PngDataResult::Done;
}

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

struct SmallCandidate {
    FilterChoice choice;
    std::size_t trialBytes = 0;
    bool ok = false;
};

// The zlib stream of data at a libdeflate level; empty for a failure.
std::vector<std::uint8_t> deflateWhole(const std::vector<std::uint8_t>& data, int level)
{
    std::vector<std::uint8_t> stream;
    std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(libdeflate_alloc_compressor(level));
    if (!compressor)
        return stream;
    stream.resize(libdeflate_zlib_compress_bound(compressor.get(), data.size()));
    stream.resize(
        libdeflate_zlib_compress(compressor.get(), data.data(), data.size(), stream.data(), stream.size()));
    return stream;
}

// Every candidate filter tried; the one whose trial is smallest (the first
// of equal ones) is compressed at the strong level.
PngDataResult compressSmall(const PngImage& image, int filter, const WPX_SaveSettings& settings,
                            std::vector<std::uint8_t>& stream)
{
    std::vector<SmallCandidate> candidates;
    auto candidate = [&](bool perRow, int type) { candidates.emplace_back().choice = {perRow, PngFilterType(type)}; };
    if (filter >= WPX_PNG_FILTER_NONE && filter <= WPX_PNG_FILTER_PAETH) {
        candidate(false, filter - WPX_PNG_FILTER_NONE);
    } else {
        if (filter != WPX_PNG_FILTER_ALL)
            for (int f = FilterNone; f <= FilterPaeth; ++f)
                candidate(false, f);
        candidate(true, FilterNone);
    }
    const std::size_t line = image.rowBytes() + 1;
    auto filtered = [&](FilterChoice choice) {
        std::vector<std::uint8_t> data(image.rows.size() * line);
        filterLines(image, choice, 0, image.rows.size(), data.data());
        return data;
    };
    if (candidates.size() > 1) {
        const bool ran = runUnits(candidates.size(), settings, [&](std::size_t i) {
            SmallCandidate& c = candidates[i];
            try {
                c.trialBytes = deflateWhole(filtered(c.choice), trialLevel).size();
                c.ok = c.trialBytes != 0;
            } catch (...) {
                c.ok = false;
            }
        });
        if (!ran)
            return PngDataResult::Stopped;
    }
    const SmallCandidate* best = &candidates.front();
    for (const SmallCandidate& c : candidates) {
        if (candidates.size() > 1 && !c.ok)
            return PngDataResult::Failed;
        if (c.trialBytes < best->trialBytes)
            best = &c;
    }
    // The winner is filtered again rather than kept: one picture's worth of
    // memory instead of one per filter.
    if (stopRequested(settings))
        return PngDataResult::Stopped;
    stream = deflateWhole(filtered(best->choice), smallLevel);
    return stream.empty() ? PngDataResult::Failed : PngDataResult::Done;
}

} // namespace

int describeSurface(const SDL_Surface* surface, PngImage& image)
{
    const SDL_PixelFormat* f = surface->format;
    PngFileHeader& header = image.header;
    header.width = std::uint32_t(surface->w);
    header.height = std::uint32_t(surface->h);
    const int w = surface->w;
    const int h = surface->h;

    if (f->BytesPerPixel == 1) {
        header.colorType = 3;
        image.channels = 1;
        const SDL_Palette* palette = f->palette;
        int colours = palette != nullptr && palette->colors != nullptr ? palette->ncolors : 0;
        colours = colours < 0 ? 0 : colours > 256 ? 256 : colours;
        for (int i = 0; i < colours; ++i) {
            header.palette.push_back(palette->colors[i].r);
            header.palette.push_back(palette->colors[i].g);
            header.palette.push_back(palette->colors[i].b);
        }
        if ((surface->flags & SDL_SRCCOLORKEY) && f->colorkey < Uint32(colours)) {
            // Every entry up to the key opaque, the key clear.
            header.transparency.assign(f->colorkey + 1, 255);
            header.transparency[f->colorkey] = 0;
        }
        image.rows.resize(std::size_t(h));
        if (f->BitsPerPixel == 1 || f->BitsPerPixel == 4) {
            image.storage.resize(std::size_t(w) * std::size_t(h));
            for (int y = 0; y < h; ++y) {
                std::uint8_t* out = image.storage.data() + std::size_t(y) * std::size_t(w);
                const Uint8* src = surfaceRow(surface, y);
                for (int x = 0; x < w; ++x)
                    out[x] = paletteIndex(src, x, f->BitsPerPixel);
                image.rows[std::size_t(y)] = out;
            }
        } else {
            for (int y = 0; y < h; ++y)
                image.rows[std::size_t(y)] = surfaceRow(surface, y);
        }
        return 0;
    }
    if (f->BytesPerPixel < 2 || f->BytesPerPixel > 4) {
        SDL_SetError("WPX_png: Unknown pixel format");
        return 5;
    }

    const bool alpha = f->Amask != 0;
    header.colorType = alpha ? 6 : 2;
    image.channels = alpha ? 4 : 3;
    const int sig[4] = {significantBits(channelBits(f->Rmask)), significantBits(channelBits(f->Gmask)),
                        significantBits(channelBits(f->Bmask)), alpha ? significantBits(channelBits(f->Amask)) : 8};
    const bool narrow = sig[0] < 8 || sig[1] < 8 || sig[2] < 8 || sig[3] < 8;
    // Full channels need no sBIT chunk: eight bits is what the header says.
    if (narrow) {
        header.significantBits = {std::uint8_t(sig[0]), std::uint8_t(sig[1]), std::uint8_t(sig[2])};
        if (alpha)
            header.significantBits.push_back(std::uint8_t(sig[3]));
    }
    // libpng takes 3-byte RGB and 4-byte RGBA rows as they are, blue first
    // when red's mask is the higher one; every other layout goes through a
    // copy of the channels by their masks.
    const bool asTheyAre = (f->BytesPerPixel == 3 && !alpha) || (f->BytesPerPixel == 4 && alpha);
    const bool swap = asTheyAre && f->Rmask > f->Bmask;

    if ((surface->flags & SDL_SRCCOLORKEY) && !alpha) {
        // The key compared with the samples as written, so widened alike.
        const Uint32 key = f->colorkey;
        const std::uint8_t r = shiftedSample(channelSample(key, f->Rmask, f->Rshift, channelBits(f->Rmask)), sig[0]);
        const std::uint8_t g = shiftedSample(channelSample(key, f->Gmask, f->Gshift, channelBits(f->Gmask)), sig[1]);
        const std::uint8_t b = shiftedSample(channelSample(key, f->Bmask, f->Bshift, channelBits(f->Bmask)), sig[2]);
        header.transparency = {0, r, 0, g, 0, b};
    }

    const std::size_t rowBytes = image.rowBytes();
    image.rows.resize(std::size_t(h));
    if (asTheyAre && !swap && !narrow) {
        for (int y = 0; y < h; ++y)
            image.rows[std::size_t(y)] = surfaceRow(surface, y);
        return 0;
    }
    if (h > 0 && rowBytes > SIZE_MAX / std::size_t(h)) {
        SDL_SetError("WPX_png: Out of memory");
        return 11;
    }
    image.storage.resize(rowBytes * std::size_t(h));
    const RowConverter channels(f, alpha ? RowTarget::ChannelsAlpha : RowTarget::Channels);
    std::uint8_t table[4][256];
    for (int c = 0; c < 4; ++c)
        for (int v = 0; v < 256; ++v)
            table[c][v] = shiftedSample(std::uint8_t(v), sig[c]);
    const int n = image.channels;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* out = image.storage.data() + std::size_t(y) * rowBytes;
        const Uint8* src = surfaceRow(surface, y);
        if (asTheyAre) {
            std::memcpy(out, src, rowBytes);
        } else {
            const Uint8* converted = channels.convert(src, w, out);
            if (converted != out)
                std::memcpy(out, converted, rowBytes);
        }
        // libpng shifts the samples by their place in the row, then swaps
        // red and blue.
        if (narrow)
            for (std::size_t i = 0; i < rowBytes; ++i)
                out[i] = table[i % std::size_t(n)][out[i]];
        if (swap)
            for (std::size_t i = 0; i < rowBytes; i += std::size_t(n))
                std::swap(out[i], out[i + 2]);
        image.rows[std::size_t(y)] = out;
    }
    return 0;
}

PngDataResult compressImage(const PngImage& image, PngCompression compression, const WPX_SaveSettings& settings,
                            std::vector<std::uint8_t>& stream)
{
    const int filter = settings.pngFilter;
    const bool single = filter >= WPX_PNG_FILTER_NONE && filter <= WPX_PNG_FILTER_PAETH;
    const PngFilterType type = single ? PngFilterType(filter - WPX_PNG_FILTER_NONE) : FilterNone;
    switch (compression) {
    case PngCompression::Zlib: {
        // libpng's own choice for a palette picture is no filter.
        PngRows rows;
        rows.rows = image.rows.data();
        rows.height = image.rows.size();
        rows.rowBytes = image.rowBytes();
        rows.bytesPerPixel = image.channels;
        return compressPngRows(rows, type, settings, stream);
    }
    case PngCompression::Fast:
        // No filter unless one is asked for: a repeated row then stays a
        // copy of the line before it.
        return compressFast(image, FilterChoice{filter == WPX_PNG_FILTER_ALL, type}, settings, stream);
    case PngCompression::Small:
        return compressSmall(image, filter, settings, stream);
    }
    return PngDataResult::Failed;
}

int saveOwnPng(SDL_Surface* surface, SDL_RWops* dst, const WPX_SaveSettings& settings)
{
    const bool fast = settings.pngCompression == WPX_PNG_COMPRESSION_FAST;
    const bool small = settings.pngCompression == WPX_PNG_COMPRESSION_SMALL;
    if (!fast && !small && settings.pngPalette == 0)
        return useLibpng;
    try {
        PngImage image;
        const int described = describeSurface(surface, image);
        if (described != 0)
            return described;
        bool reduced = false;
        if (settings.pngPalette != 0 && image.header.width != 0 && image.header.height != 0)
            reduced = reduceToPalette(image);
        // A picture the palette cannot hold, in the default compression, is
        // libpng's as before.
        if (!fast && !small && !reduced)
            return useLibpng;

        const PngCompression compression =
            fast ? PngCompression::Fast : small ? PngCompression::Small : PngCompression::Zlib;
        std::vector<std::uint8_t> stream;
        const bool empty = image.header.width == 0 || image.header.height == 0;
        const PngDataResult compressed = empty ? PngDataResult::Failed : compressImage(image, compression, settings, stream);
        if (compressed == PngDataResult::Stopped) {
            SDL_SetError("WPX_png: Save stopped");
            return WPX_SAVE_STOPPED;
        }
        if (compressed != PngDataResult::Done || !writePngFile(dst, image.header, stream)) {
            SDL_SetError("WPX_png: Error has occured while saving a SDL surface to a png file");
            return 4;
        }
        return 0;
    } catch (const std::bad_alloc&) {
        SDL_SetError("WPX_png: Out of memory");
        return 11;
    }
}

} // namespace wpx
