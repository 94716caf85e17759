// JPEG writer on libjpeg (interface version 62).
#include "saver/WPX_save.h"
#include "saver/WPX_messages.h"
#include "saver/WPX_rows.h"
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
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    wpx::addMessage("libjpeg", "error", text);
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

// Returns the writer's result; a fatal libjpeg error lands back here. The
// compressor lives in the caller, which destroys it on every path.
int encodeJpeg(jpeg_compress_struct& cinfo, ErrorManager& errors, const SDL_Surface* surface, SDL_RWops* dst,
               const WPX_SaveSettings& settings)
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
    const wpx::RowConverter converter(surface->format, wpx::RowTarget::Rgb, settings.referenceRows != 0);
    if (!converter.knowsFormat()) {
        SDL_SetError("WPX_jpg: Unknown pixel format");
        return 8;
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        // The compressor is left unfinished; destroying it is clean-up
        // enough.
        if (cinfo.next_scanline > 0 && cinfo.next_scanline % wpx::rowsPerCheck == 0 && wpx::stopRequested(settings)) {
            SDL_SetError("WPX_jpg: Save stopped");
            return WPX_SAVE_STOPPED;
        }
        // libjpeg only reads its input rows, so a row already in red, green,
        // blue order is handed over as it is.
        JSAMPROW row = const_cast<JSAMPROW>(
            converter.convert(wpx::surfaceRow(surface, int(cinfo.next_scanline)), surface->w, line));
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

int wpx::saveJpg(SDL_Surface* surface, SDL_RWops* dst, const WPX_SaveSettings& settings)
{
    wpx::clearMessages();
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

    const int result = encodeJpeg(cinfo, errors, surface, dst, settings);
    jpeg_destroy_compress(&cinfo);
    return result;
}

extern "C" WPX_EXPORT int WPX_SaveJPG_RW(SDL_Surface* surface, SDL_RWops* dst)
{
    return wpx::saveJpg(surface, dst, wpx::plainSettings());
}
