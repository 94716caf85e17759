#ifndef TESTS_PNGMAKER_H
#define TESTS_PNGMAKER_H

// Writes small PNG files in memory with libpng, of any colour type, bit depth
// and interlacing, so loader tests can state exactly which samples a file holds.

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <string>
#include <vector>

struct PngPicture {
    int width = 1;
    int height = 1;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    // Row by row, channel by channel, each sample in the file's own range
    // (0 .. 2^bitDepth - 1); a palette picture holds indices.
    std::vector<std::uint16_t> samples;
    std::vector<png_color> palette;
    // The tRNS chunk: alpha per palette entry, or the one transparent colour
    // of a grey or RGB picture (in the file's bit depth).
    std::vector<std::uint8_t> paletteAlpha;
    bool hasTransparentColour = false;
    png_color_16 transparentColour{};
};

inline int pngChannels(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

namespace pngmaker_detail {

// Everything a long jump out of libpng must find intact lives here, outside
// the registers of the function that called setjmp.
struct Writer {
    std::string bytes;
    std::vector<std::vector<png_byte>> rows;
    std::vector<png_bytep> pointers;
    std::jmp_buf jump;
};

inline void writeBytes(png_structp png, png_bytep data, size_t length)
{
    static_cast<Writer*>(png_get_io_ptr(png))->bytes.append(reinterpret_cast<const char*>(data), length);
}

inline void flushNothing(png_structp) {}

inline void fail(png_structp png, png_const_charp)
{
    std::longjmp(static_cast<Writer*>(png_get_error_ptr(png))->jump, 1);
}

inline void quiet(png_structp, png_const_charp) {}

// Packs one row of samples into the file's bytes: big-endian 16-bit samples,
// low depths filled from the most significant bit.
inline std::vector<png_byte> packRow(const PngPicture& p, int y)
{
    const int perRow = p.width * pngChannels(p.colourType);
    std::vector<png_byte> row((static_cast<size_t>(perRow) * p.bitDepth + 7) / 8, 0);
    for (int i = 0; i < perRow; ++i) {
        unsigned v = p.samples[static_cast<size_t>(y) * perRow + i];
        if (p.bitDepth == 16) {
            row[2 * i] = static_cast<png_byte>(v >> 8);
            row[2 * i + 1] = static_cast<png_byte>(v);
        } else if (p.bitDepth == 8) {
            row[i] = static_cast<png_byte>(v);
        } else {
            const int bit = i * p.bitDepth;
            row[bit / 8] |= static_cast<png_byte>(v << (8 - p.bitDepth - bit % 8));
        }
    }
    return row;
}

} // namespace pngmaker_detail

// The file's bytes, or an empty string when libpng refuses the picture.
inline std::string writePng(const PngPicture& p)
{
    using namespace pngmaker_detail;
    Writer writer;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &writer, fail, quiet);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    if (setjmp(writer.jump)) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &writer, writeBytes, flushNothing);
    // Tests write indices past the palette on purpose.
    png_set_check_for_invalid_index(png, 0);
    png_set_IHDR(png, info, p.width, p.height, p.bitDepth, p.colourType,
                 p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!p.palette.empty())
        png_set_PLTE(png, info, p.palette.data(), static_cast<int>(p.palette.size()));
    if (!p.paletteAlpha.empty())
        png_set_tRNS(png, info, p.paletteAlpha.data(), static_cast<int>(p.paletteAlpha.size()), nullptr);
    if (p.hasTransparentColour) {
        png_color_16 colour = p.transparentColour;
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    png_write_info(png, info);
    for (int y = 0; y < p.height; ++y)
        writer.rows.push_back(packRow(p, y));
    for (auto& row : writer.rows)
        writer.pointers.push_back(row.data());
    png_write_image(png, writer.pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return writer.bytes;
}

inline void appendBigEndian32(std::string& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>(v >> shift);
}

// The CRC-32 of PNG chunks (and zlib), bit by bit: only a few bytes go through it.
inline std::uint32_t pngCrc(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// One chunk with its length and CRC, for hand-made damaged files.
inline void appendChunk(std::string& out, const char* type, const std::string& data)
{
    appendBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    appendBigEndian32(out, pngCrc(body));
}

// The pixels of a PNG file's bytes as libpng's simplified reader gives them:
// red, green, blue, alpha, a palette file's tRNS entries as alpha. Empty
// when libpng refuses the file.
inline std::vector<png_byte> rgbaOfPng(const std::string& file)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<png_byte> pixels;
    if (png_image_begin_read_from_memory(&image, file.data(), file.size())) {
        image.format = PNG_FORMAT_RGBA;
        pixels.resize(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
            pixels.clear();
    }
    png_image_free(&image);
    return pixels;
}

#endif
