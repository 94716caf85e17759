#ifndef TESTS_SURFACECOMPARE_H
#define TESTS_SURFACECOMPARE_H

// Compares two SDL surfaces as the engine sees them: size, pixel format,
// the colours of the palette entries a file holds, and every pixel's raw
// value (row padding aside).

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

inline ::testing::AssertionResult sameSurface(const SDL_Surface* got, const SDL_Surface* want, int paletteEntries)
{
    if (got == nullptr || want == nullptr)
        return ::testing::AssertionFailure() << (got == nullptr ? "no surface" : "no reference surface");
    const SDL_PixelFormat* a = got->format;
    const SDL_PixelFormat* b = want->format;
    if (got->w != want->w || got->h != want->h)
        return ::testing::AssertionFailure() << "size " << got->w << "x" << got->h << ", want " << want->w << "x"
                                             << want->h;
    if (a->BitsPerPixel != b->BitsPerPixel || a->BytesPerPixel != b->BytesPerPixel || a->Rmask != b->Rmask
        || a->Gmask != b->Gmask || a->Bmask != b->Bmask || a->Amask != b->Amask)
        return ::testing::AssertionFailure() << "format " << int(a->BitsPerPixel) << " bits " << std::hex << a->Rmask
                                             << "/" << a->Gmask << "/" << a->Bmask << "/" << a->Amask << ", want "
                                             << std::dec << int(b->BitsPerPixel) << " bits " << std::hex << b->Rmask
                                             << "/" << b->Gmask << "/" << b->Bmask << "/" << b->Amask;
    if ((a->palette == nullptr) != (b->palette == nullptr))
        return ::testing::AssertionFailure() << "palette on one side only";
    if (a->palette != nullptr) {
        if (a->palette->ncolors != b->palette->ncolors)
            return ::testing::AssertionFailure() << a->palette->ncolors << " colours, want " << b->palette->ncolors;
        for (int i = 0; i < paletteEntries; ++i) {
            const SDL_Color& x = a->palette->colors[i];
            const SDL_Color& y = b->palette->colors[i];
            if (x.r != y.r || x.g != y.g || x.b != y.b)
                return ::testing::AssertionFailure() << "palette entry " << i << " differs";
        }
    }
    if ((got->flags & SDL_SRCCOLORKEY) != (want->flags & SDL_SRCCOLORKEY)
        || ((got->flags & SDL_SRCCOLORKEY) && a->colorkey != b->colorkey))
        return ::testing::AssertionFailure() << "colour key differs";
    const std::size_t rowBytes = std::size_t(got->w) * a->BytesPerPixel;
    for (int y = 0; y < got->h; ++y) {
        const auto* p = static_cast<const std::uint8_t*>(got->pixels) + std::size_t(y) * got->pitch;
        const auto* q = static_cast<const std::uint8_t*>(want->pixels) + std::size_t(y) * want->pitch;
        if (std::memcmp(p, q, rowBytes) != 0) {
            std::size_t x = 0;
            while (p[x] == q[x])
                ++x;
            return ::testing::AssertionFailure() << "row " << y << " differs at byte " << x << ": " << int(p[x])
                                                 << ", want " << int(q[x]);
        }
    }
    return ::testing::AssertionSuccess();
}

#endif
