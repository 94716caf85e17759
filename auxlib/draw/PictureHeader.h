#ifndef AUXLIB_DRAW_PICTUREHEADER_H
#define AUXLIB_DRAW_PICTUREHEADER_H

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
// memory is taken for it. PNG, BMP and JPEG, and the other kinds SDL_image
// decodes (GIF, PCX, PNM, XCF, TIFF, WebP, ILBM, ICO and CUR, and TGA by
// its extension), read where their loaders take the size they allocate for.
// Nothing when the header cannot be read; the decoder then says what it
// makes of the file.
std::optional<DeclaredSize> readDeclaredSize(const std::string& path);

} // namespace auxlib::draw

#endif
