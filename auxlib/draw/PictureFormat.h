#ifndef AUXLIB_DRAW_PICTUREFORMAT_H
#define AUXLIB_DRAW_PICTUREFORMAT_H

#include <SDL.h>
#include <cstddef>
#include <cstdint>
#include <string>

namespace auxlib::draw {

// The kind of a picture file, told from its first bytes alone; the name a
// file carries never counts. The engine decodes the first four; the others
// are named only so that a refusal can say what the file is.
enum class PictureFormat {
    Png,
    Bmp,
    Jpeg,
    Xyz, // the older editor's own: "XYZ1", the size, one zlib stream
    Gif,
    Tiff,
    Xcf,
    Xpm,
    Pcx,
    Tga,
    WebP,
    Ico,
    Cur,
    Pnm,
    Ilbm,
    Psd,
    Qoi,
    Jpeg2000,
    JpegXl,
    Heif,
    Avif,
    Dds,
    OpenExr,
    Svg,
    Unknown,
};

// Bytes enough to tell every kind above apart.
inline constexpr std::size_t pictureSniffLength = 32;

// The kind the bytes begin with; `length` may be shorter than
// pictureSniffLength (a file that short is then judged by what it has).
PictureFormat sniffPictureFormat(const std::uint8_t* head, std::size_t length);

// The same for a stream: peeks from where it stands and seeks back.
PictureFormat sniffPictureFormat(SDL_RWops* src);

// Whether the engine decodes this kind.
bool isDecodedFormat(PictureFormat format);

// A short English name: "PNG", "BMP", "GIF", "JPEG 2000", ... and "unknown".
const char* pictureFormatName(PictureFormat format);

// The one-line reason a file of a kind the engine does not decode is
// refused: "unsupported picture format: GIF".
std::string unsupportedFormatReason(PictureFormat format);

} // namespace auxlib::draw

#endif
