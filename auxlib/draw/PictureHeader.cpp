#include "auxlib/draw/PictureHeader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>

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
    static const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (got >= 24 && std::equal(pngSignature, pngSignature + 8, head) && bigEndian32(head + 8) == 13
        && std::equal(head + 12, head + 16, reinterpret_cast<const unsigned char*>("IHDR"))) {
        const std::uint32_t w = bigEndian32(head + 16), h = bigEndian32(head + 20);
        return DeclaredSize{w, h};
    }
    if (got >= 26 && head[0] == 'B' && head[1] == 'M') {
        // Read as SDL_image reads it: the 12-byte OS/2 header holds 16-bit
        // sizes, and a header of any other size is taken for the Windows
        // one, however short or long it claims to be, so every header size
        // is a size SDL_image would allocate for.
        const std::uint32_t headerSize = littleEndian32(head + 14);
        if (headerSize == 12)
            return DeclaredSize{std::uint32_t(head[18] | head[19] << 8), std::uint32_t(head[20] | head[21] << 8)};
        const std::int32_t w = std::int32_t(littleEndian32(head + 18));
        const std::int32_t h = std::int32_t(littleEndian32(head + 22));
        // A negative height marks rows stored top-down.
        if (w > 0 && h != 0 && h != INT32_MIN)
            return DeclaredSize{std::uint32_t(w), std::uint32_t(std::abs(h))};
    }
    if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
        DeclaredSize size;
        if (jpegSize(in, size))
            return size;
    }
    return std::nullopt;
}

} // namespace auxlib::draw
