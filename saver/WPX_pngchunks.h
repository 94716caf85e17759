// A PNG file written chunk by chunk, without libpng: the signature, the
// header, the optional significant-bits, palette and transparency chunks,
// the image data in IDAT chunks of at most 1 MiB, and the end.
#ifndef WPX_PNGCHUNKS_H
#define WPX_PNGCHUNKS_H

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wpx {

// Everything of a PNG file but its image data.
struct PngFileHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colorType = 6;           // 2 RGB, 3 palette, 6 RGBA
    int bitDepth = 8;            // 8, or 1, 2 or 4 for a palette picture
    std::vector<std::uint8_t> significantBits; // sBIT data, empty for none
    std::vector<std::uint8_t> palette;         // PLTE data: red, green, blue per entry
    std::vector<std::uint8_t> transparency;    // tRNS data, empty for none
};

// Writes the whole file to the stream. False when a write failed or the
// header cannot be written (a side of 0 or above 2^31 - 1, a palette of no
// or more than 256 entries for colour type 3, more entries than the bit
// depth can index, a depth below 8 for other colour types).
bool writePngFile(SDL_RWops* dst, const PngFileHeader& header, const std::vector<std::uint8_t>& zlibStream);

// The chunk as it stands in a file: length, type, data and CRC.
void appendChunk(std::vector<std::uint8_t>& out, const char type[4], const std::uint8_t* data, std::size_t length);

} // namespace wpx

#endif
