#include "saver/WPX_pngchunks.h"

#include <zlib.h>

#include <algorithm>

namespace wpx {

namespace {

constexpr std::size_t idatBytes = std::size_t(1) << 20;
constexpr std::uint32_t largestSide = 0x7FFFFFFFu; // PNG's limit for a side

void putBig32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v >> 24));
    out.push_back(std::uint8_t(v >> 16));
    out.push_back(std::uint8_t(v >> 8));
    out.push_back(std::uint8_t(v));
}

bool headerIsValid(const PngFileHeader& h)
{
    if (h.width == 0 || h.height == 0 || h.width > largestSide || h.height > largestSide)
        return false;
    if (h.colorType != 2 && h.colorType != 3 && h.colorType != 6)
        return false;
    if (h.palette.size() % 3 != 0 || h.palette.size() > 3 * 256)
        return false;
    if (h.colorType == 3 && (h.palette.empty() || h.transparency.size() > h.palette.size() / 3))
        return false;
    if (h.bitDepth != 8 && (h.colorType != 3 || (h.bitDepth != 1 && h.bitDepth != 2 && h.bitDepth != 4)
                            || h.palette.size() / 3 > (std::size_t(1) << h.bitDepth)))
        return false;
    // PNG allows no tRNS beside an alpha channel, and an RGB one is a
    // single colour of three 16-bit samples.
    if (h.colorType == 6 && !h.transparency.empty())
        return false;
    if (h.colorType == 2 && !h.transparency.empty() && h.transparency.size() != 6)
        return false;
    return true;
}

} // namespace

void appendChunk(std::vector<std::uint8_t>& out, const char type[4], const std::uint8_t* data, std::size_t length)
{
    putBig32(out, std::uint32_t(length));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    if (length != 0)
        out.insert(out.end(), data, data + length);
    // The CRC covers the type and the data, not the length.
    const uLong crc = crc32(crc32(0L, nullptr, 0), out.data() + typeAt, uInt(length + 4));
    putBig32(out, std::uint32_t(crc));
}

bool writePngFile(SDL_RWops* dst, const PngFileHeader& header, const std::vector<std::uint8_t>& zlibStream)
{
    if (dst == nullptr || !headerIsValid(header))
        return false;
    std::vector<std::uint8_t> head = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    putBig32(ihdr, header.width);
    putBig32(ihdr, header.height);
    ihdr.push_back(std::uint8_t(header.bitDepth));  // bit depth
    ihdr.push_back(std::uint8_t(header.colorType)); // colour type
    ihdr.push_back(0);                              // compression: deflate
    ihdr.push_back(0);                              // filter method: the five row filters
    ihdr.push_back(0);                              // no interlacing
    appendChunk(head, "IHDR", ihdr.data(), ihdr.size());
    // The order PNG asks for: sBIT and PLTE before tRNS, all before IDAT.
    if (!header.significantBits.empty())
        appendChunk(head, "sBIT", header.significantBits.data(), header.significantBits.size());
    if (!header.palette.empty())
        appendChunk(head, "PLTE", header.palette.data(), header.palette.size());
    if (!header.transparency.empty())
        appendChunk(head, "tRNS", header.transparency.data(), header.transparency.size());
    if (SDL_RWwrite(dst, head.data(), 1, int(head.size())) != int(head.size()))
        return false;

    std::vector<std::uint8_t> chunk;
    chunk.reserve(std::min(idatBytes, zlibStream.size()) + 12);
    for (std::size_t at = 0; at < zlibStream.size(); at += idatBytes) {
        chunk.clear();
        appendChunk(chunk, "IDAT", zlibStream.data() + at, std::min(idatBytes, zlibStream.size() - at));
        if (SDL_RWwrite(dst, chunk.data(), 1, int(chunk.size())) != int(chunk.size()))
            return false;
    }
    chunk.clear();
    appendChunk(chunk, "IEND", nullptr, 0);
    return SDL_RWwrite(dst, chunk.data(), 1, int(chunk.size())) == int(chunk.size());
}

} // namespace wpx
