// The input of fuzz_png_encoder: one small picture and the PNG options to
// write it with, as bytes. The target decodes them and the seed generator
// encodes them, both through this one description.
//
// Byte order: layout, width - 1, height - 1, flags (bit 0 every second row
// repeats the one above, bit 1 at most `colours` colours, bit 2 a colour
// key, bit 3 the palette option), colours, compression, filter, threads,
// then the pixel bytes, row after row at the surface's own pitch.
#ifndef PIXWRIGHT_FUZZ_ENCODERINPUT_H
#define PIXWRIGHT_FUZZ_ENCODERINPUT_H

#include "fuzz/FuzzSupport.h"

#include <array>
#include <cstdint>
#include <vector>

namespace fuzz {

struct EncoderLayout {
    int depth;
    std::uint32_t r, g, b, a;
};

// The engine's own layouts, the usual others, and palette depths.
inline constexpr std::array<EncoderLayout, 8> encoderLayouts = {{{32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
                                                                  {32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
                                                                  {24, 0x000000FF, 0x0000FF00, 0x00FF0000, 0},
                                                                  {24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0},
                                                                  {32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0},
                                                                  {16, 0xF800, 0x07E0, 0x001F, 0},
                                                                  {8, 0, 0, 0, 0},
                                                                  {4, 0, 0, 0, 0}}};
inline constexpr int encoderMaxSide = 64;

struct EncoderCase {
    unsigned layout = 0;
    int width = 1;
    int height = 1;
    bool doubledRows = false;
    bool fewColours = false;
    bool colourKey = false;
    bool palette = false;
    unsigned colours = 1;
    unsigned compression = 0; // 0..3, 3 a number the writer does not know
    unsigned filter = 0;      // 0..7, 7 a number the writer does not know
    unsigned threads = 1;     // above 1: the pieces are run in reverse order too
    std::vector<std::uint8_t> pixels;
};

inline EncoderCase decodeEncoderCase(const std::uint8_t* data, std::size_t size)
{
    ByteReader in(data, size);
    EncoderCase c;
    c.layout = in.pick(unsigned(encoderLayouts.size()));
    c.width = 1 + in.pick(encoderMaxSide);
    c.height = 1 + in.pick(encoderMaxSide);
    const std::uint8_t flags = in.byte();
    c.doubledRows = flags & 1;
    c.fewColours = flags & 2;
    c.colourKey = flags & 4;
    c.palette = flags & 8;
    c.colours = 1 + in.pick(255);
    c.compression = in.pick(4);
    c.filter = in.pick(8);
    c.threads = 1 + in.pick(4);
    c.pixels.assign(in.rest(), in.rest() + in.restSize());
    return c;
}

inline std::vector<std::uint8_t> encodeEncoderCase(const EncoderCase& c)
{
    std::vector<std::uint8_t> out = {
        std::uint8_t(c.layout),      std::uint8_t(c.width - 1), std::uint8_t(c.height - 1),
        std::uint8_t((c.doubledRows ? 1 : 0) | (c.fewColours ? 2 : 0) | (c.colourKey ? 4 : 0) | (c.palette ? 8 : 0)),
        std::uint8_t(c.colours - 1), std::uint8_t(c.compression), std::uint8_t(c.filter),
        std::uint8_t(c.threads - 1)};
    out.insert(out.end(), c.pixels.begin(), c.pixels.end());
    return out;
}

} // namespace fuzz

#endif
