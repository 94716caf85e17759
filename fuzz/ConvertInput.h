// The input of fuzz_convert: the conversion's settings in a fixed header of
// convertHeaderBytes bytes, then the picture file's bytes. The fuzz target
// decodes it and the seed generator encodes it through this one description.
//
// Header bytes: flags (bit 0 editor preset, 1 alpha grid, 2 two threads,
// 3 clashing suffixes, 4 an output name, 5 a nested output folder, 6 the
// conversion run again on the per-pixel reference path), the
// variants (bit 0 natural, 1 colour, 2 alpha), format, interpolation,
// sharpen level, grid width and height (signed), key mode, three key bytes,
// PNG filter, the file's extension, and the cell after which the progress
// handler cancels (0: never).
#ifndef PIXWRIGHT_FUZZ_CONVERTINPUT_H
#define PIXWRIGHT_FUZZ_CONVERTINPUT_H

#include "fuzz/FuzzSupport.h"

#include <array>
#include <cstdint>
#include <vector>

namespace fuzz {

inline constexpr std::size_t convertHeaderBytes = 14;

// bmp, png, jpg, and a number the engine does not know.
inline constexpr std::array<int, 4> convertFormats = {0, 1, 2, 7};
// Up to 5: the modes after the engine's own reach its unknown-mode path
// until they are added.
inline constexpr unsigned convertInterpolations = 6;
// 0 to 5, one above 5 and one below 0.
inline constexpr std::array<int, 8> convertSharpenLevels = {0, 1, 2, 3, 4, 5, 9, -1};
// The row filters 0 to 6 and one setPngFilter does not know.
inline constexpr std::array<int, 8> convertPngFilters = {0, 1, 2, 3, 4, 5, 6, 99};
// Names of every kind the engine decodes, one it refuses, and none: the
// kind is taken from the bytes whatever the name says.
inline constexpr std::array<const char*, 5> convertExtensions = {".png", ".bmp", ".jpg", ".tga", ""};

enum class KeyMode : std::uint8_t { None = 0, Rgb = 1, Position = 2, PaletteIndex = 3 };

struct ConvertCase {
    bool editorPreset = false;
    bool eraseAlphaGrid = false;
    bool twoThreads = false;
    bool suffixClash = false;
    bool outputName = false;
    bool nestedFolder = false;
    bool compareReference = false;
    bool saveNatural = true;
    bool saveColor = true;
    bool saveAlpha = true;
    unsigned format = 1;        // index into convertFormats
    unsigned interpolation = 1; // 0 .. convertInterpolations - 1
    unsigned sharpen = 2;       // index into convertSharpenLevels
    std::int8_t gridWidth = 16;
    std::int8_t gridHeight = 16;
    KeyMode keyMode = KeyMode::None;
    std::uint8_t key[3] = {};   // red, green, blue; or x, y (signed); or the entry
    unsigned pngFilter = 0;     // index into convertPngFilters
    unsigned extension = 0;     // index into convertExtensions
    std::uint8_t cancelAfter = 0;
    std::vector<std::uint8_t> file;
};

inline ConvertCase decodeConvertCase(const std::uint8_t* data, std::size_t size)
{
    ByteReader in(data, size);
    ConvertCase c;
    const std::uint8_t flags = in.byte();
    c.editorPreset = (flags & 1) != 0;
    c.eraseAlphaGrid = (flags & 2) != 0;
    c.twoThreads = (flags & 4) != 0;
    c.suffixClash = (flags & 8) != 0;
    c.outputName = (flags & 16) != 0;
    c.nestedFolder = (flags & 32) != 0;
    c.compareReference = (flags & 64) != 0;
    const std::uint8_t variants = in.byte();
    c.saveNatural = (variants & 1) != 0;
    c.saveColor = (variants & 2) != 0;
    c.saveAlpha = (variants & 4) != 0;
    c.format = in.pick(convertFormats.size());
    c.interpolation = in.pick(convertInterpolations);
    c.sharpen = in.pick(convertSharpenLevels.size());
    c.gridWidth = static_cast<std::int8_t>(in.byte());
    c.gridHeight = static_cast<std::int8_t>(in.byte());
    c.keyMode = KeyMode(in.pick(4));
    for (std::uint8_t& k : c.key)
        k = in.byte();
    c.pngFilter = in.pick(convertPngFilters.size());
    c.extension = in.pick(convertExtensions.size());
    c.cancelAfter = in.byte();
    c.file.assign(in.rest(), in.rest() + in.restSize());
    return c;
}

inline std::vector<std::uint8_t> encodeConvertCase(const ConvertCase& c)
{
    std::vector<std::uint8_t> out;
    auto bit = [](bool on, unsigned value) { return on ? value : 0u; };
    out.push_back(std::uint8_t(bit(c.editorPreset, 1) | bit(c.eraseAlphaGrid, 2) | bit(c.twoThreads, 4)
                               | bit(c.suffixClash, 8) | bit(c.outputName, 16) | bit(c.nestedFolder, 32)
                               | bit(c.compareReference, 64)));
    out.push_back(std::uint8_t(bit(c.saveNatural, 1) | bit(c.saveColor, 2) | bit(c.saveAlpha, 4)));
    out.push_back(std::uint8_t(c.format));
    out.push_back(std::uint8_t(c.interpolation));
    out.push_back(std::uint8_t(c.sharpen));
    out.push_back(static_cast<std::uint8_t>(c.gridWidth));
    out.push_back(static_cast<std::uint8_t>(c.gridHeight));
    out.push_back(std::uint8_t(c.keyMode));
    out.insert(out.end(), std::begin(c.key), std::end(c.key));
    out.push_back(std::uint8_t(c.pngFilter));
    out.push_back(std::uint8_t(c.extension));
    out.push_back(c.cancelAfter);
    out.insert(out.end(), c.file.begin(), c.file.end());
    return out;
}

} // namespace fuzz

#endif
