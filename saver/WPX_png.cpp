// PNG writer on libpng.
#include "saver/WPX_save.h"
#include "saver/WPX_messages.h"
#include "saver/WPX_pngdata.h"
#include "saver/WPX_pngfast.h"
#include "saver/WPX_rows.h"
#include "saver/WPX_surface.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Everything that must survive a long jump out of libpng lives here, outside
// the frame that calls setjmp, and is released by the one clean-up in
// WPX_SavePNG_RW.
struct PngJob {
    SDL_Surface* surface = nullptr;
    SDL_RWops* dst = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytep copy = nullptr;
    png_bytepp rows = nullptr;
    const WPX_SaveSettings* settings = nullptr;
    std::vector<unsigned char> data; // image data compressed in pieces
};

// libpng's filter masks for the writer's filter numbers; 0 keeps libpng's
// own choice (none for palette pictures, all five tried per row otherwise).
int filterMask(int filter)
{
    switch (filter) {
    case WPX_PNG_FILTER_NONE:
        return PNG_FILTER_NONE;
    case WPX_PNG_FILTER_SUB:
        return PNG_FILTER_SUB;
    case WPX_PNG_FILTER_UP:
        return PNG_FILTER_UP;
    case WPX_PNG_FILTER_AVERAGE:
        return PNG_FILTER_AVG;
    case WPX_PNG_FILTER_PAETH:
        return PNG_FILTER_PAETH;
    case WPX_PNG_FILTER_ALL:
        return PNG_ALL_FILTERS;
    default:
        return 0;
    }
}

void writeToStream(png_structp png, png_bytep data, png_size_t length)
{
    SDL_RWops* dst = static_cast<SDL_RWops*>(png_get_io_ptr(png));
    // A lost write must not end as a valid-looking success; png_error jumps
    // back to the writer's recovery point.
    if (SDL_RWwrite(dst, data, 1, int(length)) != int(length))
        png_error(png, "write to the data source failed");
}

// libpng's messages are never printed; they are kept for the caller, whose
// failure report may carry them (WPX_LastMessages).
void keepWarning(png_structp, png_const_charp message)
{
    wpx::addMessage("libpng", "warning", message);
}

[[noreturn]] void jumpOnError(png_structp png, png_const_charp message)
{
    wpx::addMessage("libpng", "error", message);
    png_longjmp(png, 1);
}

// A single filter other than libpng's own choice, written in pieces on
// several threads; libpng's choice and the "all" heuristic stay libpng's.
bool pieceFilter(int filter, wpx::PngFilterType& type)
{
    // The single filters are numbered in the order of PNG's filter types.
    if (filter < WPX_PNG_FILTER_NONE || filter > WPX_PNG_FILTER_PAETH)
        return false;
    type = wpx::PngFilterType(filter - WPX_PNG_FILTER_NONE);
    return true;
}

// libpng would fflush() the I/O pointer if it were ever asked to flush and
// had no function of its own; the stream is no FILE.
void flushNothing(png_structp)
{
}

enum class RowSource { Surface, ChannelCopy, IndexCopy };

