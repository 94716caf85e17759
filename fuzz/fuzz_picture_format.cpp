// Telling a picture's kind from its first bytes, and the XYZ reader behind
// it, on arbitrary bytes in memory. The sniffer must agree between bytes and
// stream and never read past what it is given; a file of a kind the engine
// decodes goes to that kind's reader, as a loaded picture does.
#include "auxlib/draw/BmpLoader.h"
#include "auxlib/draw/JpegLoader.h"
#include "auxlib/draw/PictureFormat.h"
#include "auxlib/draw/PngLoader.h"
#include "auxlib/draw/XyzLoader.h"
#include "fuzz/FuzzSupport.h"

#include <SDL.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

using namespace auxlib::draw;

constexpr std::uint32_t fuzzMaxWidth = 2048;
constexpr std::uint32_t fuzzMaxHeight = 2048;
constexpr std::uint64_t fuzzMaxBytes = 16u << 20;

void checkXyz(const XyzLoad& load, std::size_t size)
{
    FUZZ_CHECK(load.reason.find('\n') == std::string::npos);
    if (load.surface == nullptr) {
        FUZZ_CHECK(!load.reason.empty());
        return;
    }
    const SDL_Surface* s = load.surface;
    FUZZ_CHECK(load.reason.empty());
    FUZZ_CHECK(size >= xyzHeaderLength);
    FUZZ_CHECK(std::uint32_t(s->w) == load.width && std::uint32_t(s->h) == load.height);
    FUZZ_CHECK(s->format->BitsPerPixel == 8 && s->format->palette != nullptr);
    FUZZ_CHECK(s->format->palette->ncolors == 256);
    FUZZ_CHECK(std::uint64_t(s->pitch) * std::uint64_t(s->h) <= fuzzMaxBytes);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > std::size_t(1) << 22)
        return 0;
    // The bytes in a buffer of exactly their length, so that the sanitizer
    // sees any read past them.
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[size == 0 ? 1 : size]);
    if (size > 0)
        std::memcpy(exact.get(), data, size);
    const PictureFormat format = sniffPictureFormat(exact.get(), size);
    FUZZ_CHECK(std::strlen(pictureFormatName(format)) > 0);
    // Only the first bytes count.
    if (size > pictureSniffLength)
        FUZZ_CHECK(sniffPictureFormat(exact.get(), pictureSniffLength) == format);

    SDL_RWops* src = SDL_RWFromConstMem(exact.get(), int(size));
    FUZZ_CHECK(src != nullptr);
    FUZZ_CHECK(sniffPictureFormat(src) == format);
    FUZZ_CHECK(SDL_RWtell(src) == 0);

    PictureLimits limits;
    limits.maxWidth = fuzzMaxWidth;
    limits.maxHeight = fuzzMaxHeight;
    limits.maxDecodedBytes = fuzzMaxBytes;
    SDL_Surface* surface = nullptr;
    switch (format) {
    case PictureFormat::Xyz: {
        const XyzLoad load = loadXyz(src, limits);
        checkXyz(load, size);
        surface = load.surface;
        break;
    }
    case PictureFormat::Png:
        surface = loadPng(src, limits).surface;
        break;
    case PictureFormat::Bmp:
        surface = loadBmp(src, limits).surface;
        break;
    case PictureFormat::Jpeg:
        surface = loadJpeg(src, limits).surface;
        break;
    default:
        FUZZ_CHECK(!isDecodedFormat(format));
        FUZZ_CHECK(unsupportedFormatReason(format).rfind("unsupported picture format: ", 0) == 0);
        break;
    }
    if (surface == nullptr)
        FUZZ_CHECK(SDL_RWtell(src) == 0);
    SDL_FreeSurface(surface);
    SDL_RWclose(src);
    return 0;
}
