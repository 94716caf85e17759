// PNG reader on libpng, giving the surfaces SDL_image 1.2 gives.
#include "auxlib/draw/PngLoader.h"
#include "auxlib/draw/StreamBytes.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace auxlib::draw {

namespace {

// No chunk this loader reads comes near these; they bound what a damaged or
// hostile file can make libpng allocate or keep.
constexpr png_alloc_size_t chunkMallocMax = 8u << 20;
constexpr png_uint_32 chunkCacheMax = 128;
// The signature and the whole IHDR chunk, kept as they stream past so a
// refused size can be named although libpng never accepted the header.
constexpr std::size_t headLength = 8 + 8 + 13 + 4;

enum class Failure { None, NotPng, Truncated, TooLarge, OutOfMemory, Damaged };

// Everything that must survive a long jump out of libpng lives here, outside
// the frame that calls setjmp, and is released by the one clean-up in loadPng.
struct Reading {
    SDL_RWops* src = nullptr;
    PictureLimits limits;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytepp rows = nullptr;
    SDL_Surface* surface = nullptr;
    bool filePalette = false;
    Failure failure = Failure::None;
    bool transparencyDamaged = false;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::uint8_t head[headLength] = {};
    std::size_t consumed = 0;
    std::string messages;
    std::jmp_buf jump;
};

// Nothing may leave a libpng callback by exception; a message that cannot be
// stored is dropped.
void note(Reading& r, const char* kind, const char* text) noexcept
{
    try {
        r.messages.append(kind).append(text != nullptr ? text : "").append("\n");
    } catch (...) {
    }
}

// libpng keeps asking for bytes whatever a short read returns, so a chunk
// that claims 2 GiB would have it spin past the end of the file for good.
void readFromStream(png_structp png, png_bytep data, png_size_t length)
{
    Reading& r = *static_cast<Reading*>(png_get_io_ptr(png));
    const std::size_t got = readStream(r.src, data, length);
    for (std::size_t i = 0; i < got && r.consumed + i < headLength; ++i)
        r.head[r.consumed + i] = data[i];
    r.consumed += got;
    if (got < length) {
        r.failure = Failure::Truncated;
        png_error(png, "unexpected end of file");
    }
}

[[noreturn]] void onError(png_structp png, png_const_charp text)
{
    Reading& r = *static_cast<Reading*>(png_get_error_ptr(png));
    note(r, "libpng error: ", text);
    std::longjmp(r.jump, 1);
}

void onWarning(png_structp png, png_const_charp text)
{
    Reading& r = *static_cast<Reading*>(png_get_error_ptr(png));
    note(r, "libpng warning: ", text);
    // A damaged tRNS chunk is dropped by libpng like any ancillary chunk, but
    // it is the one that decides which pixels show: the picture is damaged.
    if (text != nullptr && std::strcmp(text, "tRNS: CRC error") == 0)
        r.transparencyDamaged = true;
}

std::uint32_t bigEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// The 8-bit level a tRNS sample stands for. Below 16 bits libpng compares
// only the sample's low bits (the format wants the others zero) and widens
// them as it widens grey pixels (3 of 2 bits -> 255); 16-bit samples keep
// their high byte, as png_set_strip_16 does with the pixels.
png_byte keyLevel(png_uint_16 sample, int bitDepth)
{
    if (bitDepth == 16)
        return png_byte(sample >> 8);
    const unsigned top = (1u << bitDepth) - 1;
    return png_byte((sample & top) * (255 / top));
}

// The index SDL_image keys on: the one fully transparent entry when every
// other tRNS entry is opaque; -1 without one, -2 when the entries need alpha.
int paletteKey(png_structp png, png_infop info)
{
    png_bytep alpha = nullptr;
    int count = 0;
    png_get_tRNS(png, info, &alpha, &count, nullptr);
    int key = -1;
    for (int i = 0; i < count; ++i) {
        if (alpha[i] == 0 && key < 0)
            key = i;
        else if (alpha[i] != 255)
            return -2;
    }
    return key;
}

std::uint32_t widthLimit(const PictureLimits& limits)
{
    return limits.maxWidth < sdlWidthLimit ? limits.maxWidth : sdlWidthLimit;
}

std::uint32_t heightLimit(const PictureLimits& limits)
{
    return limits.maxHeight < sdlHeightLimit ? limits.maxHeight : sdlHeightLimit;
}

// SDL_image's surface for the decoded rows: masks for everything but a
// palette, grey included (SDL still gives an 8-bit surface its palette).
SDL_Surface* createSurface(png_uint_32 width, png_uint_32 height, int colourType, int channels)
{
    Uint32 rMask = 0, gMask = 0, bMask = 0, aMask = 0;
    if (colourType != PNG_COLOR_TYPE_PALETTE) {
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
        rMask = 0x000000FF;
        gMask = 0x0000FF00;
        bMask = 0x00FF0000;
        aMask = channels == 4 ? 0xFF000000 : 0;
#else
        const int shift = channels == 4 ? 0 : 8;
        rMask = 0xFF000000 >> shift;
        gMask = 0x00FF0000 >> shift;
        bMask = 0x0000FF00 >> shift;
        aMask = 0x000000FF >> shift;
#endif
    }
    return SDL_CreateRGBSurface(SDL_SWSURFACE, int(width), int(height), 8 * channels, rMask, gMask, bMask, aMask);
}

// Grey gets 256 grey levels; a palette picture the file's entries, while the
// black ones SDL made past them stay, so indices past the palette read black.
void fillPalette(png_structp png, png_infop info, int colourType, SDL_Palette* palette)
{
    if (palette == nullptr)
        return;
    if (colourType == PNG_COLOR_TYPE_GRAY) {
        palette->ncolors = 256;
        for (int i = 0; i < 256; ++i)
            palette->colors[i].r = palette->colors[i].g = palette->colors[i].b = Uint8(i);
        return;
    }
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &entries, &count) != 0 && count > 0) {
        palette->ncolors = count;
        for (int i = 0; i < count; ++i) {
            palette->colors[i].r = entries[i].red;
            palette->colors[i].g = entries[i].green;
            palette->colors[i].b = entries[i].blue;
        }
    }
}

