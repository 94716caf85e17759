// Draws the seed corpora of the fuzz targets but the window's (see
// make_settings_seeds.cpp): small pictures of every PNG colour type and
// depth, BMP and JPEG pictures, a chipset and a charset, each under a few
// conversion settings; bitmaps of every header, depth and coding; JPEG files
// of every colour space; XYZ files and the first bytes of every kind the
// sniffer names; surfaces for the writers; command lines. Everything is
// drawn here; nothing is read from anywhere.
//
//     fuzz_make_seeds OUTPUT_FOLDER
//
// writes OUTPUT_FOLDER/<target>/<name> for fuzz_convert, fuzz_png_loader,
// fuzz_bmp_loader, fuzz_jpeg_loader, fuzz_picture_format, fuzz_savers,
// fuzz_png_encoder and fuzz_cli_options, replacing what was there.
#include "BmpMaker.h"
#include "JpegMaker.h"
#include "PngMaker.h"
#include "fuzz/ConvertInput.h"
#include "fuzz/EncoderInput.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/SaverInput.h"
#include "saver/writepix.h"

#include <SDL.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The default transparent colour of the editors' pictures.
constexpr std::uint8_t keyRed = 0x00, keyGreen = 0x75, keyBlue = 0x75;

std::string outputRoot;

void put(const std::string& target, const std::string& name, const Bytes& bytes)
{
    const std::string folder = outputRoot + "/" + target;
    if (!fuzz::writeFile(folder + "/" + name, bytes.data(), bytes.size())) {
        std::fprintf(stderr, "fuzz_make_seeds: cannot write %s/%s\n", folder.c_str(), name.c_str());
        std::exit(1);
    }
}

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Tiles of flat colours with key-coloured corners, so the cut, the key and
// the grid all have something to work on, and the file stays small.
void tileColour(int x, int y, int tile, std::uint8_t rgb[3])
{
    const int tx = x / tile, ty = y / tile, u = x % tile, v = y % tile;
    if ((u < 2 && v < 2) || (tx + ty) % 7 == 3) {
        rgb[0] = keyRed, rgb[1] = keyGreen, rgb[2] = keyBlue;
        return;
    }
    rgb[0] = std::uint8_t(40 * tx + 17 * (v / 4));
    rgb[1] = std::uint8_t(60 * ty + 9 * (u / 4));
    rgb[2] = std::uint8_t(25 * (tx + ty));
}

PngPicture rgbPicture(int width, int height, int tile)
{
    PngPicture p;
    p.width = width;
    p.height = height;
    p.colourType = PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t rgb[3];
            tileColour(x, y, tile, rgb);
            p.samples.insert(p.samples.end(), {rgb[0], rgb[1], rgb[2]});
        }
    return p;
}

