// The three writers (and the dispatch by type name) on small surfaces of
// every depth, mask, palette and colour key the input describes (see
// SaverInput.h), written to memory. A save that reports success must have
// written a picture of the surface's size that a reader takes.
#include "auxlib/draw/JpegLoader.h"
#include "auxlib/draw/PngLoader.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/SaverInput.h"
#include "saver/writepix.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using fuzz::SaverCase;
using fuzz::SaverWriter;

// Room for any picture of at most 64 x 64 in any of the formats.
constexpr std::size_t ampleBuffer = 1 << 20;

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

SDL_Surface* makeSurface(const SaverCase& c)
{
    std::array<std::uint32_t, 4> masks = fuzz::standardMasks(c.depth, c.layout);
    if (c.rawMasks)
        std::copy(std::begin(c.masks), std::end(c.masks), masks.begin());
    SDL_Surface* s =
        SDL_CreateRGBSurface(SDL_SWSURFACE, c.width, c.height, c.depth, masks[0], masks[1], masks[2], masks[3]);
    if (s == nullptr)
        return nullptr;
    if (SDL_Palette* palette = s->format->palette) {
        // As a loader leaves it: fewer entries than the depth allows.
        palette->ncolors = int(std::min<unsigned>(c.paletteSize, unsigned(palette->ncolors)));
        for (int i = 0; i < palette->ncolors && 3 * std::size_t(i) + 2 < c.palette.size(); ++i)
            palette->colors[i] = SDL_Color{c.palette[3 * i], c.palette[3 * i + 1], c.palette[3 * i + 2], 0};
    }
    if (s->pixels != nullptr) {
        const std::size_t bytes = std::size_t(s->pitch) * std::size_t(s->h);
        const std::size_t given = std::min(bytes, c.pixels.size());
        if (given > 0)
            std::memcpy(s->pixels, c.pixels.data(), given);
        std::memset(static_cast<std::uint8_t*>(s->pixels) + given, 0, bytes - given);
    }
    if (c.colourKey)
        SDL_SetColorKey(s, SDL_SRCCOLORKEY, c.key);
    if (c.surfaceAlpha)
        SDL_SetAlpha(s, SDL_SRCALPHA, c.alpha);
    return s;
}

int save(SDL_Surface* s, const SaverCase& c, SDL_RWops* dst, const char*& kind)
{
    switch (c.writer) {
    case SaverWriter::Bmp:
        kind = "BMP";
        return WPX_SaveBMP_RW(s, dst);
    case SaverWriter::Png:
        kind = "PNG";
        return WPX_SavePNGEx_RW(s, dst, c.filter, c.threads);
    case SaverWriter::Jpeg:
        kind = "JPG";
        return WPX_SaveJPG_RW(s, dst);
    default:
        kind = c.typeName.c_str();
        return WPX_Save_RW(s, dst, 0, c.typeName.c_str());
    }
}

bool sameName(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

// Whether every pixel of a palette surface indexes an entry of its palette.
// SDL's BMP reader refuses a file with one that does not, and the writer
// keeps the indices it is given.
bool indicesInPalette(const SDL_Surface* s)
{
    const SDL_Palette* palette = s->format->palette;
    if (palette == nullptr)
        return true;
    const int bits = s->format->BitsPerPixel;
    for (int y = 0; y < s->h; ++y) {
        const std::uint8_t* row = static_cast<const std::uint8_t*>(s->pixels) + std::size_t(y) * s->pitch;
        for (int x = 0; x < s->w; ++x) {
            const int index = bits == 1   ? (row[x / 8] >> (7 - x % 8)) & 1
                              : bits == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 15
                                          : row[x];
            if (index >= palette->ncolors)
                return false;
        }
    }
    return true;
}

// The written file read back: it must hold a picture of the surface's size.
// Each format is read by the reader the project trusts for it.
void checkWritten(const char* kind, const std::uint8_t* bytes, int length, const SDL_Surface* s)
{
    SDL_RWops* src = SDL_RWFromConstMem(bytes, length);
    FUZZ_CHECK(src != nullptr);
    SDL_Surface* back = nullptr;
    if (sameName(kind, "PNG")) {
        back = auxlib::draw::loadPng(src).surface;
    } else if (sameName(kind, "BMP")) {
        back = SDL_LoadBMP_RW(src, 0);
    } else {
        back = auxlib::draw::loadJpeg(src).surface;
    }
    SDL_RWclose(src);
    FUZZ_CHECK(back != nullptr);
    FUZZ_CHECK(back->w == s->w && back->h == s->h);
    SDL_FreeSurface(back);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Sizes are bounded by the input's own encoding (64 x 64 at most), so
    // nothing here can grow past a few megabytes.
    if (size > std::size_t(1) << 16)
        return 0;
    const SaverCase c = fuzz::decodeSaverCase(data, size);
    std::unique_ptr<SDL_Surface, SurfaceFree> surface(makeSurface(c));
    if (!surface)
        return 0;

    std::vector<std::uint8_t> buffer(c.shortBuffer ? c.bufferBytes : ampleBuffer);
    // SDL_RWFromMem takes no empty buffer; one byte is as short.
    if (buffer.empty())
        buffer.resize(1);
    SDL_RWops* dst = SDL_RWFromMem(buffer.data(), int(buffer.size()));
    FUZZ_CHECK(dst != nullptr);
    SDL_ClearError();
    const char* kind = "";
    const int result = save(surface.get(), c, dst, kind);
    const int written = SDL_RWtell(dst);
    SDL_RWclose(dst);
    FUZZ_CHECK(written >= 0 && std::size_t(written) <= buffer.size());

    if (result == 0) {
        if (c.shortBuffer)
            return 0; // a short buffer that happened to be enough proves nothing more
        const bool documentedDepth = c.depth == 1 || c.depth == 4 || c.depth == 8 || c.depth == 15
                                     || c.depth == 16 || c.depth == 24 || c.depth == 32;
        const bool bmp = sameName(kind, "BMP");
        if (documentedDepth && surface->w > 0 && surface->h > 0 && (!bmp || indicesInPalette(surface.get())))
            checkWritten(kind, buffer.data(), written, surface.get());
    } else {
        // Every failure names its reason.
        FUZZ_CHECK(SDL_GetError()[0] != '\0');
    }
    return 0;
}
