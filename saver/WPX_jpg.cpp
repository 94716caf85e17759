// JPEG writer on libjpeg (interface version 62).
#include "saver/writepix.h"
#include "saver/WPX_surface.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>

static_assert(JPEG_LIB_VERSION == 62, "writepix is built against the libjpeg 62 interface");

namespace {

constexpr int outputBufferSize = 4096;
constexpr int jpegQuality = 75;

const char jpgWriteError[] = "WPX_jpg: Error has occured while writing a data";

// libjpeg's five destination members first, so that libjpeg can use a
// pointer to this record as its own.
struct Destination {
    jpeg_destination_mgr pub;
    SDL_RWops* dst;
    JOCTET buffer[outputBufferSize];
    bool writeFailed;
};

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf recovery;
};

Destination* destinationOf(j_compress_ptr cinfo)
{
    return reinterpret_cast<Destination*>(cinfo->dest);
}

void initDestination(j_compress_ptr cinfo)
{
    Destination* d = destinationOf(cinfo);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = outputBufferSize;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    Destination* d = destinationOf(cinfo);
    if (SDL_RWwrite(d->dst, d->buffer, 1, outputBufferSize) != outputBufferSize) {
        SDL_SetError(jpgWriteError);
        d->writeFailed = true;
        return FALSE;
    }
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = outputBufferSize;
    return TRUE;
}

// Small pictures reach the stream only here, so the count is checked as
// well: a lost tail would otherwise pass for a finished file.
void termDestination(j_compress_ptr cinfo)
{
    Destination* d = destinationOf(cinfo);
    const int left = int(outputBufferSize - d->pub.free_in_buffer);
    if (SDL_RWwrite(d->dst, d->buffer, 1, left) != left && !d->writeFailed) {
        SDL_SetError(jpgWriteError);
        d->writeFailed = true;
    }
}

[[noreturn]] void jumpToRecovery(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->recovery, 1);
}

void discardMessage(j_common_ptr)
{
}

bool writeFailed(const jpeg_compress_struct& cinfo)
{
    const Destination* d = reinterpret_cast<const Destination*>(cinfo.dest);
    return d != nullptr && d->writeFailed;
}

// Turns one surface row into red, green, blue bytes; the row is returned
// untouched when it already is in that order.
class JpegRowConverter {
public:
    explicit JpegRowConverter(const SDL_Surface* surface)
        : surface_(surface),
          f_(surface->format),
          red_(f_->Rmask, 8),
          green_(f_->Gmask, 8),
          blue_(f_->Bmask, 8),
          rgbBytes_(f_->BytesPerPixel == 3 && f_->Rmask == 0x000000FF && f_->Gmask == 0x0000FF00
                    && f_->Bmask == 0x00FF0000)
    {
    }

    bool knowsFormat() const { return f_->BytesPerPixel >= 1 && f_->BytesPerPixel <= 4; }

    JSAMPROW convert(int y, JSAMPROW out) const
    {
        const Uint8* src = wpx::surfaceRow(surface_, y);
        const int w = surface_->w;
        switch (f_->BytesPerPixel) {
        case 1:
            for (int x = 0; x < w; ++x) {
                const SDL_Color c = wpx::paletteColor(f_->palette, wpx::paletteIndex(src, x, f_->BitsPerPixel));
                put(out, x, c.r, c.g, c.b);
            }
            return out;
        case 2:
            for (int x = 0; x < w; ++x) {
                const Uint32 p = wpx::readPixel16(src + 2 * x);
                put(out, x, red_((p & f_->Rmask) >> f_->Rshift), green_((p & f_->Gmask) >> f_->Gshift),
                    blue_((p & f_->Bmask) >> f_->Bshift));
            }
            return out;
        case 3:
            if (rgbBytes_)
                return const_cast<JSAMPROW>(src); // libjpeg only reads its input rows
            for (int x = 0; x < w; ++x) {
                const Uint8* p = src + 3 * x;
                const Uint32 v = p[0] | (Uint32(p[1]) << 8) | (Uint32(p[2]) << 16);
                put(out, x, (v & f_->Rmask) >> f_->Rshift, (v & f_->Gmask) >> f_->Gshift,
                    (v & f_->Bmask) >> f_->Bshift);
            }
            return out;
        default:
            for (int x = 0; x < w; ++x) {
                const Uint32 p = wpx::readPixel32(src + 4 * x);
                put(out, x, (p & f_->Rmask) >> f_->Rshift, (p & f_->Gmask) >> f_->Gshift,
                    (p & f_->Bmask) >> f_->Bshift);
            }
            return out;
        }
    }

private:
    static void put(JSAMPROW out, int x, Uint32 r, Uint32 g, Uint32 b)
    {
        out[3 * x] = JSAMPLE(r);
        out[3 * x + 1] = JSAMPLE(g);
        out[3 * x + 2] = JSAMPLE(b);
    }