// One picture of each colour type and depth the loader handles differently.
std::vector<std::pair<std::string, std::string>> pngPictures()
{
    std::vector<std::pair<std::string, std::string>> files;
    files.emplace_back("rgb8.png", writePng(rgbPicture(16, 16, 8)));

    PngPicture palette;
    palette.width = 20;
    palette.height = 12;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    for (int i = 0; i < 16; ++i)
        palette.palette.push_back(png_color{png_byte(i * 16), png_byte(255 - i * 8), png_byte(i * 5)});
    palette.palette[0] = png_color{keyRed, keyGreen, keyBlue};
    for (int y = 0; y < palette.height; ++y)
        for (int x = 0; x < palette.width; ++x)
            palette.samples.push_back(std::uint16_t((x / 3 + y / 2) % 17)); // 16 lies past the palette
    palette.paletteAlpha = {0};
    files.emplace_back("palette8-key.png", writePng(palette));

    palette.bitDepth = 4;
    palette.paletteAlpha = {0, 128, 255, 64};
    for (auto& s : palette.samples)
        s = std::uint16_t(s % 16);
    files.emplace_back("palette4-alpha.png", writePng(palette));

    PngPicture grey;
    grey.width = 13;
    grey.height = 9;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.bitDepth = 2;
    grey.interlaced = true;
    for (int i = 0; i < grey.width * grey.height; ++i)
        grey.samples.push_back(std::uint16_t(i % 4));
    grey.hasTransparentColour = true;
    grey.transparentColour.gray = 2;
    files.emplace_back("grey2-interlaced-key.png", writePng(grey));

    grey.bitDepth = 16;
    grey.interlaced = false;
    grey.hasTransparentColour = false;
    for (int i = 0; i < grey.width * grey.height; ++i)
        grey.samples[i] = std::uint16_t(i * 541);
    files.emplace_back("grey16.png", writePng(grey));

    PngPicture greyAlpha;
    greyAlpha.width = 7;
    greyAlpha.height = 5;
    greyAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    for (int i = 0; i < greyAlpha.width * greyAlpha.height; ++i)
        greyAlpha.samples.insert(greyAlpha.samples.end(), {std::uint16_t(i * 7), std::uint16_t(i % 2 ? 255 : 0)});
    files.emplace_back("grey-alpha8.png", writePng(greyAlpha));

    PngPicture rgba;
    rgba.width = 12;
    rgba.height = 10;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.interlaced = true;
    for (int i = 0; i < rgba.width * rgba.height; ++i)
        rgba.samples.insert(rgba.samples.end(), {std::uint16_t(i), std::uint16_t(3 * i), std::uint16_t(255 - i),
                                                 std::uint16_t(i % 3 == 0 ? 0 : 200)});
    files.emplace_back("rgba8-interlaced.png", writePng(rgba));

    PngPicture rgb16;
    rgb16.width = 6;
    rgb16.height = 6;
    rgb16.colourType = PNG_COLOR_TYPE_RGB;
    rgb16.bitDepth = 16;
    for (int i = 0; i < rgb16.width * rgb16.height; ++i)
        rgb16.samples.insert(rgb16.samples.end(),
                             {std::uint16_t(i * 1000), std::uint16_t(0x7575), std::uint16_t(0x75FF - i)});
    rgb16.hasTransparentColour = true;
    rgb16.transparentColour.red = 0;
    rgb16.transparentColour.green = 0x7575;
    rgb16.transparentColour.blue = 0x75FF;
    files.emplace_back("rgb16-key.png", writePng(rgb16));

    // An ancillary chunk the loader skips, before the image data.
    std::string withText = files[0].second;
    const std::size_t afterHeader = 8 + 25;
    std::string chunk;
    appendChunk(chunk, "tEXt", std::string("Comment\0seed", 12));
    withText.insert(afterHeader, chunk);
    files.emplace_back("rgb8-text.png", withText);
    // Cut inside the image data.
    files.emplace_back("rgb8-truncated.png", files[0].second.substr(0, files[0].second.size() - 20));
    return files;
}

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

