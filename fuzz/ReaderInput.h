// What the picture readers' fuzz targets share: their limits, and the input
// in a stream that stands a few bytes in, so a reader must start where the
// stream stands and put it back there on failure.
#ifndef FUZZ_READERINPUT_H
#define FUZZ_READERINPUT_H

#include "auxlib/draw/PictureLimits.h"

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

inline auxlib::draw::PictureLimits readerLimits(std::uint32_t width, std::uint32_t height, std::uint64_t bytes)
{
    auxlib::draw::PictureLimits limits;
    limits.maxWidth = width;
    limits.maxHeight = height;
    limits.maxDecodedBytes = bytes;
    return limits;
}

// The caller closes src.
struct MidStream {
    static constexpr int lead = 3;
    std::string bytes;
    SDL_RWops* src = nullptr;

    MidStream(const std::uint8_t* data, std::size_t size) : bytes(lead, 'x')
    {
        bytes.append(reinterpret_cast<const char*>(data), size);
        src = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
        if (src != nullptr)
            SDL_RWseek(src, lead, RW_SEEK_SET);
    }
    MidStream(const MidStream&) = delete;
    MidStream& operator=(const MidStream&) = delete;
};

} // namespace fuzz

#endif
