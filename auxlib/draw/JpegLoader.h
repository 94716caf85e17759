#ifndef AUXLIB_DRAW_JPEGLOADER_H
#define AUXLIB_DRAW_JPEGLOADER_H

#include "auxlib/draw/PictureHeader.h"
#include "auxlib/draw/PictureLimits.h"

#include <SDL.h>
#include <cstdint>
#include <string>

namespace auxlib::draw {

// A progressive JPEG is decoded scan by scan, each scan over the whole
// picture, and nothing in the format bounds their number: a small file can
// ask for thousands of passes over a picture of many megapixels. No encoder
// writes more than a few dozen.
inline constexpr int maxJpegScans = 256;

struct JpegLoad {
    SDL_Surface* surface = nullptr; // null on failure; the caller owns and frees it
    bool tooLarge = false;          // refused for its declared size, before decoding
    std::uint32_t width = 0;        // the size the frame header declares, once it was read
    std::uint32_t height = 0;
    std::string messages;           // libjpeg's warnings and its error, in order, one per line,
                                    // each line "libjpeg warning: ..." or "libjpeg error: ..."
    std::string reason;             // on failure: a short English reason, e.g. "not a JPEG file",
                                    // "picture too large (W x H)", "damaged JPEG data"
};

// Decodes a JPEG with libjpeg into the surface SDL_image 1.2 makes of it:
// 24-bit RGB (red in the lowest byte) for grey, YCbCr and RGB files; a
// four-component file (CMYK, YCCK) as the raw C, M, Y, K samples of a
// 32-bit surface, K where the alpha mask is, as SDL_image leaves them.
//
// libjpeg reads every marker itself; the size of the frame header is
// checked against the limits before anything is decoded, and a progress
// monitor stops the decoding past maxJpegScans scans whatever lies between
// them. libjpeg's own memory is held to what the limits allow. A file cut
// short loads with its missing rows grey, as libjpeg fills them.
//
// The stream stays the caller's and is not closed. On failure it is put
// back where it was. Nothing is printed and nothing throws.
JpegLoad loadJpeg(SDL_RWops* src, const PictureLimits& limits = PictureLimits());

// The markers up to the first scan, read by libjpeg without decoding and
// checked as loadJpeg checks them within the limits: width and height as
// the frame header declares them (0 when libjpeg finds none), and the
// reason when loadJpeg would refuse the file before its first row. Never a
// palette. Scans that would fail to decode are not seen. The stream is put
// back.
PictureHeader readJpegHeader(SDL_RWops* src, const PictureLimits& limits = PictureLimits());

} // namespace auxlib::draw

#endif
