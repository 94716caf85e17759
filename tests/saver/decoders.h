// Independent readers of the written files: SDL's own for BMP, libpng's
// simplified reader and a chunk walker for PNG, libjpeg's decompressor.
#ifndef TESTS_SAVER_DECODERS_H
#define TESTS_SAVER_DECODERS_H

#include "tests/saver/saver_fixtures.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace saver_test {

// Channel values of pixel (x, y) by the surface's own masks; a palette
// surface gives its index first.
inline Rgba rawAt(const SDL_Surface* s, int x, int y)
{
    const SDL_PixelFormat* f = s->format;
    Uint32 v = 0;
    std::memcpy(&v, static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * f->BytesPerPixel, f->BytesPerPixel);
    if (f->BytesPerPixel == 1)
        return {int(v), 0, 0, 0};
    return {int((v & f->Rmask) >> f->Rshift), int((v & f->Gmask) >> f->Gshift), int((v & f->Bmask) >> f->Bshift), 0};
}

inline SurfacePtr decodeBmp(const Bytes& file)
{
    return SurfacePtr(SDL_LoadBMP_RW(SDL_RWFromConstMem(file.data(), int(file.size())), 1));
}

// The data of the first chunk of a type, or nothing.
inline Bytes pngChunk(const Bytes& file, const char* type)
{
    for (size_t at = 8; at + 12 <= file.size();) {
        const size_t length = size_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
        if (std::memcmp(&file[at + 4], type, 4) == 0 && at + 12 + length <= file.size())
            return Bytes(file.begin() + long(at + 8), file.begin() + long(at + 8 + length));
        at += 12 + length;
    }
    return {};
}

// Pixels as 8-bit red, green, blue, alpha (tRNS turned into alpha).
struct Decoded {
    int width = 0, height = 0, channels = 4;
    Bytes pixels;
    Rgba at(int x, int y) const
    {
        const Uint8* p = &pixels[size_t(channels) * (size_t(y) * width + x)];
        return {p[0], p[1], p[2], channels == 4 ? p[3] : 255};
    }
};

inline Decoded decodePng(const Bytes& file)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Decoded out;
    if (png_image_begin_read_from_memory(&image, file.data(), file.size())) {
        image.format = PNG_FORMAT_RGBA;
        out.pixels.resize(PNG_IMAGE_SIZE(image));
        if (png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) {
            out.width = int(image.width);
            out.height = int(image.height);
        }
    }
    png_image_free(&image);
    return out;
}

inline Decoded decodeJpeg(const Bytes& file)
{
    struct Errors {
        jpeg_error_mgr pub;
        std::jmp_buf back;
    } errors;
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<Errors*>(c->err)->back, 1); };
    Decoded out;
    out.channels = 3;
    if (setjmp(errors.back) == 0) {
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, file.data(), (unsigned long)file.size());
        jpeg_read_header(&info, TRUE);
        jpeg_start_decompress(&info);
        out.pixels.resize(size_t(info.output_width) * info.output_height * 3);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = &out.pixels[size_t(info.output_scanline) * info.output_width * 3];
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        out.width = int(info.output_width);
        out.height = int(info.output_height);
    }
    jpeg_destroy_decompress(&info);
    return out;
}

} // namespace saver_test

#endif