// Returns the writer's result; a libpng error lands back here with 4.
int encodePng(PngJob& job)
{
    if (setjmp(png_jmpbuf(job.png))) {
        SDL_SetError("WPX_png: Error has occured while saving a SDL surface to a png file");
        return 4;
    }
    const SDL_Surface* surface = job.surface;
    const SDL_PixelFormat* f = surface->format;

    png_set_write_fn(job.png, job.dst, writeToStream, flushNothing);
    png_set_compression_level(job.png, -1); // zlib's default level
    if (filterMask(job.settings->pngFilter) != 0)
        png_set_filter(job.png, PNG_FILTER_TYPE_BASE, filterMask(job.settings->pngFilter));
    png_set_packing(job.png);

    int colorType;
    switch (f->BytesPerPixel) {
    case 1:
        colorType = PNG_COLOR_TYPE_PALETTE;
        break;
    case 2:
    case 3:
    case 4:
        colorType = f->Amask != 0 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
        break;
    default:
        SDL_SetError("WPX_png: Unknown pixel format");
        return 5;
    }

    const int redBits = wpx::channelBits(f->Rmask);
    const int greenBits = wpx::channelBits(f->Gmask);
    const int blueBits = wpx::channelBits(f->Bmask);
    const int alphaBits = wpx::channelBits(f->Amask);
    png_color_8 sig = {};
    if (colorType != PNG_COLOR_TYPE_PALETTE) {
        sig.red = wpx::significantBits(redBits);
        sig.green = wpx::significantBits(greenBits);
        sig.blue = wpx::significantBits(blueBits);
        sig.gray = 0;
        sig.alpha = colorType == PNG_COLOR_TYPE_RGB_ALPHA ? wpx::significantBits(alphaBits) : 0;
        png_set_sBIT(job.png, job.info, &sig);
        // Eight significant bits in every channel leave nothing to shift, but
        // libpng would still run the transform over every byte of the rows.
        const bool narrow = sig.red < 8 || sig.green < 8 || sig.blue < 8
                            || (colorType == PNG_COLOR_TYPE_RGB_ALPHA && sig.alpha < 8);
        if (narrow)
            png_set_shift(job.png, &sig);
    }

    // Rows taken from the surface as they are may hold blue first; the
    // converted copies are always red, green, blue.
    const bool rowsAsTheyAre = (f->BytesPerPixel == 3 && colorType == PNG_COLOR_TYPE_RGB)
                               || (f->BytesPerPixel == 4 && colorType == PNG_COLOR_TYPE_RGB_ALPHA);
    if (f->Rmask > f->Bmask && rowsAsTheyAre)
        png_set_bgr(job.png);

    const png_uint_32 w = png_uint_32(surface->w);
    const png_uint_32 h = png_uint_32(surface->h);
    png_set_IHDR(job.png, job.info, w, h, 8, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);

    int colours = 0;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        const SDL_Palette* palette = f->palette;
        colours = palette != nullptr && palette->colors != nullptr ? palette->ncolors : 0;
        colours = colours < 0 ? 0 : colours > 256 ? 256 : colours;
        png_color entries[256];
        for (int i = 0; i < colours; ++i)
            entries[i] = png_color{palette->colors[i].r, palette->colors[i].g, palette->colors[i].b};
        png_set_PLTE(job.png, job.info, entries, colours);
    }

    // 16-bit pixels, 32-bit ones without alpha and 24-bit ones with alpha
    // have no byte layout libpng reads; packed 1- and 4-bit rows are spread
    // to one index per byte, as the header promises eight-bit samples.
    RowSource source = RowSource::Surface;
    int outOfMemory = 0;
    if (f->BytesPerPixel == 2) {
        source = RowSource::ChannelCopy;
        outOfMemory = 7;
    } else if (f->BytesPerPixel == 4 && f->Amask == 0) {
        source = RowSource::ChannelCopy;
        outOfMemory = 8;
    } else if (f->BytesPerPixel == 3 && f->Amask != 0) {
        // Three bytes a pixel that hold an alpha channel as well: an RGBA
        // row has four, so libpng would read past the end of the surface's
        // rows.
        source = RowSource::ChannelCopy;
        outOfMemory = 8;
    } else if (f->BitsPerPixel == 1 || f->BitsPerPixel == 4) {
        source = RowSource::IndexCopy;
        outOfMemory = 9;
    }

    size_t stride = surface->pitch;
    if (source != RowSource::Surface) {
        stride = png_get_rowbytes(job.png, job.info);
        if (stride != 0 && h > SIZE_MAX / stride)
            job.copy = nullptr;
        else
            job.copy = static_cast<png_bytep>(std::malloc(stride * h == 0 ? 1 : stride * h));
        if (job.copy == nullptr) {
            SDL_SetError("WPX_png: Out of memory");
            return outOfMemory;
        }
        const wpx::RowConverter channels(
            f, colorType == PNG_COLOR_TYPE_RGB_ALPHA ? wpx::RowTarget::ChannelsAlpha : wpx::RowTarget::Channels,
            job.settings->referenceRows != 0);
        for (png_uint_32 y = 0; y < h; ++y) {
            const Uint8* src = wpx::surfaceRow(surface, int(y));
            png_bytep out = job.copy + y * stride;
            if (source == RowSource::IndexCopy) {
                for (png_uint_32 x = 0; x < w; ++x)
                    out[x] = wpx::paletteIndex(src, int(x), f->BitsPerPixel);
            } else {
                channels.convert(src, int(w), out);
            }
        }
    }

    if (surface->flags & SDL_SRCCOLORKEY) {
        const Uint32 key = f->colorkey;
        if (colorType == PNG_COLOR_TYPE_RGB) {
            // The key is compared with the samples after the shift
            // transform, so it is widened the same way.
            png_color_16 transparent = {};
            transparent.red = wpx::shiftedSample(wpx::channelSample(key, f->Rmask, f->Rshift, redBits), sig.red);
            transparent.green = wpx::shiftedSample(wpx::channelSample(key, f->Gmask, f->Gshift, greenBits), sig.green);
            transparent.blue = wpx::shiftedSample(wpx::channelSample(key, f->Bmask, f->Bshift, blueBits), sig.blue);
            png_set_tRNS(job.png, job.info, nullptr, 0, &transparent);
        } else if (colorType == PNG_COLOR_TYPE_PALETTE && key < Uint32(colours)) {
            // A palette image carries its transparency as one alpha per
            // entry: every entry up to the key opaque, the key clear.
            png_byte alpha[256];
            for (Uint32 i = 0; i < key; ++i)
                alpha[i] = 255;
            alpha[key] = 0;
            png_set_tRNS(job.png, job.info, alpha, int(key + 1), nullptr);
        }
        // An RGBA image already says what is transparent; PNG allows no
        // tRNS chunk beside an alpha channel.
    }

    job.rows = static_cast<png_bytepp>(std::malloc((h == 0 ? 1 : h) * sizeof(png_bytep)));
    if (job.rows == nullptr) {
        SDL_SetError("WPX_png: Out of memory");
        return 11;
    }
    png_bytep first = job.copy != nullptr ? job.copy : static_cast<png_bytep>(surface->pixels);
    for (png_uint_32 y = 0; y < h; ++y)
        job.rows[y] = first + y * stride;

    png_write_info(job.png, job.info);

    // The rows go out as they stand when no transform has work to do on
    // them: eight significant bits in every channel and red first.
    wpx::PngFilterType pieces;
    const bool untransformed = colorType == PNG_COLOR_TYPE_PALETTE
                               || (sig.red == 8 && sig.green == 8 && sig.blue == 8
                                   && (colorType != PNG_COLOR_TYPE_RGB_ALPHA || sig.alpha == 8)
                                   && !(f->Rmask > f->Bmask && source == RowSource::Surface));
    if (pieceFilter(job.settings->pngFilter, pieces) && untransformed) {
        wpx::PngRows rows;
        rows.rows = job.rows;
        rows.height = h;
        rows.rowBytes = png_get_rowbytes(job.png, job.info);
        rows.bytesPerPixel = colorType == PNG_COLOR_TYPE_PALETTE ? 1 : colorType == PNG_COLOR_TYPE_RGB ? 3 : 4;
        // Nothing with a destructor may live here: png_error jumps past it.
        switch (wpx::compressPngRows(rows, pieces, *job.settings, job.data)) {
        case wpx::PngDataResult::Stopped:
            SDL_SetError("WPX_png: Save stopped");
            return WPX_SAVE_STOPPED;
        case wpx::PngDataResult::Failed:
            png_error(job.png, "out of memory or a compression failure");
        case wpx::PngDataResult::Done:
            break;
        }
        // IDAT chunks of at most 1 MiB, then the end.
        constexpr size_t idatBytes = 1 << 20;
        for (size_t at = 0; at < job.data.size(); at += idatBytes)
            png_write_chunk(job.png, reinterpret_cast<png_const_bytep>("IDAT"), job.data.data() + at,
                            std::min(idatBytes, job.data.size() - at));
        png_write_chunk(job.png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
        return 0;
    }
    // Row by row as png_write_image would, in chunks with a stop check
    // between them.
    for (png_uint_32 y = 0; y < h; y += wpx::rowsPerCheck) {
        if (y > 0 && wpx::stopRequested(*job.settings)) {
            SDL_SetError("WPX_png: Save stopped");
            return WPX_SAVE_STOPPED;
        }
        png_write_rows(job.png, job.rows + y, std::min<png_uint_32>(wpx::rowsPerCheck, h - y));
    }
    png_write_end(job.png, nullptr);
    return 0;
}

} // namespace

