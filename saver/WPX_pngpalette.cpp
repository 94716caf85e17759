#include "saver/WPX_pngpalette.h"

#include <cstdint>
#include <cstring>

namespace wpx {

namespace {

// Open addressing over twice the most colours a palette holds, keyed by the
// colour as red, green, blue, alpha in one word.
class ColourIndex {
public:
    ColourIndex() { std::memset(used_, 0, sizeof used_); }

    // The colour's entry, a new one if it has none yet; -1 once a 257th
    // colour appears.
    int find(std::uint32_t colour)
    {
        std::uint32_t slot = (colour * 2654435761u) >> (32 - slotBits);
        while (used_[slot]) {
            if (colours_[slot] == colour)
                return index_[slot];
            slot = (slot + 1) & (slots - 1);
        }
        if (count_ == 256)
            return -1;
        used_[slot] = true;
        colours_[slot] = colour;
        index_[slot] = count_;
        order_[count_] = colour;
        return count_++;
    }

    int count() const { return count_; }
    std::uint32_t colour(int index) const { return order_[index]; }

private:
    static constexpr int slotBits = 9;
    static constexpr std::uint32_t slots = 1u << slotBits;
    bool used_[slots];
    std::uint32_t colours_[slots] = {};
    int index_[slots] = {};
    std::uint32_t order_[256] = {};
    int count_ = 0;
};

} // namespace

bool reduceToPalette(PngImage& image)
{
    PngFileHeader& header = image.header;
    if (header.colorType != 2 && header.colorType != 3 && header.colorType != 6)
        return false;
    // A palette picture's colours are its entries with their alpha; an index
    // past the palette has no colour to keep.
    const std::size_t entryCount = header.palette.size() / 3;
    std::uint32_t entryColour[256] = {};
    if (header.colorType == 3)
        for (std::size_t i = 0; i < entryCount && i < 256; ++i)
            entryColour[i] = std::uint32_t(header.palette[3 * i]) | std::uint32_t(header.palette[3 * i + 1]) << 8
                             | std::uint32_t(header.palette[3 * i + 2]) << 16
                             | std::uint32_t(i < header.transparency.size() ? header.transparency[i] : 255) << 24;
    const int n = image.channels;
    const std::size_t width = header.width;
    const std::size_t height = image.rows.size();
    // An RGB image's tRNS names one colour (16-bit samples, high bytes 0
    // for 8-bit ones) that reads as clear.
    bool keyed = header.colorType == 2 && header.transparency.size() == 6;
    std::uint32_t key = 0;
    if (keyed)
        key = std::uint32_t(header.transparency[1]) | std::uint32_t(header.transparency[3]) << 8
              | std::uint32_t(header.transparency[5]) << 16;

    ColourIndex entries;
    std::vector<std::uint8_t> indices(width * height);
    std::uint32_t last = 0;
    int lastIndex = -1;
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* row = image.rows[y];
        std::uint8_t* out = indices.data() + y * width;
        for (std::size_t x = 0; x < width; ++x, row += n) {
            std::uint32_t colour;
            if (n == 1) {
                if (row[0] >= entryCount)
                    return false;
                colour = entryColour[row[0]];
            } else {
                colour = std::uint32_t(row[0]) | std::uint32_t(row[1]) << 8 | std::uint32_t(row[2]) << 16;
                if (n == 4)
                    colour |= std::uint32_t(row[3]) << 24;
                else
                    colour |= keyed && colour == key ? 0u : 0xFF000000u;
            }
            // Editor pictures come in runs of one colour.
            if (colour != last || lastIndex < 0) {
                lastIndex = entries.find(colour);
                if (lastIndex < 0)
                    return false;
                last = colour;
            }
            out[x] = std::uint8_t(lastIndex);
        }
    }

    std::vector<std::uint8_t> palette, alpha;
    int lastClear = -1;
    for (int i = 0; i < entries.count(); ++i) {
        const std::uint32_t colour = entries.colour(i);
        palette.push_back(std::uint8_t(colour));
        palette.push_back(std::uint8_t(colour >> 8));
        palette.push_back(std::uint8_t(colour >> 16));
        alpha.push_back(std::uint8_t(colour >> 24));
        if (alpha.back() != 255)
            lastClear = i;
    }
    alpha.resize(std::size_t(lastClear + 1));

    // Sixteen colours or fewer pack two, four or eight pixels into a byte,
    // most significant bits first, each row starting on a byte.
    const int count = entries.count();
    const int depth = count <= 2 ? 1 : count <= 4 ? 2 : count <= 16 ? 4 : 8;
    if (depth < 8) {
        const std::size_t rowBytes = (width * std::size_t(depth) + 7) / 8;
        const int perByte = 8 / depth;
        std::vector<std::uint8_t> packed(rowBytes * height, 0);
        for (std::size_t y = 0; y < height; ++y) {
            const std::uint8_t* in = indices.data() + y * width;
            std::uint8_t* out = packed.data() + y * rowBytes;
            for (std::size_t x = 0; x < width; ++x)
                out[x / std::size_t(perByte)] |=
                    std::uint8_t(in[x] << (8 - depth * (1 + int(x % std::size_t(perByte)))));
        }
        indices.swap(packed);
    }

    header.colorType = 3;
    header.bitDepth = depth;
    header.palette = std::move(palette);
    header.transparency = std::move(alpha);
    header.significantBits.clear();
    image.channels = 1;
    image.storage = std::move(indices);
    const std::size_t stride = image.rowBytes();
    for (std::size_t y = 0; y < height; ++y)
        image.rows[y] = image.storage.data() + y * stride;
    return true;
}

} // namespace wpx
