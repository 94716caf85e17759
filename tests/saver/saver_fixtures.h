// Surfaces and streams shared by the saver tests.
#ifndef TESTS_SAVER_FIXTURES_H
#define TESTS_SAVER_FIXTURES_H

#include "saver/writepix.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace saver_test {

using Bytes = std::vector<Uint8>;
using Rgba = std::array<int, 4>;

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

struct Layout {
    const char* name;
    int bits;
    Uint32 r, g, b, a;
};

// Little-endian layouts, named by their byte order in memory.
constexpr Layout BGRA32{"BGRA32", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
constexpr Layout RGBA32{"RGBA32", 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
constexpr Layout BGRX32{"BGRX32", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};
constexpr Layout BGR24{"BGR24", 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};
constexpr Layout RGB24{"RGB24", 24, 0x000000FF, 0x0000FF00, 0x00FF0000, 0};
constexpr Layout RGB565{"RGB565", 16, 0xF800, 0x07E0, 0x001F, 0};
constexpr Layout RGB555{"RGB555", 16, 0x7C00, 0x03E0, 0x001F, 0};

inline int maskBits(Uint32 m)
{
    int n = 0;
    for (; m; m &= m - 1)
        ++n;
    return n;
}

inline SurfacePtr makeSurface(int w, int h, const Layout& l)
{
    return SurfacePtr(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, l.bits, l.r, l.g, l.b, l.a));
}

// Native channel values of pixel (x, y): every channel differs and depends
// on x and y, so that swaps, flips and row slips show.
inline Rgba patternAt(int x, int y, const Layout& l)
{
    auto top = [](Uint32 mask) { return (1 << maskBits(mask)) - 1; };
    return {(x * 37 + y * 5 + 3) & top(l.r), (x * 11 + y * 53 + 7) & top(l.g), (x * 3 + y * 29 + 200) & top(l.b),
            (x * 70 + y * 90 + 1) & top(l.a)};
}

inline void putRaw(SDL_Surface* s, int x, int y, Uint32 v)
{
    const int n = s->format->BytesPerPixel;
    std::memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * n, &v, size_t(n)); // little-endian host
}

inline Uint32 compose(const SDL_PixelFormat* f, const Rgba& c)
{
    return Uint32(c[0]) << f->Rshift | Uint32(c[1]) << f->Gshift | Uint32(c[2]) << f->Bshift
         | (f->Amask ? Uint32(c[3]) << f->Ashift : 0);
}

inline SurfacePtr patternSurface(int w, int h, const Layout& l)
{
    SurfacePtr s = makeSurface(w, h, l);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            putRaw(s.get(), x, y, compose(s->format, patternAt(x, y, l)));
    return s;
}

inline SDL_Color paletteEntry(int i) { return SDL_Color{Uint8(i * 7 + 1), Uint8(255 - i * 3), Uint8(i * 13), Uint8(i)}; }

// A palette surface of `bits` depth, packed as SDL packs it, whose pixel
// (x, y) holds index (x + 2y) mod colours.
inline SurfacePtr paletteSurface(int w, int h, int bits, int colours)
{
    SurfacePtr s(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bits, 0, 0, 0, 0));
    for (int i = 0; i < colours; ++i)
        s->format->palette->colors[i] = paletteEntry(i);
    s->format->palette->ncolors = colours;
    for (int y = 0; y < h; ++y) {
        Uint8* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < w; ++x) {
            const int index = (x + 2 * y) % colours;
            if (bits == 8)
                row[x] = Uint8(index);
            else
                row[x * bits / 8] |= Uint8(index << (8 - bits - x * bits % 8));
        }
    }
    return s;
}

// A growable stream over a byte vector that counts its closes and can
// refuse seeking, or every write once a byte budget is spent.
struct StreamState {
    Bytes data;
    size_t pos = 0;
    bool seekable = true;
    size_t writeBudget = SIZE_MAX;
    int closes = 0;
};

inline SDL_RWops* openStream(StreamState& st)
{
    SDL_RWops* rw = SDL_AllocRW();
    rw->hidden.unknown.data1 = &st;
    rw->seek = [](SDL_RWops* c, int offset, int whence) -> int {
        auto& s = *static_cast<StreamState*>(c->hidden.unknown.data1);
        if (!s.seekable)
            return -1;
        s.pos = size_t((whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? long(s.pos) : long(s.data.size())) + offset);
        return int(s.pos);
    };
    rw->read = [](SDL_RWops*, void*, int, int) { return -1; };
    rw->write = [](SDL_RWops* c, const void* p, int size, int num) -> int {
        auto& s = *static_cast<StreamState*>(c->hidden.unknown.data1);
        const size_t n = size_t(size) * size_t(num);
        if (n > s.writeBudget)
            return 0;
        s.writeBudget -= n;
        s.data.resize(std::max(s.data.size(), s.pos + n));
        std::memcpy(s.data.data() + s.pos, p, n);
        s.pos += n;
        return num;
    };
    rw->close = [](SDL_RWops* c) -> int {
        ++static_cast<StreamState*>(c->hidden.unknown.data1)->closes;
        SDL_FreeRW(c);
        return 0;
    };
    return rw;
}

// Runs one writer into a fresh stream with SDL's error text cleared.
inline int saveToMemory(int (*writer)(SDL_Surface*, SDL_RWops*), SDL_Surface* s, Bytes& out,
                        size_t writeBudget = SIZE_MAX)
{
    StreamState st;
    st.writeBudget = writeBudget;
    SDL_RWops* rw = openStream(st);
    SDL_ClearError();
    const int result = writer(s, rw);
    SDL_RWclose(rw);
    out = st.data;
    return result;
}

inline Uint32 le16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }
inline Uint32 le32(const Bytes& b, size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

} // namespace saver_test

#endif
