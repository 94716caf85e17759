#include "auxlib/draw/PictureHeader.h"

#include "auxlib/draw/BmpLoader.h"
#include "auxlib/draw/JpegLoader.h"
#include "auxlib/draw/PngLoader.h"
#include "auxlib/draw/XyzLoader.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace auxlib::draw {

namespace {

std::uint32_t bigEndian32(const unsigned char* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

std::uint32_t littleEndian32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// The JPEG frame header holds the size; the markers before it are skipped
// by their lengths.
bool jpegSize(std::ifstream& in, DeclaredSize& size)
{
    in.seekg(2);
    for (int markers = 0; markers < 512 && in; ++markers) {
        int c = in.get();
        if (c != 0xFF)
            return false;
        while (c == 0xFF)
            c = in.get();
        if (c == 0xD8 || (c >= 0xD0 && c <= 0xD7) || c == 0x01)
            continue;
        unsigned char length[2];
        if (!in.read(reinterpret_cast<char*>(length), 2))
            return false;
        const int bytes = length[0] << 8 | length[1];
        if (bytes < 2)
            return false;
        const bool frame = c >= 0xC0 && c <= 0xCF && c != 0xC4 && c != 0xC8 && c != 0xCC;
        if (frame) {
            unsigned char header[5];
            if (!in.read(reinterpret_cast<char*>(header), 5))
                return false;
            size.height = std::uint32_t(header[1] << 8 | header[2]);
            size.width = std::uint32_t(header[3] << 8 | header[4]);
            return true;
        }
        in.seekg(bytes - 2, std::ios::cur);
    }
    return false;
}

} // namespace

std::optional<DeclaredSize> readDeclaredSize(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    unsigned char head[26] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    const std::streamsize got = in.gcount();
    in.clear();
    // Whatever is not read below declares no picture at all: a kind the
    // engine does not decode, or a header of one it does that cannot be
    // read. Nothing is to be decoded for its size; the engine says what it
    // makes of the file.
    const DeclaredSize none;
    static const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (got >= 24 && std::equal(pngSignature, pngSignature + 8, head) && bigEndian32(head + 8) == 13
        && std::equal(head + 12, head + 16, reinterpret_cast<const unsigned char*>("IHDR"))) {
        const std::uint32_t w = bigEndian32(head + 16), h = bigEndian32(head + 20);
        return DeclaredSize{w, h};
    }
    if (got >= 26 && head[0] == 'B' && head[1] == 'M') {
        // The 12-byte OS/2 header holds 16-bit sizes, the others 32-bit ones.
        const std::uint32_t headerSize = littleEndian32(head + 14);
        if (headerSize == 12)
            return DeclaredSize{std::uint32_t(head[18] | head[19] << 8), std::uint32_t(head[20] | head[21] << 8)};
        const std::int32_t w = std::int32_t(littleEndian32(head + 18));
        const std::int32_t h = std::int32_t(littleEndian32(head + 22));
        // A negative height marks rows stored top-down.
        if (w > 0 && h != 0 && h != INT32_MIN)
            return DeclaredSize{std::uint32_t(w), std::uint32_t(std::abs(h))};
        return none;
    }
    if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
        DeclaredSize size;
        if (jpegSize(in, size))
            return size;
        return none;
    }
    if (got >= 8 && std::equal(head, head + 4, reinterpret_cast<const unsigned char*>("XYZ1")))
        return DeclaredSize{std::uint32_t(head[4] | head[5] << 8), std::uint32_t(head[6] | head[7] << 8)};
    return none;
}

PictureHeader readPictureHeader(const std::string& path, const PictureLimits& limits)
{
    PictureHeader header;
    if (path.empty()) {
        header.reason = "no file named";
        return header;
    }
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    if (file == nullptr) {
        const char* error = SDL_GetError();
        header.reason = error != nullptr && *error != '\0' ? error : "the file cannot be opened";
        return header;
    }
    // The kind comes from the file's first bytes, as the load tells it; each
    // reader then checks its header by the rules its load applies.
    const PictureFormat format = sniffPictureFormat(file);
    switch (format) {
    case PictureFormat::Png:
        header = readPngHeader(file, limits);
        break;
    case PictureFormat::Bmp:
        header = readBmpHeader(file, limits);
        break;
    case PictureFormat::Jpeg:
        header = readJpegHeader(file, limits);
        break;
    case PictureFormat::Xyz:
        header = readXyzHeader(file, limits);
        break;
    default:
        header.reason = unsupportedFormatReason(format);
        break;
    }
    SDL_RWclose(file);
    header.format = format;
    return header;
}

} // namespace auxlib::draw
