#include "fuzz/PngChecksums.h"

#include <zlib.h>

#include <cstring>

namespace fuzz {

namespace {

const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t bigEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

} // namespace

std::size_t findPngSignature(const std::uint8_t* data, std::size_t size)
{
    for (std::size_t i = 0; i + sizeof signature <= size; ++i)
        if (std::memcmp(data + i, signature, sizeof signature) == 0)
            return i;
    return size;
}

void mendPngChecksums(std::uint8_t* data, std::size_t size, std::size_t start)
{
    if (start > size || size - start < sizeof signature || std::memcmp(data + start, signature, sizeof signature) != 0)
        return;
    std::size_t at = start + sizeof signature;
    // Length, type, data, CRC; the CRC covers the type and the data.
    while (size - at >= 12) {
        const std::uint32_t length = bigEndian32(data + at);
        if (length > size - at - 12)
            return;
        const std::uint8_t* covered = data + at + 4;
        const std::uint32_t crc = std::uint32_t(crc32(crc32(0L, Z_NULL, 0), covered, uInt(length + 4)));
        std::uint8_t* out = data + at + 8 + length;
        out[0] = std::uint8_t(crc >> 24);
        out[1] = std::uint8_t(crc >> 16);
        out[2] = std::uint8_t(crc >> 8);
        out[3] = std::uint8_t(crc);
        at += 12 + std::size_t(length);
    }
}

} // namespace fuzz
