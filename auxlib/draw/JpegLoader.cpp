// JPEG reader driving libjpeg directly, giving the surfaces SDL_image 1.2 gives.
#include "auxlib/draw/JpegLoader.h"

#include "auxlib/draw/StreamBytes.h"

#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstring>

namespace auxlib::draw {

namespace {

constexpr std::size_t inputBufferLength = 4096;
// libjpeg's own tables, Huffman state and row buffers, besides the
// whole-picture coefficient arrays of a multi-scan file.
constexpr std::uint64_t workingMemory = 64u << 20;

enum class Failure { None, NotJpeg, NoPicture, TooLarge, TooManyScans, OutOfMemory, Damaged };

// Everything that must survive a long jump out of libjpeg lives here,
// outside the frame that calls setjmp, and is released by the one clean-up
// of the caller.
struct Reading {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    jpeg_source_mgr source;
    jpeg_progress_mgr progress;
    bool created = false;
    SDL_RWops* src = nullptr;
    PictureLimits limits;
    SDL_Surface* surface = nullptr;
    Failure failure = Failure::None;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::string messages;
    JOCTET buffer[inputBufferLength];
    std::jmp_buf jump;
};

Reading& reading(j_common_ptr info) { return *static_cast<Reading*>(info->client_data); }

// Nothing may leave a libjpeg callback by exception; a message that cannot
// be stored is dropped.
void note(Reading& r, const char* kind, j_common_ptr info) noexcept
{
    char text[JMSG_LENGTH_MAX] = {};
    info->err->format_message(info, text);
    try {
        r.messages.append(kind).append(text).append("\n");
    } catch (...) {
    }
}

[[noreturn]] void onError(j_common_ptr info)
{
    Reading& r = reading(info);
    note(r, "libjpeg error: ", info);
    std::longjmp(r.jump, 1);
}

// libjpeg's emit_message passes the first warning (and any trace the
// trace level asks for, none by default) here; the others it only counts.
void onMessage(j_common_ptr info) { note(reading(info), "libjpeg warning: ", info); }

void initSource(j_decompress_ptr) {}

// As libjpeg's own sources do, the end of the stream becomes a warning and
// an end-of-image marker, so a file cut short keeps the rows it has.
boolean fillInput(j_decompress_ptr info)
{
    Reading& r = reading(reinterpret_cast<j_common_ptr>(info));
    std::size_t got = readStream(r.src, r.buffer, inputBufferLength);
    if (got == 0) {
        WARNMS(info, JWRN_JPEG_EOF);
        r.buffer[0] = 0xFF;
        r.buffer[1] = JPEG_EOI;
        got = 2;
    }
    r.source.next_input_byte = r.buffer;
    r.source.bytes_in_buffer = got;
    return TRUE;
}

void skipInput(j_decompress_ptr info, long count)
{
    Reading& r = reading(reinterpret_cast<j_common_ptr>(info));
    if (count <= 0)
        return;
    while (std::size_t(count) > r.source.bytes_in_buffer) {
        count -= long(r.source.bytes_in_buffer);
        fillInput(info);
    }
    r.source.next_input_byte += count;
    r.source.bytes_in_buffer -= std::size_t(count);
}

void termSource(j_decompress_ptr) {}

// Called between the steps of every pass, the passes over the scans of a
// multi-scan file included: the one place that sees every scan however the
// markers around them are laid out.
void onProgress(j_common_ptr info)
{
    Reading& r = reading(info);
    const auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > maxJpegScans) {
        r.failure = Failure::TooManyScans;
        std::longjmp(r.jump, 1);
    }
}

void start(Reading& r)
{
    r.info.err = jpeg_std_error(&r.errors);
    r.errors.error_exit = onError;
    r.errors.output_message = onMessage;
    r.info.client_data = &r;
    jpeg_create_decompress(&r.info);
    r.created = true;
    r.info.client_data = &r; // jpeg_create_decompress clears the rest of the struct
    r.source.init_source = initSource;
    r.source.fill_input_buffer = fillInput;
    r.source.skip_input_data = skipInput;
    r.source.resync_to_restart = jpeg_resync_to_restart;
    r.source.term_source = termSource;
    r.source.bytes_in_buffer = 0;
    r.source.next_input_byte = nullptr;
    r.info.src = &r.source;
    r.progress.progress_monitor = onProgress;
    r.info.progress = &r.progress;
}

// Returns false with r.failure set (Damaged when libjpeg gave up).
bool readHeader(Reading& r)
{
    if (setjmp(r.jump)) {
        if (r.failure == Failure::None)
            r.failure = Failure::Damaged;
        return false;
    }
    start(r);
    // Tables alone (an abbreviated file) are not an error to libjpeg here.
    if (jpeg_read_header(&r.info, FALSE) != JPEG_HEADER_OK) {
        r.failure = Failure::NoPicture;
        return false;
    }
    r.width = r.info.image_width;
    r.height = r.info.image_height;
    return true;
}

// The header and everything settled from it before a row is decoded: the
// size against the limits and the output the rows decode to. The whole load
// and the header read both stop here when the file is refused. Returns
// false with r.failure set.
bool prepare(Reading& r)
{
    if (!readHeader(r))
        return false;
    if (setjmp(r.jump)) {
        if (r.failure == Failure::None)
            r.failure = Failure::Damaged;
        return false;
    }
    const bool fourComponents = r.info.num_components == 4;
    const int bytes = fourComponents ? 4 : 3;
    if (!fitsLimits(r.limits, r.width, r.height, bytes)) {
        r.failure = Failure::TooLarge;
        return false;
    }
    r.info.out_color_space = fourComponents ? JCS_CMYK : JCS_RGB;
    r.info.quantize_colors = FALSE;
    // With no backing store, a multi-scan file whose coefficient arrays
    // would pass this fails instead of taking the memory.
    r.info.mem->max_memory_to_use = long(r.limits.maxDecodedBytes * 2 + workingMemory);
    jpeg_calc_output_dimensions(&r.info);
    if (r.info.output_width != r.width || r.info.output_height != r.height) {
        r.failure = Failure::Damaged;
        return false;
    }
    return true;
}

bool decode(Reading& r)
{
    if (!prepare(r))
        return false;
    // prepare's jump target went with its frame; libjpeg errors from here
    // on land here.
    if (setjmp(r.jump)) {
        if (r.failure == Failure::None)
            r.failure = Failure::Damaged;
        return false;
    }
    const bool fourComponents = r.info.num_components == 4;
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    r.surface = fourComponents ? SDL_CreateRGBSurface(SDL_SWSURFACE, int(r.width), int(r.height), 32, 0x00FF0000,
                                                      0x0000FF00, 0x000000FF, 0xFF000000)
                               : SDL_CreateRGBSurface(SDL_SWSURFACE, int(r.width), int(r.height), 24, 0x0000FF,
                                                      0x00FF00, 0xFF0000, 0);
#else
    r.surface = fourComponents ? SDL_CreateRGBSurface(SDL_SWSURFACE, int(r.width), int(r.height), 32, 0x0000FF00,
                                                      0x00FF0000, 0xFF000000, 0x000000FF)
                               : SDL_CreateRGBSurface(SDL_SWSURFACE, int(r.width), int(r.height), 24, 0xFF0000,
                                                      0x00FF00, 0x0000FF, 0);
#endif
    if (r.surface == nullptr) {
        r.failure = Failure::OutOfMemory;
        return false;
    }
    jpeg_start_decompress(&r.info);
    while (r.info.output_scanline < r.info.output_height) {
        JSAMPROW row = static_cast<JSAMPROW>(r.surface->pixels)
                       + std::size_t(r.info.output_scanline) * std::size_t(r.surface->pitch);
        jpeg_read_scanlines(&r.info, &row, 1);
    }
    // No jpeg_finish_decompress: what follows the last row cannot change a
    // pixel, and reading it is only more work.
    return true;
}

std::string failureText(const Reading& r)
{
    switch (r.failure) {
    case Failure::NotJpeg:
        return "not a JPEG file";
    case Failure::NoPicture:
        return "no picture in the JPEG file";
    case Failure::TooLarge:
        return "picture too large (" + std::to_string(r.width) + " x " + std::to_string(r.height) + ")";
    case Failure::TooManyScans:
        return "too many scans for a JPEG file (more than " + std::to_string(maxJpegScans) + ")";
    case Failure::OutOfMemory:
        return "out of memory";
    default:
        return "damaged JPEG data";
    }
}

bool hasJpegStart(SDL_RWops* src)
{
    std::uint8_t head[3] = {};
    const int at = SDL_RWtell(src);
    const bool found = readStream(src, head, 3) == 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
    SDL_RWseek(src, at, RW_SEEK_SET);
    return found;
}

// Runs the header read or the whole decoding, and the one clean-up.
JpegLoad run(SDL_RWops* src, const PictureLimits& limits, bool wholePicture)
{
    JpegLoad load;
    if (src == nullptr) {
        load.reason = "not a JPEG file";
        return load;
    }
    const int at = SDL_RWtell(src);
    // The state is large (the input buffer) and must not move while libjpeg
    // points into it.
    Reading* r = nullptr;
    bool done = false;
    try {
        r = new Reading();
        r->src = src;
        r->limits = limits;
        if (!hasJpegStart(src))
            r->failure = Failure::NotJpeg;
        else
            done = wholePicture ? decode(*r) : prepare(*r);
        if (!done)
            load.reason = failureText(*r);
        load.messages.swap(r->messages);
    } catch (...) {
        done = false;
        try {
            load.reason = "out of memory";
        } catch (...) {
        }
    }
    if (r != nullptr) {
        if (r->created)
            jpeg_destroy_decompress(&r->info);
        load.width = r->width;
        load.height = r->height;
        load.tooLarge = r->failure == Failure::TooLarge;
        if (done && wholePicture)
            load.surface = r->surface;
        else
            SDL_FreeSurface(r->surface);
        delete r;
    }
    if (load.surface == nullptr || !wholePicture)
        SDL_RWseek(src, at, RW_SEEK_SET);
    return load;
}

} // namespace

JpegLoad loadJpeg(SDL_RWops* src, const PictureLimits& limits) { return run(src, limits, true); }

PictureHeader readJpegHeader(SDL_RWops* src, const PictureLimits& limits)
{
    const JpegLoad load = run(src, limits, false);
    PictureHeader header = headerOf(PictureFormat::Jpeg, load);
    header.messages = load.messages;
    // Every JPEG loads as RGB or CMYK samples: no palette.
    return header;
}

} // namespace auxlib::draw
