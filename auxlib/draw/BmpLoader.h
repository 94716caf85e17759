#ifndef AUXLIB_DRAW_BMPLOADER_H
#define AUXLIB_DRAW_BMPLOADER_H

#include "auxlib/draw/PictureHeader.h"
#include "auxlib/draw/PictureLimits.h"

#include <SDL.h>
#include <cstdint>
#include <string>

namespace auxlib::draw {

struct BmpLoad {
    SDL_Surface* surface = nullptr; // null on failure; the caller owns and frees it
    bool filePalette = false;       // 1, 4 or 8 bits a pixel: the file's own colours
    bool tooLarge = false;          // refused for its declared size, before any pixel memory
    std::uint32_t width = 0;        // the size the header declares, once it was read
    std::uint32_t height = 0;
    std::string reason;             // on failure: a short English reason, e.g. "not a BMP file",
                                    // "truncated BMP file", "unsupported BMP bit count 2"
};

// Decodes a Windows or OS/2 bitmap into the surface SDL_image 1.2 makes of
// it: 1, 4 and 8 bits as an 8-bit surface with a palette of 256 entries (the
// file's colours first, black after them), 16, 24 and 32 bits as surfaces of
// that depth with the file's masks. Without masks of its own a 16-bit file
// is 5-5-5 and a 32-bit one carries alpha in its fourth byte, as SDL_image
// reads them; a 32-bit file keeps the alpha mask its header gives (headers
// of 56 bytes or more).
//
// Every header field is checked against the others and against the
// stream's length before anything is allocated: header sizes 12 (OS/2 1.x),
// 40, 52, 56, 64 (OS/2 2.x), 108 and 124; bit counts 1, 4, 8, 16, 24, 32;
// compression none, RLE8 (8 bits), RLE4 (4 bits) or bit fields (16, 32
// bits); masks that are contiguous, disjoint and inside the pixel; a palette
// and pixels that lie inside the file. Run-length data never writes outside
// the picture's rows; a run past a row's end is cut there.
//
// The stream stays the caller's and is not closed. On failure it is put
// back where it was. Nothing is printed and nothing throws.
BmpLoad loadBmp(SDL_RWops* src, const PictureLimits& limits = PictureLimits());

// The header alone, checked as loadBmp checks it within the limits, and the
// palette after it, without reading pixels: width and height as declared (0
// when the header cannot be read), the reason when loadBmp would refuse the
// header, and for 1, 4 and 8 bits entry 0 of the palette the surface gets
// (black when the header leaves no room for an entry before the pixels).
// Run-length data that would fail to decode is not seen. The stream is put
// back.
PictureHeader readBmpHeader(SDL_RWops* src, const PictureLimits& limits = PictureLimits());

} // namespace auxlib::draw

#endif
