// The row conversion of the three writers, in one place: the BMP writer's
// rows (blue, green, red order, 16-bit words, palette indices), the JPEG
// writer's red, green, blue rows, and the PNG writer's channel copies.
//
// Two versions named after their kernel set, as in the engine: reference
// applies the writers' mask rules pixel by pixel; rows reads the pixel format
// once and takes a direct byte path for the common layouts (8-bit channels
// at byte boundaries, palette indices), falling back to the reference for
// every other format. Both write the same bytes; the tests hold them to it.
// convert runs the one the save's settings chose.
#ifndef WPX_ROWS_H
#define WPX_ROWS_H

#include "saver/WPX_surface.h"

namespace wpx {

enum class RowTarget {
    Bmp,          // the surface's own pixel size, BMP byte order, alpha dropped
    Rgb,          // three bytes red, green, blue (JPEG)
    Channels,     // PNG copy: red, green, blue in native width
    ChannelsAlpha // PNG copy: red, green, blue, alpha in native width
};

class RowConverter {
public:
    RowConverter(const SDL_PixelFormat* format, RowTarget target, bool referenceRows = false);

    // False for a pixel size the target cannot take (BytesPerPixel 0 or
    // above 4; palette pictures for the PNG copies).
    bool knowsFormat() const;

    // Converts the w pixels of src into out, which holds the target's bytes
    // for w pixels. May return src itself when its bytes already are the
    // target's (the JPEG writer's red, green, blue rows); out is then
    // untouched.
    const Uint8* convert(const Uint8* src, int w, Uint8* out) const
    {
        return referenceRows_ ? reference(src, w, out) : rows(src, w, out);
    }
    const Uint8* rows(const Uint8* src, int w, Uint8* out) const;
    const Uint8* reference(const Uint8* src, int w, Uint8* out) const;

    // Bytes the target takes for w pixels.
    long long targetBytes(int w) const;

private:
    enum class Direct { None, Same, Copy3, Swap3, Copy3Of4, Swap3Of4, Bgr0Of4Copy, Bgr0Of4Swap, Palette };
    Direct chooseDirect() const;

    const SDL_PixelFormat* format_;
    RowTarget target_;
    bool referenceRows_;
    ChannelScale red5_, green5_, blue5_;
    ChannelScale red8_, green8_, blue8_;
    Direct direct_;
    SDL_Color palette_[256];
};

} // namespace wpx

#endif
