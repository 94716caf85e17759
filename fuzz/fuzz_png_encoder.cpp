// The PNG writer's own encodings (fast, small, palette pictures) on small
// surfaces the input describes (see EncoderInput.h), written to memory: a
// save that succeeds must give a file whose every chunk has its CRC, that
// libpng reads, with the pixels of libpng's own default encoding, and the
// same bytes whatever order its pieces run in. The deflate encoder alone must
// give a zlib stream that inflates to its input.
#include "fuzz/EncoderInput.h"
#include "fuzz/FuzzSupport.h"
#include "saver/WPX_deflate.h"
#include "saver/writepix.h"

#include <SDL.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

SDL_Surface* makeSurface(const fuzz::EncoderCase& c)
{
    const fuzz::EncoderLayout& l = fuzz::encoderLayouts[c.layout];
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, c.width, c.height, l.depth, l.r, l.g, l.b, l.a);
    if (s == nullptr)
        return nullptr;
    if (SDL_Palette* palette = s->format->palette)
        for (int i = 0; i < palette->ncolors; ++i)
            palette->colors[i] = SDL_Color{std::uint8_t(i * 17), std::uint8_t(255 - i), std::uint8_t(i * 5), 0};
    const std::size_t pitch = std::size_t(s->pitch);
    auto* pixels = static_cast<std::uint8_t*>(s->pixels);
    for (int y = 0; y < c.height; ++y) {
        std::uint8_t* row = pixels + std::size_t(y) * pitch;
        if (c.doubledRows && y % 2 == 1) {
            std::memcpy(row, row - pitch, pitch);
            continue;
        }
        for (std::size_t i = 0; i < pitch; ++i) {
            const std::size_t at = std::size_t(y) * pitch + i;
            std::uint8_t v = at < c.pixels.size() ? c.pixels[at] : std::uint8_t(at * 7);
            // Few colours: every byte from a small set, so that pixels
            // repeat as in editor pictures.
            if (c.fewColours)
                v = std::uint8_t((v % c.colours) * 37);
            row[i] = v;
        }
    }
    if (c.colourKey) {
        std::uint32_t key = 0;
        std::memcpy(&key, pixels, std::size_t(s->format->BytesPerPixel));
        SDL_SetColorKey(s, SDL_SRCCOLORKEY, key);
    }
    return s;
}

struct Memory {
    Bytes data;
};

SDL_RWops* memoryStream(Memory& m)
{
    SDL_RWops* rw = SDL_AllocRW();
    rw->hidden.unknown.data1 = &m;
    rw->seek = [](SDL_RWops* c, int, int) -> int {
        return int(static_cast<Memory*>(c->hidden.unknown.data1)->data.size());
    };
    rw->read = [](SDL_RWops*, void*, int, int) { return -1; };
    rw->write = [](SDL_RWops* c, const void* p, int size, int num) -> int {
        Bytes& d = static_cast<Memory*>(c->hidden.unknown.data1)->data;
        const auto* bytes = static_cast<const std::uint8_t*>(p);
        d.insert(d.end(), bytes, bytes + std::size_t(size) * std::size_t(num));
        return num;
    };
    rw->close = [](SDL_RWops* c) -> int {
        SDL_FreeRW(c);
        return 0;
    };
    return rw;
}

// Tasks run backwards: the bytes must not depend on the order.
void runBackwards(void*, int count, WPX_Task task, void* taskData)
{
    for (int i = count - 1; i >= 0; --i)
        task(taskData, i);
}

int save(SDL_Surface* s, const WPX_SaveSettings& settings, Bytes& out)
{
    Memory m;
    SDL_RWops* rw = memoryStream(m);
    const int result = WPX_SaveEx_RW(s, rw, "PNG", &settings);
    SDL_RWclose(rw);
    out = std::move(m.data);
    return result;
}

std::uint32_t big32(const std::uint8_t* p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// Every chunk whole and with the CRC of its type and data; IEND last.
bool chunksAreSound(const Bytes& file)
{
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), signature, 8) != 0)
        return false;
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        const std::size_t length = big32(&file[at]);
        if (length > file.size() - at - 12)
            return false;
        const uLong crc = crc32(crc32(0L, nullptr, 0), &file[at + 4], uInt(length + 4));
        if (big32(&file[at + 8 + length]) != std::uint32_t(crc))
            return false;
        const bool end = std::memcmp(&file[at + 4], "IEND", 4) == 0;
        at += 12 + length;
        if (end)
            return at == file.size();
    }
    return false;
}

bool decode(const Bytes& file, Bytes& pixels)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    bool ok = false;
    if (png_image_begin_read_from_memory(&image, file.data(), file.size())) {
        image.format = PNG_FORMAT_RGBA;
        pixels.resize(PNG_IMAGE_SIZE(image));
        ok = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
    }
    png_image_free(&image);
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > std::size_t(1) << 16)
        return 0;
    const fuzz::EncoderCase c = fuzz::decodeEncoderCase(data, size);

    // The deflate encoder alone, on the raw bytes, in lines of the width.
    Bytes stream;
    FUZZ_CHECK(wpx::deflateZlib(c.pixels.data(), c.pixels.size(), std::size_t(c.width), 1 + c.layout % 4, stream));
    Bytes back(c.pixels.size() + 1);
    uLongf backSize = uLongf(back.size());
    FUZZ_CHECK(uncompress(back.data(), &backSize, stream.data(), uLong(stream.size())) == Z_OK);
    FUZZ_CHECK(backSize == c.pixels.size() && std::equal(c.pixels.begin(), c.pixels.end(), back.begin()));

    std::unique_ptr<SDL_Surface, SurfaceFree> surface(makeSurface(c));
    if (!surface)
        return 0;
    Bytes reference, file, again;
    const WPX_SaveSettings plain{};
    const int byDefault = save(surface.get(), plain, reference);
    WPX_SaveSettings o{};
    o.pngFilter = int(c.filter);
    o.pngCompression = int(c.compression);
    o.pngPalette = c.palette ? 1 : 0;
    const int result = save(surface.get(), o, file);
    if (result != 0)
        return 0;
    FUZZ_CHECK(chunksAreSound(file));
    Bytes got, want;
    FUZZ_CHECK(decode(file, got));
    if (byDefault == 0 && decode(reference, want))
        FUZZ_CHECK(got == want);
    if (c.threads > 1) {
        WPX_SaveSettings reordered = o;
        reordered.runTasks = runBackwards;
        FUZZ_CHECK(save(surface.get(), reordered, again) == 0 && again == file);
    }
    return 0;
}
