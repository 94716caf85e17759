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
// memory is taken for it. PNG, BMP, JPEG and XYZ, the kinds the engine
// decodes; a file of any other kind, or one whose header cannot be read,
// declares 0 x 0, so that nothing is decoded for its size. Nothing when the
// file cannot be opened.
std::optional<DeclaredSize> readDeclaredSize(const std::string& path);

} // namespace auxlib::draw

#endif
