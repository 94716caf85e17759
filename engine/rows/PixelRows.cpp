#include "engine/rows/PixelRows.h"

#include <new>

namespace engine {

using auxlib::draw::Surface;

PixelBuffer::PixelBuffer(std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0)
        return;
    data_.reset(new (std::nothrow) Pixel[static_cast<std::size_t>(width) * static_cast<std::size_t>(height)]);
    if (data_) {
        width_ = width;
        height_ = height;
    }
}

bool isEnginePixelFormat(const Surface& picture)
{
    const SDL_Surface* s = picture.sdl();
    if (s == nullptr)
        return false;
    const SDL_PixelFormat* f = s->format;
    return f->BytesPerPixel == 4 && f->palette == nullptr && f->Rmask == 0x000000FF && f->Gmask == 0x0000FF00
           && f->Bmask == 0x00FF0000 && f->Amask == 0xFF000000 && s->pitch % 4 == 0;
}

PixelRows pixelRowsOf(const Surface& picture)
{
    SDL_Surface* s = picture.sdl();
    return PixelRows{static_cast<Pixel*>(s->pixels), s->w, s->h, s->pitch / 4};
}

namespace {

// A channel of 8 bits anywhere in the pixel value reads back unchanged; the
// loss and shift rule of SDL_GetRGBA only matters for narrower channels.
bool eightBitChannel(Uint32 mask, Uint8 loss) { return mask != 0 && loss == 0 && (mask >> __builtin_ctz(mask)) == 0xFF; }

// Pixel values of one row in the format's own byte width, as readPixelValue
// reads them.
template <int Bytes>
Uint32 valueAt(const Uint8* row, std::int32_t x)
{
    return Surface::readPixelValue(row + Bytes * static_cast<std::ptrdiff_t>(x), Bytes);
}

template <int Bytes>
void decodeMaskedRows(const SDL_Surface* s, const PixelRows& out)
{
    const SDL_PixelFormat* f = s->format;
    const Uint32 rMask = f->Rmask, gMask = f->Gmask, bMask = f->Bmask, aMask = f->Amask;
    const Uint8 rShift = f->Rshift, gShift = f->Gshift, bShift = f->Bshift, aShift = f->Ashift;
    for (std::int32_t y = 0; y < s->h; ++y) {
        const Uint8* src = static_cast<const Uint8*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch;
        Pixel* dst = out.row(y);
        for (std::int32_t x = 0; x < s->w; ++x) {
            const Uint32 v = valueAt<Bytes>(src, x);
            const Uint8 a = aMask != 0 ? Uint8((v & aMask) >> aShift) : 255;
            dst[x] = packPixel(Uint8((v & rMask) >> rShift), Uint8((v & gMask) >> gShift), Uint8((v & bMask) >> bShift), a);
        }
    }
}

// Any other format, read exactly as getPixel reads it.
void decodeGeneralRows(const SDL_Surface* s, const PixelRows& out)
{
    const int bytes = s->format->BytesPerPixel;
    for (std::int32_t y = 0; y < s->h; ++y) {
        const Uint8* src = static_cast<const Uint8*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch;
        Pixel* dst = out.row(y);
        for (std::int32_t x = 0; x < s->w; ++x) {
            const Uint32 v = Surface::readPixelValue(src + static_cast<std::ptrdiff_t>(x) * bytes, bytes);
            auxlib::draw::Rgba c;
            SDL_GetRGBA(v, s->format, &c.r, &c.g, &c.b, &c.a);
            dst[x] = packPixel(c);
        }
    }
}

void decodePaletteRows(const SDL_Surface* s, const PixelRows& out)
{
    // Indices past the palette read opaque black, as getPixel reads them.
    Pixel colours[256];
    const SDL_Palette* palette = s->format->palette;
    for (int i = 0; i < 256; ++i) {
        colours[i] = packPixel(0, 0, 0, 255);
        if (palette->colors != nullptr && i < palette->ncolors)
            colours[i] = packPixel(palette->colors[i].r, palette->colors[i].g, palette->colors[i].b, 255);
    }
    for (std::int32_t y = 0; y < s->h; ++y) {
        const Uint8* src = static_cast<const Uint8*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch;
        Pixel* dst = out.row(y);
        for (std::int32_t x = 0; x < s->w; ++x)
            dst[x] = colours[src[x]];
    }
}

} // namespace

PixelBuffer decodePixels(const Surface& picture)
{
    const SDL_Surface* s = picture.sdl();
    if (s == nullptr)
        return PixelBuffer();
    PixelBuffer buffer(s->w, s->h);
    if (buffer.empty())
        return buffer;
    auxlib::draw::SurfaceLock lock(const_cast<Surface*>(&picture));
    if (lock.result() != auxlib::draw::Success)
        return PixelBuffer();
    const SDL_PixelFormat* f = s->format;
    const PixelRows out = buffer.rows();
    if (f->palette != nullptr && f->BytesPerPixel == 1) {
        decodePaletteRows(s, out);
    } else if (f->palette == nullptr && eightBitChannel(f->Rmask, f->Rloss) && eightBitChannel(f->Gmask, f->Gloss)
               && eightBitChannel(f->Bmask, f->Bloss) && (f->Amask == 0 || eightBitChannel(f->Amask, f->Aloss))
               && (f->BytesPerPixel == 3 || f->BytesPerPixel == 4)) {
        if (f->BytesPerPixel == 3)
            decodeMaskedRows<3>(s, out);
        else
            decodeMaskedRows<4>(s, out);
    } else {
        decodeGeneralRows(s, out);
    }
    return buffer;
}

} // namespace engine