// How the decoded rows are laid out and keyed, settled from the chunks
// before the image data.
struct Layout {
    int colourType = 0; // of the rows as decoded: a palette picture with alpha is RGBA
    int channels = 0;
    bool keyed = false;
    bool keyIsRgb = false;
    Uint32 keyIndex = 0;
    png_byte keyRgb[3] = {};
};

// Everything decided before a pixel is read: the chunks up to the image
// data, the layout the rows decode to and the size that layout takes. The
// whole load and the header read both stop here when the file is refused.
// Returns false with r.failure set (Damaged when libpng gave up).
bool prepare(Reading& r, Layout& layout)
{
    if (setjmp(r.jump)) {
        if (r.failure == Failure::None)
            r.failure = Failure::Damaged;
        return false;
    }
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, onError, onWarning);
    r.info = r.png != nullptr ? png_create_info_struct(r.png) : nullptr;
    if (r.info == nullptr) {
        r.failure = Failure::OutOfMemory;
        return false;
    }
    png_set_read_fn(r.png, &r, readFromStream);
    png_set_sig_bytes(r.png, 8);
    png_set_user_limits(r.png, widthLimit(r.limits), heightLimit(r.limits));
    png_set_chunk_malloc_max(r.png, chunkMallocMax);
    png_set_chunk_cache_max(r.png, chunkCacheMax);
    // Every ancillary chunk but tRNS goes unparsed: SDL_image used none of
    // them, and text or profile chunks are only work and risk here.
    png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);

    png_read_info(r.png, r.info);
    int bitDepth = 0, colourType = 0;
    png_get_IHDR(r.png, r.info, &r.width, &r.height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    r.filePalette = colourType == PNG_COLOR_TYPE_PALETTE;
    if (r.transparencyDamaged) {
        r.failure = Failure::Damaged;
        return false;
    }

    png_set_strip_16(r.png);
    png_set_interlace_handling(r.png);
    png_set_packing(r.png);
    // Grey stays one channel; png_set_expand (SDL_image's choice) would turn
    // a tRNS grey into grey+alpha, a layout SDL has no masks for.
    if (colourType == PNG_COLOR_TYPE_GRAY)
        png_set_expand_gray_1_2_4_to_8(r.png);
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(r.png);
    // The colour key: a palette index or grey level, or the three levels of an
    // RGB colour.
    if (png_get_valid(r.png, r.info, PNG_INFO_tRNS)) {
        png_color_16p colour = nullptr;
        png_get_tRNS(r.png, r.info, nullptr, nullptr, &colour);
        if (colourType == PNG_COLOR_TYPE_PALETTE) {
            const int index = paletteKey(r.png, r.info);
            if (index == -2)
                png_set_expand(r.png);
            layout.keyed = index >= 0;
            layout.keyIndex = Uint32(index);
        } else if (colourType == PNG_COLOR_TYPE_GRAY) {
            layout.keyed = true;
            layout.keyIndex = keyLevel(colour->gray, bitDepth);
        } else if (colourType == PNG_COLOR_TYPE_RGB) {
            layout.keyed = layout.keyIsRgb = true;
            layout.keyRgb[0] = keyLevel(colour->red, bitDepth);
            layout.keyRgb[1] = keyLevel(colour->green, bitDepth);
            layout.keyRgb[2] = keyLevel(colour->blue, bitDepth);
        }
    }
    png_read_update_info(r.png, r.info);
    layout.colourType = png_get_color_type(r.png, r.info);
    layout.channels = png_get_channels(r.png, r.info);

    const std::uint64_t pitch = (std::uint64_t(r.width) * layout.channels + 3) / 4 * 4;
    if (pitch * r.height > r.limits.maxDecodedBytes) {
        r.failure = Failure::TooLarge;
        return false;
    }
    return true;
}