    const SDL_Surface* surface_;
    const SDL_PixelFormat* f_;
    wpx::ChannelScale red_, green_, blue_;
    bool rgbBytes_;
};

// Returns the writer's result; a fatal libjpeg error lands back here. The
// compressor lives in the caller, which destroys it on every path.
int encodeJpeg(jpeg_compress_struct& cinfo, ErrorManager& errors, const SDL_Surface* surface, SDL_RWops* dst)
{
    if (setjmp(errors.recovery)) {
        // A refused flush ends in libjpeg's "cannot suspend" error; the
        // write failure is the reason to report.
        if (writeFailed(cinfo))
            return 10;
        SDL_SetError("WPX_jpg: JPEG loading error");
        return 2;
    }

    jpeg_create_compress(&cinfo);
    cinfo.image_width = JDIMENSION(surface->w);
    cinfo.image_height = JDIMENSION(surface->h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, jpegQuality, TRUE); // baseline-compatible tables

    j_common_ptr common = reinterpret_cast<j_common_ptr>(&cinfo);
    auto* d = static_cast<Destination*>((*cinfo.mem->alloc_small)(common, JPOOL_PERMANENT, sizeof(Destination)));
    if (d == nullptr) {
        SDL_SetError("WPX_jpg: Out of memory");
        return 5;
    }
    d->pub.init_destination = initDestination;
    d->pub.empty_output_buffer = emptyOutputBuffer;
    d->pub.term_destination = termDestination;
    d->dst = dst;
    d->writeFailed = false;
    cinfo.dest = &d->pub;

    auto line = static_cast<JSAMPROW>((*cinfo.mem->alloc_large)(common, JPOOL_PERMANENT, 3 * size_t(surface->w)));
    if (line == nullptr) {
        SDL_SetError("WPX_jpg: Out of memory");
        return 6;
    }

    jpeg_start_compress(&cinfo, TRUE);
    const JpegRowConverter converter(surface);
    if (!converter.knowsFormat()) {
        SDL_SetError("WPX_jpg: Unknown pixel format");
        return 8;
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = converter.convert(int(cinfo.next_scanline), line);
        // After a refused flush the compressor stands still; feeding the
        // row again would never end.
        if (jpeg_write_scanlines(&cinfo, &row, 1) == 0 || d->writeFailed) {
            SDL_SetError(jpgWriteError);
            return 10;
        }
    }
    jpeg_finish_compress(&cinfo);
    return d->writeFailed ? 10 : 0;
}

} // namespace

extern "C" WPX_EXPORT int WPX_SaveJPG_RW(SDL_Surface* surface, SDL_RWops* dst)
{
    if (dst == nullptr)
        return 1;
    if (!wpx::isReadableSurface(surface)) {
        SDL_SetError("WPX_jpg: Passed an invalid surface");
        return 1;
    }
    jpeg_compress_struct cinfo = {};
    ErrorManager errors = {};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jumpToRecovery;
    errors.pub.output_message = discardMessage;

    const int result = encodeJpeg(cinfo, errors, surface, dst);
    jpeg_destroy_compress(&cinfo);
    return result;
}
