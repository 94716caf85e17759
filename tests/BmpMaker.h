#ifndef TESTS_BMPMAKER_H
#define TESTS_BMPMAKER_H

// Writes BMP files in memory field by field, so reader tests can state
// exactly what a header declares, well-formed or not.

#include <cstdint>
#include <string>
#include <vector>

struct BmpPicture {
    std::uint32_t headerSize = 40; // 12 (OS/2 1.x), 40, 52, 56, 64, 108, 124, or anything
    std::int32_t width = 1;
    std::int32_t height = 1;       // negative: rows top-down
    int bits = 24;
    std::uint32_t compression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    std::uint32_t colourCount = 0; // the header's count of palette entries (0: all)
    std::vector<std::uint32_t> masks; // written after a 40-byte header, or into a longer one
    std::vector<std::uint32_t> palette; // 0x00RRGGBB (0xAARRGGBB: the fourth byte too)
    // The pixel bytes as the file stores them, rows and padding included;
    // empty: made by rowBytes() from `values`.
    std::string pixels;
    // One value per pixel, rows top to bottom as seen, for plain pictures.
    std::vector<std::uint32_t> values;
    std::int64_t pixelOffset = -1; // -1: right after the header, masks and palette
};

inline void bmpPut(std::string& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((v >> (8 * i)) & 0xFF);
}

// The stored rows of a plain (uncompressed) picture: bottom-up unless the
// height is negative, each padded to 4 bytes.
inline std::string bmpRows(const BmpPicture& p)
{
    const int w = p.width, h = p.height < 0 ? -p.height : p.height;
    const std::size_t stride = (std::size_t(w) * p.bits + 31) / 32 * 4;
    std::string out;
    for (int i = 0; i < h; ++i) {
        const int y = p.height < 0 ? i : h - 1 - i;
        std::string row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            // Every byte of a pixel varies with its place.
            const std::uint32_t made = std::uint32_t(x + 1) * 2654435761u ^ std::uint32_t(y + 1) * 40503u * 65537u;
            const std::uint32_t v = p.values.empty() ? made : p.values[std::size_t(y) * w + x];
            if (p.bits < 8) {
                const int perByte = 8 / p.bits;
                const int shift = 8 - p.bits - (x % perByte) * p.bits;
                row[std::size_t(x / perByte)] = char(std::uint8_t(row[std::size_t(x / perByte)])
                                                     | std::uint8_t((v & ((1u << p.bits) - 1)) << shift));
            } else {
                for (int b = 0; b < p.bits / 8; ++b)
                    row[std::size_t(x) * (p.bits / 8) + b] = char((v >> (8 * b)) & 0xFF);
            }
        }
        out += row;
    }
    return out;
}

inline std::string bmpFile(const BmpPicture& p)
{
    const bool os2 = p.headerSize == 12;
    std::string info;
    bmpPut(info, p.headerSize, 4);
    bmpPut(info, std::uint32_t(p.width), os2 ? 2 : 4);
    bmpPut(info, std::uint32_t(p.height), os2 ? 2 : 4);
    bmpPut(info, 1, 2); // planes
    bmpPut(info, std::uint32_t(p.bits), 2);
    if (!os2) {
        bmpPut(info, p.compression, 4);
        bmpPut(info, 0, 4); // image size
        bmpPut(info, 2835, 4);
        bmpPut(info, 2835, 4);
        bmpPut(info, p.colourCount, 4);
        bmpPut(info, 0, 4); // important colours
    }
    std::string masks;
    for (std::uint32_t m : p.masks)
        bmpPut(masks, m, 4);
    if (p.headerSize > 40 && !os2) {
        // The masks live inside the longer headers.
        info += masks;
        masks.clear();
    }
    if (info.size() < p.headerSize)
        info.append(p.headerSize - info.size(), '\0');
    std::string colours;
    for (std::uint32_t c : p.palette)
        bmpPut(colours, c, os2 ? 3 : 4);
    const std::string pixels = p.pixels.empty() ? bmpRows(p) : p.pixels;
    const std::uint32_t natural = std::uint32_t(14 + info.size() + masks.size() + colours.size());
    const std::uint32_t offset = p.pixelOffset < 0 ? natural : std::uint32_t(p.pixelOffset);
    std::string out = "BM";
    bmpPut(out, offset + std::uint32_t(pixels.size()), 4);
    bmpPut(out, 0, 4);
    bmpPut(out, offset, 4);
    out += info + masks + colours;
    if (out.size() < offset)
        out.append(offset - out.size(), '\0');
    else
        out.resize(offset);
    return out + pixels;
}

#endif