// Returns false with r.failure set (Damaged when libpng gave up).
bool decode(Reading& r)
{
    Layout layout;
    if (!prepare(r, layout))
        return false;
    // prepare's jump target went with its frame; libpng errors from here on
    // land here.
    if (setjmp(r.jump)) {
        if (r.failure == Failure::None)
            r.failure = Failure::Damaged;
        return false;
    }
    r.surface = createSurface(r.width, r.height, layout.colourType, layout.channels);
    r.rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * r.height));
    if (r.surface == nullptr || r.rows == nullptr) {
        r.failure = Failure::OutOfMemory;
        return false;
    }
    if (layout.keyed) {
        Uint32 key = layout.keyIndex;
        if (layout.keyIsRgb)
            key = SDL_MapRGB(r.surface->format, layout.keyRgb[0], layout.keyRgb[1], layout.keyRgb[2]);
        SDL_SetColorKey(r.surface, SDL_SRCCOLORKEY, key);
    }
    fillPalette(r.png, r.info, layout.colourType, r.surface->format->palette);
    for (png_uint_32 y = 0; y < r.height; ++y)
        r.rows[y] = static_cast<png_bytep>(r.surface->pixels) + std::size_t(y) * r.surface->pitch;
    // Like SDL_image, no png_read_end: what follows the image data cannot
    // change a pixel, and a file cut after it still has them all.
    png_read_image(r.png, r.rows);
    return true;
}

std::string failureText(const Reading& r)
{
    switch (r.failure) {
    case Failure::NotPng:
        return "not a PNG file";
    case Failure::Truncated:
        return "truncated PNG file";
    case Failure::TooLarge:
        return "picture too large (" + std::to_string(r.width) + " x " + std::to_string(r.height) + ")";
    case Failure::OutOfMemory:
        return "out of memory";
    default:
        return "damaged PNG data";
    }
}

