// Save dispatch by type name, and the BMP writer.
#include "saver/writepix.h"
#include "saver/WPX_messages.h"
#include "saver/WPX_rows.h"
#include "saver/WPX_surface.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <new>

namespace {

struct SaveType {
    const char* name;
    int (*save)(SDL_Surface*, SDL_RWops*);
};

// Searched in order; the first match wins.
const SaveType saveTypes[] = {
    {"BMP", WPX_SaveBMP_RW},
    {"PNG", WPX_SavePNG_RW},
    {"JPG", WPX_SaveJPG_RW},
    {"JPEG", WPX_SaveJPG_RW},
};

// Whole-string equality after upper-casing both sides with the C locale
// rules in force, so "png" and "Png" name the same writer.
bool sameTypeName(const char* given, const char* known)
{
    for (; *given != '\0' && *known != '\0'; ++given, ++known)
        if (std::toupper((unsigned char)*given) != std::toupper((unsigned char)*known))
            return false;
    return *given == '\0' && *known == '\0';
}

const SaveType* findSaveType(const char* type)
{
    for (const SaveType& row : saveTypes)
        if (sameTypeName(type, row.name))
            return &row;
    return nullptr;
}

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

extern "C" {

WPX_EXPORT const SDL_version* WPX_Linked_Version(void)
{
    static SDL_version version;
    version.major = 1;
    version.minor = 2;
    version.patch = 4;
    return &version;
}

WPX_EXPORT int WPX_Save(SDL_Surface* surface, const char* file)
{
    // The file is opened (and so created or truncated) before its type is
    // looked at: a name with an unknown type leaves an empty file behind.
    SDL_RWops* dst = SDL_RWFromFile(file, "wb");
    const char* dot = file != nullptr ? std::strrchr(file, '.') : nullptr;
    const char* type = dot != nullptr ? dot + 1 : nullptr;
    if (dst == nullptr)
        return 1;
    return WPX_Save_RW(surface, dst, 1, type);
}

WPX_EXPORT int WPX_SaveTyped(SDL_Surface* surface, const char* file, const char* type)
{
    SDL_RWops* dst = SDL_RWFromFile(file, "wb");
    if (dst == nullptr)
        return 1;
    return WPX_Save_RW(surface, dst, 1, type);
}

WPX_EXPORT int WPX_Save_RW(SDL_Surface* surface, SDL_RWops* dst, int freedst, const char* type)
{
    wpx::clearMessages();
    if (dst == nullptr) {
        SDL_SetError("Passed a NULL data source");
        return 1;
    }
    if (type == nullptr) {
        SDL_SetError("Passed a NULL type");
        if (freedst)
            SDL_RWclose(dst);
        return 2;
    }
    if (SDL_RWseek(dst, 0, RW_SEEK_CUR) < 0) {
        SDL_SetError("Can't seek in this data source");
        if (freedst)
            SDL_RWclose(dst);
        return 3;
    }
    const int start = SDL_RWseek(dst, 0, RW_SEEK_CUR);

    const SaveType* saveType = findSaveType(type);
    if (saveType == nullptr) {
        if (freedst)
            SDL_RWclose(dst);
        SDL_SetError("Unsupported image format");
        return 4;
    }
    SDL_RWseek(dst, start, RW_SEEK_SET);
    const int result = saveType->save(surface, dst);
    if (freedst)
        SDL_RWclose(dst);
    return result;
}

WPX_EXPORT int WPX_SaveBMP_RW(SDL_Surface* surface, SDL_RWops* dst)
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
    const wpx::RowConverter converter(format, wpx::RowTarget::Bmp);
    // A picture of no rows has no pixel to convert, whatever its format.
    if (surface->h > 0 && !converter.knowsFormat()) {
        SDL_SetError("WPX_bmp: Unknown pixel format");
        return 6;
    }
    for (int y = surface->h - 1; y >= 0; --y) {
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

} // extern "C"