SurfacePtr drawnSurface(int width, int height, int depth, int tile)
{
    SurfacePtr s(depth <= 8 ? SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, depth, 0, 0, 0, 0)
                            : SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, depth, 0x0000FF, 0x00FF00,
                                                   0xFF0000, 0));
    if (!s)
        return s;
    if (SDL_Palette* palette = s->format->palette) {
        for (int i = 0; i < palette->ncolors; ++i)
            palette->colors[i] = SDL_Color{Uint8(i * 37), Uint8(255 - i * 11), Uint8(i * 3), 0};
        palette->colors[0] = SDL_Color{keyRed, keyGreen, keyBlue, 0};
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t rgb[3];
            tileColour(x, y, tile, rgb);
            const Uint32 value = SDL_MapRGB(s->format, rgb[0], rgb[1], rgb[2]);
            Uint8* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
            switch (depth) {
            case 1:
                row[x / 8] = Uint8(row[x / 8] | (value & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] = Uint8(row[x / 2] | (value & 15) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = Uint8(value);
                break;
            default:
                std::memcpy(row + 3 * x, &value, 3);
                break;
            }
        }
    return s;
}

std::string saved(int (*writer)(SDL_Surface*, SDL_RWops*), SDL_Surface* s)
{
    std::vector<char> buffer(4 << 20);
    SDL_RWops* dst = SDL_RWFromMem(buffer.data(), int(buffer.size()));
    const int result = writer(s, dst);
    const int length = SDL_RWtell(dst);
    SDL_RWclose(dst);
    if (result != 0 || length <= 0) {
        std::fprintf(stderr, "fuzz_make_seeds: a writer failed: %s\n", SDL_GetError());
        std::exit(1);
    }
    return std::string(buffer.data(), std::size_t(length));
}

void littleEndian(std::string& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((v >> (8 * i)) & 0xFF);
}

// An OS/2 bitmap: the 12-byte core header with 16-bit sizes, 24-bit rows.
std::string os2Bitmap(int width, int height)
{
    const int row = (3 * width + 3) / 4 * 4;
    std::string out = "BM";
    littleEndian(out, std::uint32_t(14 + 12 + row * height), 4);
    littleEndian(out, 0, 4);
    littleEndian(out, 14 + 12, 4);
    littleEndian(out, 12, 4);
    littleEndian(out, std::uint32_t(width), 2);
    littleEndian(out, std::uint32_t(height), 2);
    littleEndian(out, 1, 2);
    littleEndian(out, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < row; ++x)
            out += char(x < 3 * width ? (x * 29 + y * 7) & 0xFF : 0);
    return out;
}

std::vector<std::pair<std::string, std::string>> otherPictures()
{
    std::vector<std::pair<std::string, std::string>> files;
    for (int depth : {1, 4, 8, 24}) {
        SurfacePtr s = drawnSurface(19, 11, depth, 6);
        files.emplace_back("bmp" + std::to_string(depth) + ".bmp", saved(WPX_SaveBMP_RW, s.get()));
    }
    files.emplace_back("os2.bmp", os2Bitmap(5, 3));
    SurfacePtr small = drawnSurface(33, 17, 24, 8);
    files.emplace_back("small.jpg", saved(WPX_SaveJPG_RW, small.get()));
    SurfacePtr chipset = drawnSurface(480, 256, 24, 16);
    files.emplace_back("chipset.jpg", saved(WPX_SaveJPG_RW, chipset.get()));
    return files;
}

void convertSeeds(const std::vector<std::pair<std::string, std::string>>& pictures)
{
    auto seed = [](const std::string& name, fuzz::ConvertCase c, const std::string& file) {
        c.file.assign(file.begin(), file.end());
        put("fuzz_convert", name, fuzz::encodeConvertCase(c));
    };
    auto extensionOf = [](const std::string& name) {
        for (unsigned i = 0; i < fuzz::convertExtensions.size(); ++i)
            if (name.size() > 4 && name.compare(name.size() - 4, 4, fuzz::convertExtensions[i]) == 0)
                return i;
        return 0u;
    };

    // Every small picture once with the usual settings (custom 16 x 16 grid,
    // bilinear, sharpen 2, PNG), each under another key, format or mode.
    unsigned n = 0;
    for (const auto& [name, file] : pictures) {
        fuzz::ConvertCase c;
        c.extension = extensionOf(name);
        c.keyMode = fuzz::KeyMode(n % 4);
        c.key[0] = keyRed, c.key[1] = keyGreen, c.key[2] = keyBlue;
        c.format = n % 3;
        c.interpolation = n % fuzz::convertInterpolations;
        c.sharpen = n % fuzz::convertSharpenLevels.size();
        c.gridWidth = std::int8_t(n % 5 == 0 ? 0 : 4 + n % 13);
        c.gridHeight = std::int8_t(n % 6 == 0 ? -1 : 3 + n % 11);
        c.eraseAlphaGrid = n % 2 == 0;
        c.pngFilter = n % fuzz::convertPngFilters.size();
        c.twoThreads = n % 3 == 1;
        c.compareReference = n % 3 == 0;
        seed(std::to_string(n) + "-" + name, c, file);
        ++n;
    }

    // The editor presets on pictures of their sizes.
    const std::string chipset = writePng(rgbPicture(480, 256, 16));
    fuzz::ConvertCase preset;
    preset.editorPreset = true;
    preset.eraseAlphaGrid = true;
    preset.keyMode = fuzz::KeyMode::Rgb;
    preset.key[0] = keyRed, preset.key[1] = keyGreen, preset.key[2] = keyBlue;
    seed("chipset-preset.png", preset, chipset);
    preset.twoThreads = true;
    preset.format = 0;
    preset.cancelAfter = 5;
    seed("chipset-preset-cancel.png", preset, chipset);
    const std::string charset = writePng(rgbPicture(288, 256, 24));
    preset.twoThreads = false;
    preset.format = 1;
    preset.cancelAfter = 0;
    preset.interpolation = 2;
    preset.gridWidth = 24, preset.gridHeight = 32;
    preset.compareReference = true;
    seed("charset-preset.png", preset, charset);

    // Settings the engine refuses: no output, clashing suffixes, an unknown
    // format.
    fuzz::ConvertCase refused;
    refused.saveNatural = refused.saveColor = refused.saveAlpha = false;
    seed("no-output.png", refused, pictures[0].second);
    refused.saveColor = refused.saveAlpha = true;
    refused.suffixClash = true;
    seed("suffix-clash.png", refused, pictures[0].second);
    refused.suffixClash = false;
    refused.format = 3;
    refused.nestedFolder = true;
    refused.outputName = true;
    seed("unknown-format.png", refused, pictures[0].second);
}

void saverSeeds()
{
    int n = 0;
    auto seed = [&n](fuzz::SaverCase c) {
        const int width = c.width, height = c.height;
        for (int i = 0; i < 64 * 64 * 4; ++i)
            c.pixels.push_back(std::uint8_t((i * 73 + i / 7) & 0xFF));
        c.pixels.resize(std::size_t(width) * height * 4);
        put("fuzz_savers", std::to_string(n++) + "-" + std::to_string(c.depth) + "bit", fuzz::encodeSaverCase(c));
    };
    for (int depth : fuzz::saverDepths) {
        for (unsigned writer = 0; writer < fuzz::saverWriterCount; ++writer) {
            fuzz::SaverCase c;
            c.depth = depth;
            c.width = 5 + n % 29;
            c.height = 3 + n % 17;
            c.layout = unsigned(n);
            c.paletteSize = depth <= 8 ? (1u << depth) - unsigned(n % 2) : 0;
            for (unsigned i = 0; i < 3 * c.paletteSize; ++i)
                c.palette.push_back(std::uint8_t(i * 11));
            c.colourKey = n % 3 == 0;
            c.key = std::uint32_t(n % 5);
            c.surfaceAlpha = n % 4 == 1;
            c.alpha = 128;
            c.writer = fuzz::SaverWriter(writer);
            c.filter = n % int(fuzz::saverFilterCount);
            c.threads = 1 + n % 3;
            c.typeName = n % 2 ? "png" : "Jpeg";
            seed(c);
        }
    }
    fuzz::SaverCase raw;
    raw.depth = 32;
    raw.width = 9;
    raw.height = 4;
    raw.rawMasks = true;
    raw.masks[0] = 0x00000F0F;
    raw.masks[1] = 0x0000F0F0;
    raw.masks[2] = 0x00FF0000;
    raw.masks[3] = 0x80000000;
    raw.writer = fuzz::SaverWriter::Png;
    seed(raw);
    raw.writer = fuzz::SaverWriter::Bmp;
    raw.shortBuffer = true;
    raw.bufferBytes = 60;
    seed(raw);
}

void bmpSeeds()
{
    std::vector<std::uint32_t> colours;
    for (int i = 0; i < 256; ++i)
        colours.push_back(std::uint32_t(i * 0x010305));
    int n = 0;
    auto seed = [&n](const std::string& what, const BmpPicture& p) {
        put("fuzz_bmp_loader", std::to_string(n++) + "-" + what, bytesOf(bmpFile(p)));
    };
    for (std::uint32_t header : {12u, 40u, 56u, 64u, 124u})
        for (int bits : {1, 4, 8, 16, 24, 32}) {
            if (header == 12 && (bits == 16 || bits == 32))
                continue;
            BmpPicture p;
            p.headerSize = header;
            p.width = 7 + n % 5;
            p.height = header == 12 || n % 3 != 0 ? 3 + n % 4 : -(3 + n % 4);
            p.bits = bits;
            if (bits <= 8)
                p.palette.assign(colours.begin(), colours.begin() + (1 << bits));
            seed("h" + std::to_string(header) + "-" + std::to_string(bits) + "bit", p);
        }
    BmpPicture fields;
    fields.width = 5;
    fields.height = 3;
    fields.compression = 3;
    fields.bits = 16;
    fields.masks = {0xF800, 0x07E0, 0x001F};
    seed("565", fields);
    fields.bits = 32;
    fields.headerSize = 108;
    fields.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
    seed("abgr", fields);
    BmpPicture rle;
    rle.width = 8;
    rle.height = 4;
    rle.bits = 8;
    rle.compression = 1;
    rle.palette = colours;
    rle.pixels = std::string("\x03\x07\x00\x03\x01\x02\x03\x00\x02\x09\x00\x00\x00\x02\x02\x01\x04\x05\x00\x00"
                             "\x00\x05\x09\x08\x07\x06\x05\x00\x00\x01",
                             30);
    seed("rle8", rle);
    rle.bits = 4;
    rle.compression = 2;
    rle.palette.resize(16);
    rle.pixels = std::string("\x05\x12\x00\x00\x00\x03\x34\x50\x00\x00\x00\x05\x67\x89\xA0\x00\x00\x00\x08\xFE\x00\x01", 22);
    seed("rle4", rle);
}

void jpegSeeds()
{
    int n = 0;
    for (int components : {1, 3, 4})
        for (bool progressive : {false, true}) {
            JpegPicture p;
            p.width = 11 + 6 * n;
            p.height = 7 + 3 * n;
            p.components = components;
            p.progressive = progressive;
            p.quality = 50 + 8 * n;
            const std::string file = jpegFile(p);
            const std::string name = std::to_string(n++) + "-" + std::to_string(components) + (progressive ? "p" : "b");
            put("fuzz_jpeg_loader", name, bytesOf(file));
            if (components == 3)
                put("fuzz_jpeg_loader", name + "-cut", bytesOf(file.substr(0, file.size() * 2 / 3)));
        }
}

std::string xyzFile(int width, int height)
{
    std::string raw;
    for (int i = 0; i < 768; ++i)
        raw += char((i * 37) & 0xFF);
    for (int i = 0; i < width * height; ++i)
        raw += char((i * 7 + i / width) & 0xFF);
    uLongf length = compressBound(uLong(raw.size()));
    std::string packed(length, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &length, reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()));
    packed.resize(length);
    return std::string("XYZ1") + char(width & 0xFF) + char(width >> 8) + char(height & 0xFF) + char(height >> 8)
           + packed;
}

