// The BMP writer.
#include "saver/WPX_save.h"
#include "saver/WPX_messages.h"
#include "saver/WPX_rows.h"
#include "saver/WPX_surface.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr Uint32 fileHeaderSize = 14;
constexpr Uint32 infoHeaderSize = 40;
constexpr Uint32 pixelsPerMetre = 2835; // 72 dots per inch

Uint32 paletteEntries(const SDL_PixelFormat* format)
{
    switch (format->BitsPerPixel) {
    case 1:
        return 2;
    case 2:
        return 4;
    case 4:
        return 16;
    case 8: {
        const int colours = format->palette != nullptr ? format->palette->ncolors : 0;
        return Uint32(colours < 0 ? 0 : colours > 256 ? 256 : colours);
    }
    default:
        return 0;
    }
}

// BMP rows are padded to a multiple of four bytes. SDL's pitch already is,
// except that packed 1- and 4-bit rows must be measured from the width.
Uint32 bmpRowSize(const SDL_Surface* surface)
{
    switch (surface->format->BitsPerPixel) {
    case 1:
        return (Uint32((surface->w + 7LL) / 8) + 3) & ~3u;
    case 4:
        return (Uint32((surface->w + 1LL) / 2) + 3) & ~3u;
    default:
        return surface->pitch;
    }
}

const char bmpWriteError[] = "WPX_bmp: Error has occured while writing data";

} // namespace

int wpx::saveBmp(SDL_Surface* surface, SDL_RWops* dst, const WPX_SaveSettings& settings)
{
    wpx::clearMessages();
    if (dst == nullptr)
        return 1;
    if (!wpx::isReadableSurface(surface)) {
        SDL_SetError("WPX_bmp: Passed an invalid surface");
        return 1;
    }
    const SDL_PixelFormat* format = surface->format;
    const Uint32 colours = paletteEntries(format);
    const Uint32 rowSize = bmpRowSize(surface);
    const Uint32 pixelOffset = fileHeaderSize + infoHeaderSize + 4 * colours;
    const Uint32 imageSize = Uint32(surface->h) * rowSize;

    // SDL reports a failed write only through its error text on some
    // streams and only through the count on others; both are watched.
    bool written = true;
    written &= SDL_WriteLE16(dst, 0x4D42) == 1;                  // signature "BM"
    written &= SDL_WriteLE32(dst, pixelOffset + imageSize) == 1; // file size
    written &= SDL_WriteLE16(dst, 0) == 1;                       // reserved
    written &= SDL_WriteLE16(dst, 0) == 1;                       // reserved
    written &= SDL_WriteLE32(dst, pixelOffset) == 1;             // offset of pixel data
    written &= SDL_WriteLE32(dst, infoHeaderSize) == 1;          // header size
    written &= SDL_WriteLE32(dst, Uint32(surface->w)) == 1;      // width
    written &= SDL_WriteLE32(dst, Uint32(surface->h)) == 1;      // height, rows bottom-up
    written &= SDL_WriteLE16(dst, 1) == 1;                       // planes
    written &= SDL_WriteLE16(dst, format->BitsPerPixel) == 1;    // bits per pixel
    written &= SDL_WriteLE32(dst, 0) == 1;                       // compression: none
    written &= SDL_WriteLE32(dst, imageSize) == 1;               // image size
    written &= SDL_WriteLE32(dst, pixelsPerMetre) == 1;          // horizontal resolution
    written &= SDL_WriteLE32(dst, pixelsPerMetre) == 1;          // vertical resolution
    written &= SDL_WriteLE32(dst, colours) == 1;                 // colours used
    written &= SDL_WriteLE32(dst, colours) == 1;                 // important colours
    // Any error text stops the writer here, even one set before the call.
    if (SDL_GetError()[0] != '\0')
        return 3;

    for (Uint32 i = 0; i < colours; ++i) {
        const SDL_Color c = wpx::paletteColor(format->palette, i);
        const Uint8 entry[4] = {c.b, c.g, c.r, c.unused};
        for (Uint8 byte : entry)
            written &= SDL_RWwrite(dst, &byte, 1, 1) == 1;
    }
    if (SDL_GetError()[0] != '\0')
        return 4;

    std::unique_ptr<Uint8[]> row(new (std::nothrow) Uint8[rowSize]());
    if (!row) {
        SDL_SetError("WPX_bmp: Out of memory");
        return 5;
    }
    // The bytes past the pixels of a row stay zero.
    const wpx::RowConverter converter(format, wpx::RowTarget::Bmp, settings.referenceRows != 0);
    // A picture of no rows has no pixel to convert, whatever its format.
    if (surface->h > 0 && !converter.knowsFormat()) {
        SDL_SetError("WPX_bmp: Unknown pixel format");
        return 6;
    }
    for (int y = surface->h - 1; y >= 0; --y) {
        if ((surface->h - 1 - y) % wpx::rowsPerCheck == 0 && y != surface->h - 1 && wpx::stopRequested(settings)) {
            SDL_SetError("WPX_bmp: Save stopped");
            return WPX_SAVE_STOPPED;
        }
        converter.convert(wpx::surfaceRow(surface, y), surface->w, row.get());
        if (SDL_RWwrite(dst, row.get(), 1, int(rowSize)) != int(rowSize)) {
            SDL_SetError(bmpWriteError);
            return 10;
        }
    }
    // A header or palette write that was lost without an error text must
    // not end as success.
    if (!written) {
        SDL_SetError(bmpWriteError);
        return 10;
    }
    return 0;
}

extern "C" WPX_EXPORT int WPX_SaveBMP_RW(SDL_Surface* surface, SDL_RWops* dst)
{
    return wpx::saveBmp(surface, dst, wpx::plainSettings());
}
