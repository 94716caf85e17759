// The engine's PNG loader on arbitrary bytes in memory. The input is the
// file itself; the limits are the ones below, so a declared size past them
// exercises the refusals and nothing decodes more than 16 MiB.
#include "auxlib/draw/PngLoader.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/ReaderInput.h"
#include "fuzz/PngChecksums.h"

#include <SDL.h>

#include <cstring>

namespace {

using auxlib::draw::PictureLimits;

constexpr std::uint32_t fuzzMaxWidth = 4096;
constexpr std::uint32_t fuzzMaxHeight = 4096;
constexpr std::uint64_t fuzzMaxBytes = 16u << 20;

bool linesEnded(const std::string& text) { return text.empty() || text.back() == '\n'; }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The loader makes SDL surfaces; SDL needs no subsystem for them.
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto limits = fuzz::readerLimits(fuzzMaxWidth, fuzzMaxHeight, fuzzMaxBytes);
    if (size > std::size_t(1) << 24)
        return 0;

    const fuzz::MidStream stream(data, size);
    SDL_RWops* src = stream.src;
    FUZZ_CHECK(src != nullptr);
    constexpr int lead = fuzz::MidStream::lead;

    const bool signature = auxlib::draw::hasPngSignature(src);
    FUZZ_CHECK(SDL_RWtell(src) == lead);
    const auxlib::draw::PictureHeader header = auxlib::draw::readPngHeader(src, limits);
    FUZZ_CHECK(SDL_RWtell(src) == lead);

    const auxlib::draw::PngLoad load = auxlib::draw::loadPng(src, limits);
    FUZZ_CHECK(linesEnded(load.messages));
    if (load.surface == nullptr) {
        FUZZ_CHECK(!load.reason.empty());
        FUZZ_CHECK(SDL_RWtell(src) == lead);
        if (!signature)
            FUZZ_CHECK(load.reason == "not a PNG file");
        // A header refused is the load's refusal, word for word.
        if (!header.sound())
            FUZZ_CHECK(load.reason == header.reason);
    } else {
        const SDL_Surface* s = load.surface;
        FUZZ_CHECK(signature);
        FUZZ_CHECK(load.reason.empty());
        FUZZ_CHECK(s->w > 0 && s->h > 0 && std::uint32_t(s->w) <= fuzzMaxWidth && std::uint32_t(s->h) <= fuzzMaxHeight);
        FUZZ_CHECK(std::uint64_t(s->pitch) * std::uint64_t(s->h) <= fuzzMaxBytes);
        FUZZ_CHECK(s->pixels != nullptr);
        const int bits = s->format->BitsPerPixel;
        FUZZ_CHECK(bits == 8 || bits == 24 || bits == 32);
        FUZZ_CHECK((bits == 8) == (s->format->palette != nullptr));
        if (load.filePalette)
            FUZZ_CHECK(bits == 8 || (bits == 32 && s->format->Amask != 0));
        // What the header alone said, the whole reading agrees with: the
        // size, and the palette the surface carries.
        FUZZ_CHECK(header.sound());
        FUZZ_CHECK(header.width == std::uint32_t(s->w) && header.height == std::uint32_t(s->h));
        FUZZ_CHECK(header.ownPalette == (load.filePalette && bits == 8));
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

#ifdef PIXWRIGHT_LIBFUZZER
extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (seed % 8 != 0)
        fuzz::mendPngChecksums(data, size, 0);
    return size;
}
#endif
