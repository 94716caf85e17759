#ifndef AUXLIB_DRAW_PICTUREHEADER_H
#define AUXLIB_DRAW_PICTUREHEADER_H

#include "auxlib/draw/PictureFormat.h"
#include "auxlib/draw/PictureLimits.h"
#include "auxlib/draw/Surface.h"

#include <cstdint>
#include <optional>
#include <string>

namespace auxlib::draw {

struct DeclaredSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size the header of a picture file declares, read without decoding
// the pixels: enough to refuse a picture too large to decode before any
// memory is taken for it. PNG, BMP, JPEG and XYZ, the kinds the engine
// decodes; a file of any other kind, or one whose header cannot be read,
// declares 0 x 0, so that nothing is decoded for its size. Nothing when the
// file cannot be opened.
std::optional<DeclaredSize> readDeclaredSize(const std::string& path);

// What loading a picture file would give, read from its header alone: the
// kind, the size, and whether the surface the reader makes carries the
// file's own palette. Each reader answers for its own kind with the rules it
// decodes by (readPngHeader, readBmpHeader, readJpegHeader, readXyzHeader),
// so the answer is the decoded surface's for every file whose pixel data is
// sound; a file whose header is sound but whose pixels are damaged still has
// one, and fails only when it is decoded.
struct PictureHeader {
    PictureFormat format = PictureFormat::Unknown;
    std::uint32_t width = 0; // as declared, once the header was read that far
    std::uint32_t height = 0;
    // The surface would be a palette one whose colours are the file's: a
    // grey PNG's made-up grey palette is none, and neither is a palette PNG
    // that loads as RGBA for its transparency.
    bool ownPalette = false;
    // Entry 0 of that palette, alpha 255 as palette pixels read back;
    // (0, 0, 0, 0) without one.
    Rgba paletteEntry0;
    // Refused for its declared size, past the limits.
    bool tooLarge = false;
    // Why the file would not load; empty when its header is sound.
    std::string reason;
    // The decoding library's warnings and its error, one per line, as the
    // reader's load gives them ("libpng warning: ...").
    std::string messages;

    bool sound() const { return reason.empty(); }
};

// A header as a reader's load settled it: the kind, the declared size and
// the refusal, if any. The palette and the decoder's messages are the
// reader's to add.
template <typename Load>
PictureHeader headerOf(PictureFormat format, const Load& load)
{
    PictureHeader header;
    header.format = format;
    header.width = load.width;
    header.height = load.height;
    header.tooLarge = load.tooLarge;
    header.reason = load.reason;
    return header;
}

// The header of the file at path, checked as loading it within the limits
// would check it (Surface::load): an unreadable file, a kind the engine does
// not decode, or a header its reader refuses gives a reason. Reads only the
// header and what its palette needs: for an XYZ file, the first 768 bytes of
// its zlib stream.
PictureHeader readPictureHeader(const std::string& path, const PictureLimits& limits = PictureLimits());

} // namespace auxlib::draw

#endif
