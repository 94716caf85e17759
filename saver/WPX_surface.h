// How the writers read an SDL surface: channel widths, the scaling of narrow
// channels, palette indices in packed rows, and whether a surface is
// readable at all.
#ifndef WPX_SURFACE_H
#define WPX_SURFACE_H

#include <SDL.h>

#include <cstring>

namespace wpx {

// A channel's width is the number of set bits in its mask.
inline int channelBits(Uint32 mask)
{
    int bits = 0;
    for (; mask != 0; mask &= mask - 1)
        ++bits;
    return bits;
}

// A channel's sample as the PNG writer hands it to libpng: its native value,
// with channels wider than a byte cut to their top eight bits.
inline Uint8 channelSample(Uint32 p, Uint32 mask, Uint8 shift, int bits)
{
    const Uint32 v = (p & mask) >> shift;
    return Uint8(bits > 8 ? v >> (bits - 8) : v);
}

// v of a `bits`-wide channel stretched to `targetBits` bits, halves rounding
// up. The quotient is rounded to single precision before the half is added;
// the written bytes depend on that order.
inline Uint8 scaleChannelValue(Uint32 v, int bits, int targetBits)
{
    if (bits <= 0)
        return 0;
    const float top = float((1ull << targetBits) - 1);
    const float bottom = float((1ull << (bits < 32 ? bits : 32)) - 1);
    const float quotient = float(v) * top / bottom;
    const unsigned scaled = unsigned(quotient + 0.5f);
    return Uint8(scaled > 255 ? 255 : scaled);
}

// Lookup table for scaleChannelValue, built once per save. A zero-width
// channel only ever reads 0, which maps to 0.
class ChannelScale {
public:
    ChannelScale(Uint32 mask, int targetBits)
        : bits_(channelBits(mask)), targetBits_(targetBits)
    {
        if (bits_ <= 8)
            for (Uint32 v = 0; v < (1u << bits_); ++v)
                table_[v] = scaleChannelValue(v, bits_, targetBits_);
    }

    Uint8 operator()(Uint32 v) const
    {
        // A scattered mask can give values past the table; they read 0
        // rather than memory beyond it.
        return bits_ <= 8 ? table_[v & 0xFF] : scaleChannelValue(v, bits_, targetBits_);
    }

    int bits() const { return bits_; }

private:
    int bits_;
    int targetBits_;
    Uint8 table_[256] = {};
};

// The significant bits the PNG writer declares for a channel (its sBIT).
// libpng's shift transform never finishes on a width of 0, and knows nothing
// wider than the sample.
inline Uint8 significantBits(int bits) { return Uint8(bits < 1 || bits > 8 ? 8 : bits); }

// What libpng's shift transform makes of a sample of `sig` significant bits:
// the bits repeated downwards until the byte is full (31 of 5 bits -> 255).
inline Uint8 shiftedSample(Uint8 v, int sig)
{
    unsigned out = 0;
    for (int j = 8 - sig; j > -sig; j -= sig)
        out |= j > 0 ? unsigned(v) << j : unsigned(v) >> -j;
    return Uint8(out & 0xFF);
}

// SDL stores pixel values in native byte order; rows need not be aligned
// for the wider reads.
inline Uint32 readPixel16(const Uint8* p)
{
    Uint16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Three-byte pixels are read byte by byte, lowest first, as SDL's own
// blitters do on this byte order.
inline Uint32 readPixel24(const Uint8* p) { return p[0] | Uint32(p[1]) << 8 | Uint32(p[2]) << 16; }

inline Uint32 readPixel32(const Uint8* p)
{
    Uint32 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// 1- and 4-bit surfaces pack their indices most significant bits first, as
// BMP and PNG do; every other palette depth keeps one index per byte.
inline Uint8 paletteIndex(const Uint8* row, int x, int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 0x01;
    case 4:
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    default:
        return row[x];
    }
}

// The colour of a palette index; an index beyond the palette reads black
// instead of memory past the colour array.
inline SDL_Color paletteColor(const SDL_Palette* palette, unsigned index)
{
    if (palette == nullptr || palette->colors == nullptr || index >= unsigned(palette->ncolors))
        return SDL_Color{0, 0, 0, 0};
    return palette->colors[index];
}

// Bytes that the pixels of one row occupy, padding excluded.
inline long long pixelRowBytes(const SDL_PixelFormat* format, int w)
{
    switch (format->BitsPerPixel) {
    case 1:
        return (w + 7LL) / 8;
    case 4:
        return (w + 1LL) / 2;
    default:
        return (long long)w * format->BytesPerPixel;
    }
}

// A surface the writers can read without touching memory it does not own.
// Unknown pixel sizes pass here and fail later with the writer's own result.
inline bool isReadableSurface(const SDL_Surface* surface)
{
    if (surface == nullptr || surface->format == nullptr || surface->w < 0 || surface->h < 0)
        return false;
    if (surface->w == 0 || surface->h == 0)
        return true;
    const int bytesPerPixel = surface->format->BytesPerPixel;
    if (bytesPerPixel < 1 || bytesPerPixel > 4)
        return true;
    return surface->pixels != nullptr && surface->pitch >= pixelRowBytes(surface->format, surface->w);
}

inline const Uint8* surfaceRow(const SDL_Surface* surface, int y)
{
    return static_cast<const Uint8*>(surface->pixels) + (size_t)y * surface->pitch;
}

} // namespace wpx

#endif
