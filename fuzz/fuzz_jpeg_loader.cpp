// The engine's JPEG reader on arbitrary bytes in memory. The input is the
// file itself; the limits are the ones below, so a declared size past them
// exercises the refusals and nothing decodes more than 16 MiB.
#include "auxlib/draw/JpegLoader.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/ReaderInput.h"

#include <SDL.h>

#include <string>

namespace {

constexpr std::uint32_t fuzzMaxWidth = 2048;
constexpr std::uint32_t fuzzMaxHeight = 2048;
constexpr std::uint64_t fuzzMaxBytes = 16u << 20;

// Every line of libjpeg's collected messages is one of its own, ended.
bool linesOfLibjpeg(const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            return false;
        const std::string line = text.substr(at, end - at);
        if (line.rfind("libjpeg warning: ", 0) != 0 && line.rfind("libjpeg error: ", 0) != 0)
            return false;
        at = end + 1;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto limits = fuzz::readerLimits(fuzzMaxWidth, fuzzMaxHeight, fuzzMaxBytes);
    if (size > std::size_t(1) << 22)
        return 0;

    const fuzz::MidStream stream(data, size);
    SDL_RWops* src = stream.src;
    FUZZ_CHECK(src != nullptr);
    constexpr int lead = fuzz::MidStream::lead;

    const auxlib::draw::PictureHeader header = auxlib::draw::readJpegHeader(src, limits);
    FUZZ_CHECK(SDL_RWtell(src) == lead);
    FUZZ_CHECK(linesOfLibjpeg(header.messages));
    const auxlib::draw::JpegLoad load = auxlib::draw::loadJpeg(src, limits);
    FUZZ_CHECK(linesOfLibjpeg(load.messages));
    FUZZ_CHECK(load.reason.find('\n') == std::string::npos);
    if (load.surface == nullptr) {
        FUZZ_CHECK(!load.reason.empty());
        FUZZ_CHECK(SDL_RWtell(src) == lead);
        // A header refused is the load's refusal, word for word.
        if (!header.sound())
            FUZZ_CHECK(load.reason == header.reason && load.tooLarge == header.tooLarge);
    } else {
        const SDL_Surface* s = load.surface;
        FUZZ_CHECK(header.reason.empty());
        FUZZ_CHECK(!header.ownPalette);
        FUZZ_CHECK(header.width == std::uint32_t(s->w) && header.height == std::uint32_t(s->h));
        FUZZ_CHECK(load.reason.empty());
        FUZZ_CHECK(s->w > 0 && s->h > 0 && std::uint32_t(s->w) <= fuzzMaxWidth && std::uint32_t(s->h) <= fuzzMaxHeight);
        FUZZ_CHECK(std::uint64_t(s->pitch) * std::uint64_t(s->h) <= fuzzMaxBytes);
        const int bits = s->format->BitsPerPixel;
        FUZZ_CHECK(bits == 24 || bits == 32);
        FUZZ_CHECK(s->format->palette == nullptr);
        SDL_FreeSurface(load.surface);
    }
    SDL_RWclose(src);
    return 0;
}
