#include "saver/WPX_rows.h"

#include <cstring>

namespace wpx {

namespace {

// A channel of eight bits starting at a byte boundary: the byte index it
// occupies in a little-endian pixel value, or -1.
int byteOf(Uint32 mask)
{
    for (int i = 0; i < 4; ++i)
        if (mask == Uint32(0xFF) << (8 * i))
            return i;
    return -1;
}

} // namespace

RowConverter::RowConverter(const SDL_PixelFormat* format, RowTarget target, bool referenceRows)
    : format_(format), target_(target), referenceRows_(referenceRows), red5_(format->Rmask, 5), green5_(format->Gmask, 5),
      blue5_(format->Bmask, 5), red8_(format->Rmask, 8), green8_(format->Gmask, 8), blue8_(format->Bmask, 8),
      direct_(Direct::None)
{
    for (unsigned i = 0; i < 256; ++i)
        palette_[i] = paletteColor(format->palette, i);
    direct_ = chooseDirect();
}

bool RowConverter::knowsFormat() const
{
    const int bytes = format_->BytesPerPixel;
    if (bytes < 1 || bytes > 4)
        return false;
    if (target_ == RowTarget::Channels || target_ == RowTarget::ChannelsAlpha)
        return bytes >= 2;
    return true;
}

long long RowConverter::targetBytes(int w) const
{
    switch (target_) {
    case RowTarget::Bmp:
        return pixelRowBytes(format_, w);
    case RowTarget::Rgb:
    case RowTarget::Channels:
        return 3LL * w;
    default:
        return 4LL * w;
    }
}

RowConverter::Direct RowConverter::chooseDirect() const
{
    const SDL_PixelFormat* f = format_;
    const int r = byteOf(f->Rmask), g = byteOf(f->Gmask), b = byteOf(f->Bmask);
    const bool bytes = r >= 0 && g == 1 && b >= 0 && ((r == 0 && b == 2) || (r == 2 && b == 0));
    const bool rgbOrder = r == 0; // red first in memory
    switch (target_) {
    case RowTarget::Bmp:
        if (f->BytesPerPixel == 1)
            return Direct::None; // a copy of the indices already
        if (f->BytesPerPixel == 3 && bytes)
            return rgbOrder ? Direct::Swap3 : Direct::Copy3;
        if (f->BytesPerPixel == 4 && bytes)
            return rgbOrder ? Direct::Bgr0Of4Swap : Direct::Bgr0Of4Copy;
        return Direct::None;
    case RowTarget::Rgb:
        if (f->BytesPerPixel == 1 && f->BitsPerPixel == 8)
            return Direct::Palette;
        if (f->BytesPerPixel == 3 && bytes)
            return rgbOrder ? Direct::Same : Direct::Swap3;
        if (f->BytesPerPixel == 4 && bytes)
            return rgbOrder ? Direct::Copy3Of4 : Direct::Swap3Of4;
        return Direct::None;
    case RowTarget::Channels:
        if (f->BytesPerPixel == 4 && bytes)
            return rgbOrder ? Direct::Copy3Of4 : Direct::Swap3Of4;
        return Direct::None;
    default:
        return Direct::None;
    }
}

const Uint8* RowConverter::rows(const Uint8* src, int w, Uint8* out) const
{
    // A surface of width 0 has no pixel memory (SDL leaves its pixels null),
    // and memcpy must not be handed a null pointer even for no bytes.
    if (w <= 0)
        return out;
    switch (direct_) {
    case Direct::Same:
        return src;
    case Direct::Copy3:
        std::memcpy(out, src, size_t(3) * size_t(w));
        return out;
    case Direct::Swap3:
        for (int x = 0; x < w; ++x) {
            out[3 * x] = src[3 * x + 2];
            out[3 * x + 1] = src[3 * x + 1];
            out[3 * x + 2] = src[3 * x];
        }
        return out;
    case Direct::Copy3Of4:
        for (int x = 0; x < w; ++x) {
            out[3 * x] = src[4 * x];
            out[3 * x + 1] = src[4 * x + 1];
            out[3 * x + 2] = src[4 * x + 2];
        }
        return out;
    case Direct::Swap3Of4:
        for (int x = 0; x < w; ++x) {
            out[3 * x] = src[4 * x + 2];
            out[3 * x + 1] = src[4 * x + 1];
            out[3 * x + 2] = src[4 * x];
        }
        return out;
    case Direct::Bgr0Of4Copy:
        for (int x = 0; x < w; ++x) {
            out[4 * x] = src[4 * x];
            out[4 * x + 1] = src[4 * x + 1];
            out[4 * x + 2] = src[4 * x + 2];
            out[4 * x + 3] = 0;
        }
        return out;
    case Direct::Bgr0Of4Swap:
        for (int x = 0; x < w; ++x) {
            out[4 * x] = src[4 * x + 2];
            out[4 * x + 1] = src[4 * x + 1];
            out[4 * x + 2] = src[4 * x];
            out[4 * x + 3] = 0;
        }
        return out;
    case Direct::Palette:
        for (int x = 0; x < w; ++x) {
            const SDL_Color& c = palette_[src[x]];
            out[3 * x] = c.r;
            out[3 * x + 1] = c.g;
            out[3 * x + 2] = c.b;
        }
        return out;
    case Direct::None:
        break;
    }
    return reference(src, w, out);
}

const Uint8* RowConverter::reference(const Uint8* src, int w, Uint8* out) const
{
    if (w <= 0)
        return out; // as in rows
    const SDL_PixelFormat* f = format_;
    switch (target_) {
    case RowTarget::Bmp:
        switch (f->BytesPerPixel) {
        case 1:
            // Palette indices, packed or not, are already in BMP order.
            std::memcpy(out, src, size_t(pixelRowBytes(f, w)));
            return out;
        case 2: {
            const bool fiveFiveFive = red5_.bits() == 5 && green5_.bits() == 5 && blue5_.bits() == 5;
            for (int x = 0; x < w; ++x) {
                const Uint32 p = readPixel16(src + 2 * x);
                Uint32 r = (p & f->Rmask) >> f->Rshift;
                Uint32 g = (p & f->Gmask) >> f->Gshift;
                Uint32 b = (p & f->Bmask) >> f->Bshift;
                if (!fiveFiveFive) {
                    r = red5_(r);
                    g = green5_(g);
                    b = blue5_(b);
                }
                const Uint16 word = Uint16((r << 10) | (g << 5) | b); // 0RRRRRGGGGGBBBBB
                out[2 * x] = Uint8(word & 0xFF);
                out[2 * x + 1] = Uint8(word >> 8);
            }
            return out;
        }
        case 3:
            // Reading the bytes big-endian turns both byte-aligned layouts
            // (red mask 0xFF0000 or 0x0000FF) into blue, green, red.
            for (int x = 0; x < w; ++x) {
                const Uint8* p = src + 3 * x;
                const Uint32 v = (Uint32(p[0]) << 16) | (Uint32(p[1]) << 8) | p[2];
                out[3 * x] = Uint8((v & f->Rmask) >> f->Rshift);
                out[3 * x + 1] = Uint8((v & f->Gmask) >> f->Gshift);
                out[3 * x + 2] = Uint8((v & f->Bmask) >> f->Bshift);
            }
            return out;
        case 4:
            for (int x = 0; x < w; ++x) {
                const Uint32 p = readPixel32(src + 4 * x);
                out[4 * x] = Uint8((p & f->Bmask) >> f->Bshift);
                out[4 * x + 1] = Uint8((p & f->Gmask) >> f->Gshift);
                out[4 * x + 2] = Uint8((p & f->Rmask) >> f->Rshift);
                out[4 * x + 3] = 0; // BMP has no alpha here
            }
            return out;
        default:
            return out;
        }
    case RowTarget::Rgb:
        for (int x = 0; x < w; ++x) {
            Uint32 r, g, b;
            switch (f->BytesPerPixel) {
            case 1: {
                const SDL_Color c = paletteColor(f->palette, paletteIndex(src, x, f->BitsPerPixel));
                r = c.r, g = c.g, b = c.b;
                break;
            }
            case 2: {
                const Uint32 p = readPixel16(src + 2 * x);
                r = red8_((p & f->Rmask) >> f->Rshift);
                g = green8_((p & f->Gmask) >> f->Gshift);
                b = blue8_((p & f->Bmask) >> f->Bshift);
                break;
            }
            case 3: {
                if (f->Rmask == 0x000000FF && f->Gmask == 0x0000FF00 && f->Bmask == 0x00FF0000)
                    return src; // already red, green, blue
                const Uint8* p = src + 3 * x;
                const Uint32 v = p[0] | (Uint32(p[1]) << 8) | (Uint32(p[2]) << 16);
                r = (v & f->Rmask) >> f->Rshift;
                g = (v & f->Gmask) >> f->Gshift;
                b = (v & f->Bmask) >> f->Bshift;
                break;
            }
            default: {
                const Uint32 p = readPixel32(src + 4 * x);
                r = (p & f->Rmask) >> f->Rshift;
                g = (p & f->Gmask) >> f->Gshift;
                b = (p & f->Bmask) >> f->Bshift;
                break;
            }
            }
            out[3 * x] = Uint8(r);
            out[3 * x + 1] = Uint8(g);
            out[3 * x + 2] = Uint8(b);
        }
        return out;
    default: {
        const bool withAlpha = target_ == RowTarget::ChannelsAlpha;
        const int redBits = channelBits(f->Rmask), greenBits = channelBits(f->Gmask);
        const int blueBits = channelBits(f->Bmask), alphaBits = channelBits(f->Amask);
        Uint8* o = out;
        for (int x = 0; x < w; ++x) {
            const Uint32 p = f->BytesPerPixel == 2   ? readPixel16(src + 2 * x)
                             : f->BytesPerPixel == 3 ? readPixel24(src + 3 * x)
                                                     : readPixel32(src + 4 * x);
            *o++ = channelSample(p, f->Rmask, f->Rshift, redBits);
            *o++ = channelSample(p, f->Gmask, f->Gshift, greenBits);
            *o++ = channelSample(p, f->Bmask, f->Bshift, blueBits);
            if (withAlpha)
                *o++ = channelSample(p, f->Amask, f->Ashift, alphaBits);
        }
        return out;
    }
    }
}

} // namespace wpx
