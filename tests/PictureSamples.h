#ifndef TESTS_PICTURESAMPLES_H
#define TESTS_PICTURESAMPLES_H

// A broad set of picture files, made here, on which reading a header and
// decoding the picture must agree: every PNG colour type at every depth it
// allows with and without transparency, the BMP layouts the reader takes,
// XYZ, JPEG grey, colour and CMYK, and files both refuse from their header.
// None of them has damaged pixel data: that is where the two differ.

#include "BmpMaker.h"
#include "JpegMaker.h"
#include "PngMaker.h"
#include "XyzMaker.h"

#include <cstdint>
#include <string>
#include <vector>

struct SamplePicture {
    std::string name;
    std::string bytes;
};

namespace picturesamples {

// Samples that vary with their place and stay inside the depth.
inline std::vector<std::uint16_t> samplesOf(int w, int h, int channels, int depth, int range)
{
    std::vector<std::uint16_t> out;
    const unsigned top = range > 0 ? unsigned(range) : (1u << depth);
    for (int i = 0; i < w * h * channels; ++i)
        out.push_back(std::uint16_t((unsigned(i) * 2654435761u >> 7) % top));
    return out;
}

// count entries, entry i (7 * seed + 29 * i, 255 - 13 * i, 3 * seed + i) mod 256.
inline std::vector<png_color> pngPalette(int count, int seed)
{
    std::vector<png_color> out;
    for (int i = 0; i < count; ++i)
        out.push_back(png_color{png_byte(7 * seed + 29 * i), png_byte(255 - 13 * i), png_byte(3 * seed + i)});
    return out;
}

// The same colours as BMP entries (0x00RRGGBB).
inline std::vector<std::uint32_t> bmpPalette(int count, int seed)
{
    std::vector<std::uint32_t> out;
    for (const png_color& c : pngPalette(count, seed))
        out.push_back(std::uint32_t(c.red) << 16 | std::uint32_t(c.green) << 8 | c.blue);
    return out;
}

// The file with the first chunk of this type taken out.
inline std::string withoutChunk(const std::string& png, const char* type)
{
    const std::size_t at = png.find(type);
    if (at == std::string::npos || at < 4)
        return png;
    const std::size_t start = at - 4;
    const std::uint32_t length = std::uint32_t(std::uint8_t(png[start])) << 24
                                 | std::uint32_t(std::uint8_t(png[start + 1])) << 16
                                 | std::uint32_t(std::uint8_t(png[start + 2])) << 8 | std::uint8_t(png[start + 3]);
    return png.substr(0, start) + png.substr(start + 12 + length);
}

// The file with a chunk put in right before its first IDAT.
inline std::string withChunkBeforeImage(const std::string& png, const char* type, const std::string& data)
{
    const std::size_t at = png.find("IDAT");
    if (at == std::string::npos || at < 4)
        return png;
    std::string chunk;
    appendChunk(chunk, type, data);
    return png.substr(0, at - 4) + chunk + png.substr(at - 4);
}

} // namespace picturesamples

