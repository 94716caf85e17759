#ifndef AUXLIB_DRAW_XYZLOADER_H
#define AUXLIB_DRAW_XYZLOADER_H

#include "auxlib/draw/PictureHeader.h"
#include "auxlib/draw/PictureLimits.h"

#include <SDL.h>
#include <cstdint>
#include <string>

namespace auxlib::draw {

// The older editor's picture file: "XYZ1", the width and the height as
// little-endian 16-bit values, then one zlib stream of 768 palette bytes
// (256 x R, G, B) and width x height palette indices, row by row.
inline constexpr std::size_t xyzHeaderLength = 8;
inline constexpr std::size_t xyzPaletteLength = 768;

struct XyzLoad {
    SDL_Surface* surface = nullptr; // null on failure; the caller owns and frees it
    bool tooLarge = false;          // refused for its declared size, before anything was inflated
    std::uint32_t width = 0;        // the size the header declares, once it was read
    std::uint32_t height = 0;
    std::string reason;             // on failure: a short English reason, e.g. "not an XYZ file",
                                    // "picture too large (W x H)", "XYZ data shorter than its picture"
};

// Decodes an XYZ file into the surface a palette PNG gives: 8 bits a pixel,
// the file's 256 colours, no colour key. The declared size is checked
// against the limits before anything is inflated; the stream must inflate
// to exactly 768 + width x height bytes (inflating stops as soon as it
// passes that) and end there with its checksum. Bytes after the stream are
// not read. The stream stays the caller's; on failure it is put back where
// it was. Nothing is printed and nothing throws.
XyzLoad loadXyz(SDL_RWops* src, const PictureLimits& limits = PictureLimits());

// The header checked as loadXyz checks it within the limits, and the
// palette: only the first 768 bytes of the zlib stream are inflated, so
// the picture's indices, and whether the stream holds them all, are not
// seen. Every XYZ picture carries its own palette. The stream is put back.
PictureHeader readXyzHeader(SDL_RWops* src, const PictureLimits& limits = PictureLimits());

} // namespace auxlib::draw

#endif