extern "C" WPX_EXPORT int WPX_SavePNG_RW(SDL_Surface* surface, SDL_RWops* dst)
{
    return wpx::savePng(surface, dst, wpx::plainSettings());
}

extern "C" WPX_EXPORT int WPX_SavePNGEx_RW(SDL_Surface* surface, SDL_RWops* dst, int filter, int threads)
{
    (void)threads;
    WPX_SaveSettings settings = wpx::plainSettings();
    settings.pngFilter = filter;
    return wpx::savePng(surface, dst, settings);
}

int wpx::savePng(SDL_Surface* surface, SDL_RWops* dst, const WPX_SaveSettings& settings)
{
    wpx::clearMessages();
    if (dst == nullptr)
        return 1;
    if (!wpx::isReadableSurface(surface)) {
        SDL_SetError("WPX_png: Passed an invalid surface");
        return 1;
    }
    // The fast and small compressions and the palette pictures are the
    // writer's own encoding.
    const int own = wpx::saveOwnPng(surface, dst, settings);
    if (own != wpx::useLibpng)
        return own;
    PngJob job;
    job.surface = surface;
    job.dst = dst;
    job.settings = &settings;
    // The version of the png.h compiled against; libpng refuses a library
    // whose structures differ from it.
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, keepWarning);
    if (job.png == nullptr) {
        SDL_SetError("WPX_png: Couldn't allocate memory for PNG file or incompatible PNG dll");
        return 2;
    }
    int result;
    job.info = png_create_info_struct(job.png);
    if (job.info == nullptr) {
        SDL_SetError("WPX_png: Couldn't create image file infomation for PNG file");
        result = 3;
    } else {
        result = encodePng(job);
    }
    std::free(job.rows);
    std::free(job.copy);
    png_destroy_write_struct(&job.png, &job.info);
    return result;
}
