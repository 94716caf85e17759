// The input of fuzz_savers: one small SDL surface and the writer to save it
// with, as bytes. The fuzz target decodes them and the seed generator encodes
// them, both through this one description, so seeds stay in step with the
// target.
//
// Byte order: depth, width, height, mask byte (bit 0 raw masks, bits 1..3 a
// standard layout), four 32-bit masks (raw masks only), 16-bit palette size,
// three bytes per palette entry (depths up to 8 only), flags (bit 0 colour
// key, bit 1 per-surface alpha, bit 2 a short output buffer), 32-bit key,
// alpha, writer, PNG filter, threads, 16-bit buffer size, type name ended by
// NUL, then the pixel bytes, row after row at the surface's own pitch.
#ifndef PIXWRIGHT_FUZZ_SAVERINPUT_H
#define PIXWRIGHT_FUZZ_SAVERINPUT_H

#include "fuzz/FuzzSupport.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// Every depth SDL_CreateRGBSurface takes, the writers' own and the odd ones.
inline constexpr std::array<int, 9> saverDepths = {1, 2, 4, 8, 12, 15, 16, 24, 32};
inline constexpr int saverMaxSide = 64;

enum class SaverWriter : std::uint8_t { Bmp = 0, Png = 1, Jpeg = 2, ByType = 3 };
inline constexpr unsigned saverWriterCount = 4;
// 0..6 are the writer's filters; 7 stands for a number it does not know.
inline constexpr unsigned saverFilterCount = 8;

struct SaverCase {
    int depth = 24;
    int width = 1;
    int height = 1;
    bool rawMasks = false;
    unsigned layout = 0;
    std::uint32_t masks[4] = {};
    unsigned paletteSize = 0; // clamped to the entries SDL made
    std::vector<std::uint8_t> palette; // red, green, blue per entry
    bool colourKey = false;
    bool surfaceAlpha = false;
    bool shortBuffer = false;
    std::uint32_t key = 0;
    std::uint8_t alpha = 255;
    SaverWriter writer = SaverWriter::Bmp;
    int filter = 0;
    int threads = 1;
    std::uint16_t bufferBytes = 0; // of a short buffer
    std::string typeName;
    std::vector<std::uint8_t> pixels;
};

// The red, green, blue and alpha masks of the standard layouts of a pixel
// size, picked by layout modulo their number; all zero for palette depths.
inline std::array<std::uint32_t, 4> standardMasks(int depth, unsigned layout)
{
    using M = std::array<std::uint32_t, 4>;
    static const M twelve[] = {{0xF00, 0x0F0, 0x00F, 0}, {0x00F, 0x0F0, 0xF00, 0}};
    static const M fifteen[] = {{0x7C00, 0x03E0, 0x001F, 0}, {0x001F, 0x03E0, 0x7C00, 0}};
    static const M sixteen[] = {{0xF800, 0x07E0, 0x001F, 0}, {0x001F, 0x07E0, 0xF800, 0},
                                {0x0F00, 0x00F0, 0x000F, 0xF000}, {0xF800, 0x07C0, 0x003E, 0x0001}};
    static const M twentyFour[] = {{0x0000FF, 0x00FF00, 0xFF0000, 0}, {0xFF0000, 0x00FF00, 0x0000FF, 0}};
    static const M thirtyTwo[] = {{0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
                                  {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
                                  {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF},
                                  {0x000000FF, 0x0000FF00, 0x00FF0000, 0},
                                  {0x00FF0000, 0x0000FF00, 0x000000FF, 0},
                                  {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}};
    auto choose = [layout](const M* table, unsigned count) { return table[layout % count]; };
    switch (depth) {
    case 12:
        return choose(twelve, 2);
    case 15:
        return choose(fifteen, 2);
    case 16:
        return choose(sixteen, 4);
    case 24:
        return choose(twentyFour, 2);
    case 32:
        return choose(thirtyTwo, 6);
    default:
        return M{0, 0, 0, 0};
    }
}

inline SaverCase decodeSaverCase(const std::uint8_t* data, std::size_t size)
{
    ByteReader in(data, size);
    SaverCase c;
    c.depth = saverDepths[in.pick(saverDepths.size())];
    c.width = int(in.pick(saverMaxSide + 1));
    c.height = int(in.pick(saverMaxSide + 1));
    const std::uint8_t maskByte = in.byte();
    c.rawMasks = (maskByte & 1) != 0;
    c.layout = (maskByte >> 1) & 7;
    if (c.rawMasks)
        for (std::uint32_t& mask : c.masks)
            mask = in.word() | std::uint32_t(in.word()) << 16;
    c.paletteSize = in.word() % 257;
    if (c.depth <= 8)
        for (unsigned i = 0; i < 3 * c.paletteSize; ++i)
            c.palette.push_back(in.byte());
    const std::uint8_t flags = in.byte();
    c.colourKey = (flags & 1) != 0;
    c.surfaceAlpha = (flags & 2) != 0;
    c.shortBuffer = (flags & 4) != 0;
    c.key = in.word() | std::uint32_t(in.word()) << 16;
    c.alpha = in.byte();
    c.writer = SaverWriter(in.pick(saverWriterCount));
    c.filter = int(in.pick(saverFilterCount));
    c.threads = 1 + int(in.pick(3));
    c.bufferBytes = in.word();
    c.typeName = in.text(8);
    c.pixels.assign(in.rest(), in.rest() + in.restSize());
    return c;
}

inline std::vector<std::uint8_t> encodeSaverCase(const SaverCase& c)
{
    std::vector<std::uint8_t> out;
    auto byte = [&out](unsigned v) { out.push_back(std::uint8_t(v)); };
    auto word = [&byte](unsigned v) {
        byte(v & 0xFF);
        byte((v >> 8) & 0xFF);
    };
    auto dword = [&word](std::uint32_t v) {
        word(v & 0xFFFF);
        word(v >> 16);
    };
    unsigned depthIndex = 0;
    while (depthIndex + 1 < saverDepths.size() && saverDepths[depthIndex] != c.depth)
        ++depthIndex;
    byte(depthIndex);
    byte(unsigned(c.width));
    byte(unsigned(c.height));
    byte((c.rawMasks ? 1u : 0u) | (c.layout & 7) << 1);
    if (c.rawMasks)
        for (std::uint32_t mask : c.masks)
            dword(mask);
    word(c.paletteSize);
    if (c.depth <= 8)
        for (unsigned i = 0; i < 3 * c.paletteSize; ++i)
            byte(i < c.palette.size() ? c.palette[i] : 0);
    byte((c.colourKey ? 1u : 0u) | (c.surfaceAlpha ? 2u : 0u) | (c.shortBuffer ? 4u : 0u));
    dword(c.key);
    byte(c.alpha);
    byte(unsigned(c.writer));
    byte(unsigned(c.filter));
    byte(unsigned(c.threads - 1));
    word(c.bufferBytes);
    for (char ch : c.typeName)
        byte(static_cast<unsigned char>(ch));
    byte(0);
    out.insert(out.end(), c.pixels.begin(), c.pixels.end());
    return out;
}

} // namespace fuzz

#endif