void formatSeeds()
{
    put("fuzz_picture_format", "xyz-3x2", bytesOf(xyzFile(3, 2)));
    put("fuzz_picture_format", "xyz-40x17", bytesOf(xyzFile(40, 17)));
    put("fuzz_picture_format", "xyz-1x1", bytesOf(xyzFile(1, 1)));
    const char* heads[] = {"GIF89a\x01\x00\x01\x00", "II*\x00\x08", "MM\x00*", "gimp xcf v011", "/* XPM */\n",
                           "RIFF\x10\x00\x00\x00WEBPVP8 ", "P6\n3 2\n255\n", "FORM\x00\x00\x00\x08ILBM",
                           "8BPS", "qoif", "DDS ", "<svg>", "\x0A\x05\x01\x08"};
    int n = 0;
    for (const char* head : heads)
        put("fuzz_picture_format", "head-" + std::to_string(n++), bytesOf(head));
    const std::string tga("\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x05\x00\x04\x00\x18\x00", 18);
    put("fuzz_picture_format", "head-tga", bytesOf(tga));
    const std::string ico("\x00\x00\x01\x00\x01\x00", 6);
    put("fuzz_picture_format", "head-ico", bytesOf(ico));
    BmpPicture bmp;
    bmp.width = 3;
    bmp.height = 2;
    put("fuzz_picture_format", "bmp", bytesOf(bmpFile(bmp)));
    JpegPicture jpeg;
    jpeg.width = 5;
    jpeg.height = 3;
    put("fuzz_picture_format", "jpeg", bytesOf(jpegFile(jpeg)));
}

