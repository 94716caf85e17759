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

// The size the header of a PNG, BMP or JPEG file declares, read without
// decoding the pixels: enough to refuse a picture too large to decode
// before any memory is taken for it. Nothing for other files, or when the
// header cannot be read.
std::optional<DeclaredSize> readDeclaredSize(const std::string& path);

} // namespace auxlib::draw

#endif
