#ifndef TESTS_JPEGMAKER_H
#define TESTS_JPEGMAKER_H

// Writes JPEG files in memory with libjpeg: grey, RGB or CMYK, baseline or
// progressive, so reader tests and seeds have real files of every kind.

#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

struct JpegPicture {
    int width = 1;
    int height = 1;
    int components = 3;       // 1 grey, 3 RGB, 4 CMYK
    bool progressive = false;
    int quality = 90;
    // Row by row, component by component; empty: a gradient of the position.
    std::vector<std::uint8_t> samples;
};

namespace jpegmaker {
struct Failure {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};
inline void fail(j_common_ptr info) { std::longjmp(reinterpret_cast<Failure*>(info->err)->jump, 1); }
inline void quiet(j_common_ptr) {}
} // namespace jpegmaker

// The file's bytes, or nothing when libjpeg refuses.
inline std::string jpegFile(const JpegPicture& p)
{
    std::vector<std::uint8_t> samples = p.samples;
    if (samples.empty())
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                for (int c = 0; c < p.components; ++c)
                    samples.push_back(std::uint8_t(x * 29 + y * 11 + c * 80));
    jpeg_compress_struct info;
    jpegmaker::Failure errors;
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jpegmaker::fail;
    errors.pub.output_message = jpegmaker::quiet;
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return std::string();
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = JDIMENSION(p.width);
    info.image_height = JDIMENSION(p.height);
    info.input_components = p.components;
    info.in_color_space = p.components == 1 ? JCS_GRAYSCALE : p.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, p.quality, TRUE);
    if (p.progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = samples.data() + std::size_t(info.next_scanline) * p.width * p.components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<const char*>(buffer), length);
    std::free(buffer);
    return out;
}

// A JPEG cut at its markers: each segment from its marker to the next one
// (a scan with its entropy-coded data), so tests can repeat, drop or
// surround them.
inline std::vector<std::string> jpegSegments(const std::string& file)
{
    std::vector<std::string> segments;
    std::size_t at = 0;
    while (at + 1 < file.size()) {
        std::size_t next = at + 2;
        const unsigned char marker = static_cast<unsigned char>(file[at + 1]);
        if (marker != 0xD8 && marker != 0xD9 && next + 1 < file.size())
            next += (std::size_t(static_cast<unsigned char>(file[next])) << 8 | static_cast<unsigned char>(file[next + 1]));
        if (marker == 0xDA) // the entropy-coded data up to the next real marker
            while (next + 1 < file.size()
                   && !(static_cast<unsigned char>(file[next]) == 0xFF && file[next + 1] != 0
                        && (static_cast<unsigned char>(file[next + 1]) < 0xD0
                            || static_cast<unsigned char>(file[next + 1]) > 0xD7)))
                ++next;
        segments.push_back(file.substr(at, next - at));
        at = next;
    }
    return segments;
}

#endif