inline std::vector<SamplePicture> samplePictures()
{
    using namespace picturesamples;
    std::vector<SamplePicture> out;
    int seed = 0;
    auto png = [&](const std::string& name, PngPicture p) {
        out.push_back({name + ".png", writePng(p)});
    };

    // PNG: every colour type at every depth it allows, plain and interlaced.
    struct Type {
        int colourType;
        std::vector<int> depths;
    };
    const Type types[] = {{PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}},
                          {PNG_COLOR_TYPE_RGB, {8, 16}},
                          {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}},
                          {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
                          {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}}};
    for (const Type& type : types)
        for (int depth : type.depths)
            for (bool interlaced : {false, true}) {
                PngPicture p;
                p.width = 7;
                p.height = 5;
                p.colourType = type.colourType;
                p.bitDepth = depth;
                p.interlaced = interlaced;
                const bool palette = type.colourType == PNG_COLOR_TYPE_PALETTE;
                const int entries = palette ? (1 << depth) : 0;
                p.palette = pngPalette(entries, ++seed);
                p.samples = samplesOf(7, 5, pngChannels(type.colourType), depth, entries);
                png("png-type" + std::to_string(type.colourType) + "-" + std::to_string(depth)
                        + (interlaced ? "-interlaced" : ""),
                    p);
                // One transparent grey level or RGB colour: a colour key.
                if (type.colourType == PNG_COLOR_TYPE_GRAY || type.colourType == PNG_COLOR_TYPE_RGB) {
                    p.hasTransparentColour = true;
                    p.transparentColour.gray = std::uint16_t((1u << depth) - 1);
                    p.transparentColour.red = std::uint16_t((1u << depth) / 2);
                    p.transparentColour.green = 1;
                    p.transparentColour.blue = 0;
                    png("png-type" + std::to_string(type.colourType) + "-" + std::to_string(depth) + "-trns"
                            + (interlaced ? "-interlaced" : ""),
                        p);
                }
            }
    // Palette pictures and their tRNS: none, one fully transparent entry,
    // several, partial alpha, and a palette shorter than the depth allows.
    const std::vector<std::vector<std::uint8_t>> transparencies = {
        {}, {255, 0, 255}, {0}, {0, 0, 255}, {255, 128}, {0, 255, 255, 1}, {255, 255, 255}};
    for (int depth : {1, 2, 4, 8})
        for (std::size_t t = 0; t < transparencies.size(); ++t) {
            PngPicture p;
            p.width = 6;
            p.height = 4;
            p.colourType = PNG_COLOR_TYPE_PALETTE;
            p.bitDepth = depth;
            const int entries = depth == 1 ? 2 : (1 << depth) - 1;
            p.palette = pngPalette(entries, ++seed);
            p.paletteAlpha = transparencies[t];
            p.samples = samplesOf(6, 4, 1, depth, entries);
            png("png-palette" + std::to_string(depth) + "-trns" + std::to_string(t), p);
        }
    {
        PngPicture p;
        p.width = 3;
        p.height = 3;
        p.colourType = PNG_COLOR_TYPE_PALETTE;
        p.palette = pngPalette(5, ++seed);
        p.samples = samplesOf(3, 3, 1, 8, 5);
        const std::string plain = writePng(p);
        // Without its PLTE, with an empty one, one of 300 bytes.
        out.push_back({"png-palette-missing.png", withoutChunk(plain, "PLTE")});
        out.push_back({"png-palette-empty.png",
                       withChunkBeforeImage(withoutChunk(plain, "PLTE"), "PLTE", std::string())});
        out.push_back({"png-palette-oversized.png",
                       withChunkBeforeImage(withoutChunk(plain, "PLTE"), "PLTE", std::string(300 * 3, '\x11'))});
        // Chunks the reader skips, sound or damaged, before the image data.
        out.push_back({"png-text.png", withChunkBeforeImage(plain, "tEXt", std::string("Comment\0made here", 17))});
        std::string damagedText = withChunkBeforeImage(plain, "tEXt", "Comment");
        damagedText[damagedText.find("tEXt") + 4 + 7] ^= 0x55;
        out.push_back({"png-text-crc.png", damagedText});
        // A damaged tRNS decides which pixels show: refused.
        p.paletteAlpha = {0};
        std::string damagedAlpha = writePng(p);
        damagedAlpha[damagedAlpha.find("tRNS") + 5] ^= 0x55;
        out.push_back({"png-trns-crc.png", damagedAlpha});
        // A grey picture with a palette chunk.
        PngPicture grey;
        grey.width = 3;
        grey.height = 2;
        grey.colourType = PNG_COLOR_TYPE_GRAY;
        grey.samples = samplesOf(3, 2, 1, 8, 0);
        std::string colours;
        for (int i = 0; i < 4; ++i)
            colours += std::string{char(40 + i), char(50 + i), char(60 + i)};
        out.push_back({"png-grey-plte.png", withChunkBeforeImage(writePng(grey), "PLTE", colours)});
        // Sizes: at the source limits and past them.
        grey.width = 8191;
        grey.height = 1;
        grey.samples = samplesOf(8191, 1, 1, 8, 0);
        png("png-widest", grey);
        grey.width = 8192;
        grey.samples = samplesOf(8192, 1, 1, 8, 0);
        png("png-too-wide", grey);
    }
    // Cut inside the header and inside the chunks before the image data.
    {
        PngPicture p;
        p.width = 4;
        p.height = 4;
        p.samples = samplesOf(4, 4, 3, 8, 0);
        const std::string whole = writePng(p);
        out.push_back({"png-cut-ihdr.png", whole.substr(0, 20)});
        out.push_back({"png-cut-signature.png", whole.substr(0, 8)});
        std::string badIhdr = whole;
        badIhdr[29] ^= 0x01; // the IHDR's CRC
        out.push_back({"png-ihdr-crc.png", badIhdr});
        std::string badDepth = whole;
        badDepth[24] = 3; // bit depth 3
        out.push_back({"png-bad-depth.png", badDepth});
    }

    // BMP: every bit count, the run-length codings, bit fields, the OS/2
    // header, rows top-down, and palettes shorter than the bit count allows.
    auto bmp = [&](const std::string& name, BmpPicture p) { out.push_back({name + ".bmp", bmpFile(p)}); };
    for (int bits : {1, 4, 8}) {
        BmpPicture p;
        p.width = 9;
        p.height = 5;
        p.bits = bits;
        p.palette = bmpPalette(1 << bits, ++seed);
        bmp("bmp-" + std::to_string(bits), p);
        p.height = -5;
        bmp("bmp-" + std::to_string(bits) + "-topdown", p);
        p.height = 5;
        p.colourCount = 2;
        p.palette = bmpPalette(2, ++seed);
        // Only the two entries there are.
        p.values.assign(45, 0);
        for (std::size_t i = 0; i < p.values.size(); ++i)
            p.values[i] = std::uint32_t(i % 2);
        bmp("bmp-" + std::to_string(bits) + "-short-palette", p);
        p.headerSize = 12;
        p.colourCount = 0;
        p.palette = bmpPalette(1 << bits, ++seed);
        p.values.clear();
        bmp("bmp-" + std::to_string(bits) + "-os2", p);
        for (std::uint32_t headerSize : {52u, 56u, 64u, 108u, 124u}) {
            p.headerSize = headerSize;
            p.palette = bmpPalette(1 << bits, ++seed);
            bmp("bmp-" + std::to_string(bits) + "-header" + std::to_string(headerSize), p);
        }
    }
    {
        // No room for a single entry between the header and the pixels.
        BmpPicture p;
        p.width = 4;
        p.height = 2;
        p.bits = 8;
        p.values = std::vector<std::uint32_t>(8, 0);
        bmp("bmp-8-no-palette", p);
        // The fourth byte of an entry is no alpha.
        p.palette = {0xC0123456, 0x00FFFFFF};
        bmp("bmp-8-entry-fourth-byte", p);
    }
    for (int bits : {16, 24, 32}) {
        BmpPicture p;
        p.width = 6;
        p.height = 3;
        p.bits = bits;
        bmp("bmp-" + std::to_string(bits), p);
        p.height = -3;
        bmp("bmp-" + std::to_string(bits) + "-topdown", p);
        p.height = 3;
        if (bits != 24) {
            p.compression = 3;
            p.masks = bits == 16 ? std::vector<std::uint32_t>{0xF800, 0x07E0, 0x001F}
                                 : std::vector<std::uint32_t>{0x0000FF00, 0x00FF0000, 0xFF000000};
            bmp("bmp-" + std::to_string(bits) + "-bitfields", p);
            p.headerSize = 56;
            p.masks.push_back(bits == 16 ? 0 : 0x000000FF);
            bmp("bmp-" + std::to_string(bits) + "-bitfields-56", p);
            // Masks that overlap: refused.
            p.masks = {0xFF00, 0x0FF0, 0x000F, 0};
            bmp("bmp-" + std::to_string(bits) + "-bitfields-overlap", p);
        }
    }
    {
        BmpPicture p;
        p.headerSize = 12;
        p.width = 5;
        p.height = 2;
        p.bits = 24;
        bmp("bmp-24-os2", p);
    }
    {
        // Run-length: 4 x 2, a run and a literal in each coding.
        BmpPicture p;
        p.width = 4;
        p.height = 2;
        p.bits = 8;
        p.compression = 1;
        p.palette = bmpPalette(5, ++seed);
        p.pixels = std::string("\x04\x01\x00\x00\x00\x04\x00\x01\x02\x03\x00\x01", 12);
        bmp("bmp-rle8", p);
        p.bits = 4;
        p.compression = 2;
        p.palette = bmpPalette(16, ++seed);
        p.pixels = std::string("\x04\x12\x00\x00\x00\x04\x12\x34\x00\x01", 10);
        bmp("bmp-rle4", p);
        // Run-length data cannot be stored top-down; RLE4 is for 4 bits only.
        p.height = -2;
        bmp("bmp-rle4-topdown", p);
        p.height = 2;
        p.bits = 8;
        bmp("bmp-rle4-8bits", p);
    }
    {
        // Refused from the header: bit count, header size, cut, too tall.
        BmpPicture p;
        p.width = 3;
        p.height = 3;
        p.bits = 2;
        bmp("bmp-2bits", p);
        p.bits = 24;
        p.headerSize = 20;
        bmp("bmp-header20", p);
        p.headerSize = 40;
        const std::string whole = bmpFile(p);
        out.push_back({"bmp-cut-header.bmp", whole.substr(0, 30)});
        out.push_back({"bmp-cut-pixels.bmp", whole.substr(0, whole.size() - 2)});
        p.width = 1;
        p.height = 16384;
        p.pixels = std::string(4, '\0');
        bmp("bmp-too-tall", p);
        p.width = 0;
        bmp("bmp-no-width", p);
    }

    // XYZ: its 256 colours, and headers refused.
    {
        std::string colours;
        for (int i = 0; i < 256; ++i)
            colours += std::string{char(12 + i), char(34 + 3 * i), char(56 + 5 * i)};
        std::string indices;
        for (int i = 0; i < 5 * 3; ++i)
            indices += char(i * 17);
        out.push_back({"xyz.xyz", xyzFile(5, 3, colours, indices)});
        out.push_back({"xyz-no-pixels.xyz", xyzFile(0, 3, colours, "")});
        out.push_back({"xyz-too-wide.xyz", xyzFile(8192, 1, colours, std::string(8192, '\0'))});
        out.push_back({"xyz-cut-header.xyz", xyzHeader(5, 3).substr(0, 6)});
        out.push_back({"xyz-not-zlib.xyz", xyzHeader(5, 3) + "\x78\x9C\xFF\xFF\xFF\xFF\xFF\xFF"});
        out.push_back({"xyz-short-palette.xyz", xyzHeader(5, 3) + deflated(colours.substr(0, 700))});
    }

    // JPEG: grey, colour, CMYK, progressive; a file with no frame.
    {
        JpegPicture p;
        p.width = 13;
        p.height = 9;
        for (int components : {1, 3, 4})
            for (bool progressive : {false, true}) {
                p.components = components;
                p.progressive = progressive;
                out.push_back({"jpeg-" + std::to_string(components) + (progressive ? "-progressive" : "") + ".jpg",
                               jpegFile(p)});
            }
        out.push_back({"jpeg-no-frame.jpg", std::string("\xFF\xD8\xFF\xD9", 4)});
        p.components = 3;
        p.progressive = false;
        p.width = 8192;
        p.height = 1;
        out.push_back({"jpeg-too-wide.jpg", jpegFile(p)});
    }

    // Kinds the engine does not decode, and nothing at all.
    out.push_back({"gif.gif", "GIF89a" + std::string("\x03\x00\x02\x00\x80\x00\x00", 7) + std::string(20, '\0')});
    out.push_back({"empty.png", ""});
    return out;
}

#endif
