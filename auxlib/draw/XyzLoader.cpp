#include "auxlib/draw/XyzLoader.h"

#include "auxlib/draw/StreamBytes.h"

#include <zlib.h>

#include <cstring>
#include <optional>
#include <vector>

namespace auxlib::draw {

namespace {

constexpr std::size_t inputChunk = 64 * 1024;

enum class Inflated { Exact, Short, Long, Damaged, Truncated, OutOfMemory };

// Inflates src into the palette, then into each row's first `width` bytes,
// then checks that the stream ends right there. Without a surface it stops
// as soon as the palette is full (Exact), whatever follows.
Inflated inflateInto(SDL_RWops* src, std::uint8_t* palette, SDL_Surface* surface)
{
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK)
        return Inflated::OutOfMemory;
    // The palette alone is 768 bytes, a few hundred in the file at most.
    std::vector<std::uint8_t> input(surface != nullptr ? inputChunk : 1024);
    const std::size_t rows = surface != nullptr ? std::size_t(surface->h) : 0;
    // Target 0 is the palette, target 1 + y the row y.
    std::size_t target = 0;
    const std::size_t targets = 1 + rows;
    auto place = [&](std::size_t t) {
        if (t == 0) {
            z.next_out = palette;
            z.avail_out = uInt(xyzPaletteLength);
        } else {
            z.next_out = static_cast<std::uint8_t*>(surface->pixels) + (t - 1) * std::size_t(surface->pitch);
            z.avail_out = uInt(surface->w);
        }
    };
    place(0);
    std::uint8_t spare = 0;
    bool pastPicture = false;
    Inflated result = Inflated::Truncated;
    for (;;) {
        if (z.avail_in == 0) {
            const std::size_t got = readStream(src, input.data(), input.size());
            if (got == 0)
                break; // the stream ended before zlib did
            z.next_in = input.data();
            z.avail_in = uInt(got);
        }
        const int status = inflate(&z, Z_NO_FLUSH);
        if (status == Z_DATA_ERROR || status == Z_NEED_DICT) {
            result = Inflated::Damaged;
            break;
        }
        if (status == Z_MEM_ERROR) {
            result = Inflated::OutOfMemory;
            break;
        }
        if (pastPicture && z.avail_out == 0) {
            // One byte more than the picture holds.
            result = Inflated::Long;
            break;
        }
        if (surface == nullptr && z.avail_out == 0) {
            result = Inflated::Exact;
            break;
        }
        while (!pastPicture && z.avail_out == 0) {
            if (++target == targets) {
                pastPicture = true;
                z.next_out = &spare;
                z.avail_out = 1;
            } else {
                place(target);
            }
        }
        if (status == Z_STREAM_END) {
            result = pastPicture ? Inflated::Exact : Inflated::Short;
            break;
        }
    }
    inflateEnd(&z);
    return result;
}

const char* inflatedText(Inflated inflated)
{
    switch (inflated) {
    case Inflated::Short:
        return "XYZ data shorter than its picture";
    case Inflated::Long:
        return "XYZ data longer than its picture";
    case Inflated::Damaged:
        return "damaged XYZ data";
    case Inflated::Truncated:
        return "truncated XYZ file";
    default:
        return "out of memory";
    }
}

// The file's 768 palette bytes as the surface's 256 colours.
void fillPalette(const std::uint8_t* bytes, SDL_Palette* colours)
{
    colours->ncolors = 256;
    for (int i = 0; i < 256; ++i) {
        colours->colors[i].r = bytes[3 * i];
        colours->colors[i].g = bytes[3 * i + 1];
        colours->colors[i].b = bytes[3 * i + 2];
        colours->colors[i].unused = 0;
    }
}

// Reads the 8-byte header and checks the size it declares; false with
// load.reason set.
bool readHeader(SDL_RWops* src, const PictureLimits& limits, XyzLoad& load)
{
    std::uint8_t header[xyzHeaderLength];
    const std::size_t got = readStream(src, header, sizeof header);
    if (got < 4 || std::memcmp(header, "XYZ1", 4) != 0) {
        load.reason = "not an XYZ file";
        return false;
    }
    if (got < sizeof header) {
        load.reason = "truncated XYZ file";
        return false;
    }
    load.width = littleEndian16(header + 4);
    load.height = littleEndian16(header + 6);
    const std::string size = std::to_string(load.width) + " x " + std::to_string(load.height);
    if (load.width == 0 || load.height == 0) {
        load.reason = "picture of no pixels (" + size + ")";
        return false;
    }
    if (!fitsLimits(limits, load.width, load.height, 1)) {
        load.tooLarge = true;
        load.reason = "picture too large (" + size + ")";
        return false;
    }
    return true;
}

XyzLoad decode(SDL_RWops* src, const PictureLimits& limits)
{
    XyzLoad load;
    if (!readHeader(src, limits, load))
        return load;
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, int(load.width), int(load.height), 8, 0, 0, 0, 0);
    if (surface == nullptr || surface->format->palette == nullptr) {
        SDL_FreeSurface(surface);
        load.reason = "out of memory";
        return load;
    }
    std::uint8_t palette[xyzPaletteLength];
    const Inflated inflated = inflateInto(src, palette, surface);
    if (inflated != Inflated::Exact) {
        SDL_FreeSurface(surface);
        load.reason = inflatedText(inflated);
        return load;
    }
    fillPalette(palette, surface->format->palette);
    load.surface = surface;
    return load;
}

} // namespace

XyzLoad loadXyz(SDL_RWops* src, const PictureLimits& limits)
{
    if (src == nullptr) {
        XyzLoad load;
        load.reason = "not an XYZ file";
        return load;
    }
    const int start = SDL_RWtell(src);
    XyzLoad load;
    try {
        load = decode(src, limits);
    } catch (...) {
        // Only the reading buffer can throw, before any surface exists.
        load = XyzLoad();
        load.reason = "out of memory";
    }
    if (load.surface == nullptr && start >= 0)
        SDL_RWseek(src, start, RW_SEEK_SET);
    return load;
}

PictureHeader readXyzHeader(SDL_RWops* src, const PictureLimits& limits)
{
    XyzLoad load;
    if (src == nullptr) {
        load.reason = "not an XYZ file";
        return headerOf(PictureFormat::Xyz, load);
    }
    const int start = SDL_RWtell(src);
    std::optional<Rgba> entry0;
    try {
        if (readHeader(src, limits, load)) {
            std::uint8_t palette[xyzPaletteLength];
            const Inflated inflated = inflateInto(src, palette, nullptr);
            if (inflated == Inflated::Exact) {
                // The colours as the load puts them into the surface.
                SDL_Color colours[256] = {};
                SDL_Palette table{256, colours};
                fillPalette(palette, &table);
                entry0 = Rgba{colours[0].r, colours[0].g, colours[0].b, 255};
            } else {
                load.reason = inflatedText(inflated);
            }
        }
    } catch (...) {
        load.reason = "out of memory";
    }
    if (start >= 0)
        SDL_RWseek(src, start, RW_SEEK_SET);
    PictureHeader header = headerOf(PictureFormat::Xyz, load);
    if (header.sound() && entry0) {
        header.ownPalette = true;
        header.paletteEntry0 = *entry0;
    }
    return header;
}

} // namespace auxlib::draw