// libpng refuses an oversized IHDR before it reports any size: the size comes
// from the header bytes as they went past.
void nameRefusedSize(Reading& r)
{
    if (r.width != 0 || r.consumed < headLength || std::memcmp(r.head + 12, "IHDR", 4) != 0)
        return;
    const std::uint32_t w = bigEndian32(r.head + 16);
    const std::uint32_t h = bigEndian32(r.head + 20);
    if (w > widthLimit(r.limits) || h > heightLimit(r.limits)) {
        r.failure = Failure::TooLarge;
        r.width = w;
        r.height = h;
    }
}

} // namespace

bool hasPngSignature(SDL_RWops* src)
{
    if (src == nullptr)
        return false;
    const int start = SDL_RWtell(src);
    png_byte signature[8];
    const bool found = readStream(src, signature, 8) == 8 && png_sig_cmp(signature, 0, 8) == 0;
    SDL_RWseek(src, start, RW_SEEK_SET);
    return found;
}

namespace {

// What the header read needs from the reading before libpng lets go of it.
struct HeaderFacts {
    bool paletteSurface = false;
    SDL_Color entry0{0, 0, 0, 0};
};

// The whole load, or the header alone up to the layout, and the one
// clean-up. The header read always puts the stream back.
PngLoad run(SDL_RWops* src, const PictureLimits& limits, HeaderFacts* header)
{
    PngLoad result;
    Reading r;
    r.src = src;
    r.limits = limits;
    const int start = src != nullptr ? SDL_RWtell(src) : -1;
    bool decoded = false;
    try {
        if (src == nullptr || readStream(src, r.head, 8) != 8 || png_sig_cmp(r.head, 0, 8) != 0) {
            r.failure = Failure::NotPng;
        } else {
            r.consumed = 8;
            if (header == nullptr) {
                decoded = decode(r);
            } else {
                Layout layout;
                decoded = prepare(r, layout);
                if (decoded) {
                    header->paletteSurface = layout.colourType == PNG_COLOR_TYPE_PALETTE;
                    // The palette the surface would get, in a table as SDL
                    // makes it: 256 entries, black until filled.
                    SDL_Color colours[256] = {};
                    SDL_Palette palette{256, colours};
                    fillPalette(r.png, r.info, layout.colourType, &palette);
                    header->entry0 = colours[0];
                }
            }
            if (!decoded)
                nameRefusedSize(r);
        }
        if (!decoded)
            result.reason = failureText(r);
    } catch (...) {
        decoded = false;
        try {
            result.reason = "out of memory";
        } catch (...) {
        }
    }
    std::free(r.rows);
    png_destroy_read_struct(&r.png, r.info != nullptr ? &r.info : nullptr, nullptr);
    if (decoded && header == nullptr) {
        result.surface = r.surface;
    } else {
        SDL_FreeSurface(r.surface);
        if (start >= 0)
            SDL_RWseek(src, start, RW_SEEK_SET);
    }
    result.filePalette = r.filePalette;
    result.tooLarge = r.failure == Failure::TooLarge;
    result.width = r.width;
    result.height = r.height;
    result.messages.swap(r.messages);
    return result;
}

} // namespace

PngLoad loadPng(SDL_RWops* src, const PictureLimits& limits) { return run(src, limits, nullptr); }

PictureHeader readPngHeader(SDL_RWops* src, const PictureLimits& limits)
{
    HeaderFacts facts;
    const PngLoad load = run(src, limits, &facts);
    PictureHeader header = headerOf(PictureFormat::Png, load);
    header.messages = load.messages;
    // A palette picture decoded as RGBA for its transparency has lost its
    // palette; grey's made-up one was never the file's.
    if (header.sound() && load.filePalette && facts.paletteSurface) {
        header.ownPalette = true;
        header.paletteEntry0 = Rgba{facts.entry0.r, facts.entry0.g, facts.entry0.b, 255};
    }
    return header;
}

} // namespace auxlib::draw
