// The engine's BMP reader on arbitrary bytes in memory. The input is the
// file itself; the limits are the ones below, so a declared size past them
// exercises the refusals and nothing decodes more than 16 MiB.
#include "auxlib/draw/BmpLoader.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/ReaderInput.h"

#include <SDL.h>

#include <string>

namespace {

constexpr std::uint32_t fuzzMaxWidth = 4096;
constexpr std::uint32_t fuzzMaxHeight = 4096;
constexpr std::uint64_t fuzzMaxBytes = 16u << 20;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto limits = fuzz::readerLimits(fuzzMaxWidth, fuzzMaxHeight, fuzzMaxBytes);
    if (size > std::size_t(1) << 24)
        return 0;

    const fuzz::MidStream stream(data, size);
    SDL_RWops* src = stream.src;
    FUZZ_CHECK(src != nullptr);
    constexpr int lead = fuzz::MidStream::lead;

    const auxlib::draw::PictureHeader header = auxlib::draw::readBmpHeader(src, limits);
    FUZZ_CHECK(SDL_RWtell(src) == lead);
    const auxlib::draw::BmpLoad load = auxlib::draw::loadBmp(src, limits);
    FUZZ_CHECK(load.reason.find('\n') == std::string::npos);
    if (load.surface == nullptr) {
        FUZZ_CHECK(!load.reason.empty());
        FUZZ_CHECK(SDL_RWtell(src) == lead);
        if (load.tooLarge)
            FUZZ_CHECK(load.width > fuzzMaxWidth || load.height > fuzzMaxHeight
                       || std::uint64_t(load.width) * load.height > fuzzMaxBytes / 4);
        // A header refused is the load's refusal, word for word.
        if (!header.sound())
            FUZZ_CHECK(load.reason == header.reason && load.tooLarge == header.tooLarge);
    } else {
        const SDL_Surface* s = load.surface;
        // What the header alone said, the whole reading agrees with.
        FUZZ_CHECK(header.reason.empty());
        FUZZ_CHECK(header.width == std::uint32_t(s->w) && header.height == std::uint32_t(s->h));
        FUZZ_CHECK(load.reason.empty());
        FUZZ_CHECK(s->w > 0 && s->h > 0 && std::uint32_t(s->w) <= fuzzMaxWidth && std::uint32_t(s->h) <= fuzzMaxHeight);
        FUZZ_CHECK(std::uint64_t(s->pitch) * std::uint64_t(s->h) <= fuzzMaxBytes);
        FUZZ_CHECK(s->pixels != nullptr);
        const int bits = s->format->BitsPerPixel;
        FUZZ_CHECK(bits == 8 || bits == 16 || bits == 24 || bits == 32);
        FUZZ_CHECK((bits == 8) == (s->format->palette != nullptr));
        FUZZ_CHECK(load.filePalette == (bits == 8));
        FUZZ_CHECK(s->pitch >= s->w * s->format->BytesPerPixel);
        if (bits == 8)
            FUZZ_CHECK(s->format->palette->ncolors == 256);
        FUZZ_CHECK(header.ownPalette == (bits == 8));
        if (header.ownPalette) {
            const SDL_Color& zero = s->format->palette->colors[0];
            FUZZ_CHECK(header.paletteEntry0.r == zero.r && header.paletteEntry0.g == zero.g
                       && header.paletteEntry0.b == zero.b && header.paletteEntry0.a == 255);
        }
        SDL_FreeSurface(load.surface);
    }
    SDL_RWclose(src);
    return 0;
}
