#ifndef AUXLIB_DRAW_STREAMBYTES_H
#define AUXLIB_DRAW_STREAMBYTES_H

#include <SDL.h>
#include <cstddef>
#include <cstdint>

namespace auxlib::draw {

// Reads up to `length` bytes, fewer only at the end of the stream:
// SDL_RWread may hand over less than asked before the end.
inline std::size_t readStream(SDL_RWops* src, void* data, std::size_t length)
{
    std::size_t done = 0;
    while (done < length) {
        const std::size_t part = length - done < (1u << 20) ? length - done : (1u << 20);
        const int got = SDL_RWread(src, static_cast<std::uint8_t*>(data) + done, 1, static_cast<int>(part));
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

// The bytes from where the stream stands to its end, the stream put back;
// -1 when it cannot seek.
inline long streamRemaining(SDL_RWops* src)
{
    const int start = SDL_RWtell(src);
    if (start < 0)
        return -1;
    const int end = SDL_RWseek(src, 0, RW_SEEK_END);
    SDL_RWseek(src, start, RW_SEEK_SET);
    return end < start ? -1 : long(end) - start;
}

inline std::uint32_t littleEndian16(const std::uint8_t* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }

inline std::uint32_t littleEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

} // namespace auxlib::draw

#endif
