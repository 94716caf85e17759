#ifndef AUXLIB_DRAW_PNGLOADER_H
#define AUXLIB_DRAW_PNGLOADER_H

#include "auxlib/draw/PictureHeader.h"
#include "auxlib/draw/PictureLimits.h"

#include <SDL.h>
#include <cstdint>
#include <string>

namespace auxlib::draw {

struct PngLoad {
    SDL_Surface* surface = nullptr; // null on failure; the caller owns and frees it
    bool filePalette = false;       // the file itself carries a palette (colour type 3)
    std::string messages;           // libpng's warnings and its error, in order, one per line,
                                    // each line "libpng warning: ..." or "libpng error: ..."
    std::string reason;             // on failure: a short English reason (for the log), e.g.
                                    // "not a PNG file", "picture too large (W x H)", "damaged PNG data"
    bool tooLarge = false;          // refused for its declared size, before any pixel memory
    std::uint32_t width = 0;        // the size the header declares, once it was read
    std::uint32_t height = 0;
};

// Peeks 8 bytes and seeks back; false on a short stream.
bool hasPngSignature(SDL_RWops* src);

// Decodes a PNG into the surface SDL_image 1.2 makes of it: 16-bit samples cut
// to their high byte, grey as an 8-bit grey palette, palette pictures as 8-bit
// (RGBA when their transparency is more than one fully transparent entry), one
// transparent grey or RGB colour as an SDL colour key. Ancillary chunks other
// than tRNS are skipped unread, so gamma and colour profiles change no pixel.
//
// SDL_image's two faults are mended: grey with tRNS gets its colour key instead
// of a grey+alpha surface SDL misreads as red and green, and the key of 16-bit
// samples is their high byte, the value the cut pixels have. A 16-bit opaque
// colour whose high bytes equal the key's is transparent too: a colour key
// cannot tell them apart.
//
// A CRC error in an ancillary chunk is a warning and the chunk is skipped, as
// libpng does by default, except in tRNS: it decides which pixels show, so the
// picture fails as damaged rather than load opaque. The pixels are complete
// once the image data is: a file cut after it still loads.
//
// The stream stays the caller's and is not closed. On failure it is put back
// where it was (when it can seek), so another reader may try it. Nothing is
// printed and nothing throws; every line of messages ends in a newline, and
// the short read that ends a truncated file is "libpng error: unexpected end
// of file".
PngLoad loadPng(SDL_RWops* src, const PictureLimits& limits = PictureLimits());

// The chunks up to the image data, read and checked as loadPng reads them,
// and the layout loadPng would decode to, without reading a pixel: the size
// as declared, the reason when loadPng would refuse the file before its
// pixels, and the palette the surface would carry (entry 0 of the file's
// PLTE). A palette picture whose tRNS needs alpha loads as RGBA and has
// none. Image data that would fail to decode is not seen. The stream is put
// back.
PictureHeader readPngHeader(SDL_RWops* src, const PictureLimits& limits = PictureLimits());

} // namespace auxlib::draw

#endif