void cliSeeds()
{
    const char* lines[] = {
        "in.png",
        "-o|out|--name|n|pic.bmp",
        "--mode|custom|--grid|16x8|--interpolation|nearest|a.png",
        "--mode=chipset|--key=00ff00|--format|jpg|--outputs|color,alpha|x.png",
        "--key|topleft|--sharpen|0|--alpha-grid|-q|folder",
        "--key|palette|--no-alpha-grid|-v|--png-filter|paeth|-j|4|a|b",
        "--natural-suffix|n|--color-suffix=c|--alpha-suffix|a|--|-dash.png",
        "--help",
        "--version",
        "--sharpen|9|x",
        "--grid|axb|x",
        "--jobs=0|x",
        "--outputs|natural,,alpha|x",
        "-v|-q|x",
        "--help=yes",
        "--unknown",
        "-o",
    };
    int n = 0;
    for (const char* line : lines) {
        std::string args = line;
        for (char& c : args)
            if (c == '|')
                c = '\0';
        put("fuzz_cli_options", "args-" + std::to_string(n++), bytesOf(args));
    }
}

} // namespace

// Every layout under every compression, with doubled rows and few colours
// (the pictures the fast encoder and the palette are for) and without.
void encoderSeeds()
{
    int n = 0;
    for (unsigned layout = 0; layout < fuzz::encoderLayouts.size(); ++layout)
        for (unsigned compression = 0; compression < 4; ++compression) {
            fuzz::EncoderCase c;
            c.layout = layout;
            c.width = 3 + (n * 7) % 62;
            c.height = 2 + (n * 5) % 63;
            c.doubledRows = n % 2 == 0;
            c.fewColours = n % 3 != 2;
            c.colourKey = n % 5 == 1;
            c.palette = n % 4 < 2;
            c.colours = 2 + unsigned(n) % 20;
            c.compression = compression;
            c.filter = unsigned(n) % 8;
            c.threads = 1 + unsigned(n) % 4;
            // Runs of a value, as tiles have, with a step at every eighth.
            for (int i = 0; i < c.width * c.height * 4; ++i)
                c.pixels.push_back(std::uint8_t((i / 8) * 29 + (i % 8 == 7 ? n : 0)));
            put("fuzz_png_encoder", std::to_string(n++) + "-layout" + std::to_string(layout),
                fuzz::encodeEncoderCase(c));
        }
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds OUTPUT_FOLDER\n");
        return 2;
    }
    outputRoot = argv[1];
    for (const char* target : {"fuzz_convert", "fuzz_png_loader", "fuzz_bmp_loader", "fuzz_jpeg_loader",
                               "fuzz_picture_format", "fuzz_savers", "fuzz_png_encoder", "fuzz_cli_options"})
        fuzz::emptyFolder(outputRoot + "/" + target);

    const auto pngs = pngPictures();
    for (const auto& [name, file] : pngs)
        put("fuzz_png_loader", name, bytesOf(file));
    auto pictures = pngs;
    const auto others = otherPictures();
    pictures.insert(pictures.end(), others.begin(), others.end());
    convertSeeds(pictures);
    bmpSeeds();
    jpegSeeds();
    formatSeeds();
    saverSeeds();
    encoderSeeds();
    cliSeeds();
    return 0;
}
