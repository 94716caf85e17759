#include "auxlib/draw/PictureFormat.h"

#include "auxlib/draw/StreamBytes.h"

#include <cstring>

namespace auxlib::draw {

namespace {

bool startsWith(const std::uint8_t* head, std::size_t length, const char* text, std::size_t at = 0)
{
    const std::size_t n = std::strlen(text);
    return length >= at + n && std::memcmp(head + at, text, n) == 0;
}

bool startsWithBytes(const std::uint8_t* head, std::size_t length, const std::uint8_t* bytes, std::size_t n)
{
    return length >= n && std::memcmp(head, bytes, n) == 0;
}

bool isSpace(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// TGA has no signature at its start: a header whose fields all hold values
// the format allows is taken for one. Nothing decodes it either way; the
// name only makes the refusal clearer.
bool looksLikeTga(const std::uint8_t* head, std::size_t length)
{
    if (length < 18)
        return false;
    const std::uint8_t mapType = head[1], imageType = head[2], depth = head[16];
    const bool knownType = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 || imageType == 10
                           || imageType == 11;
    const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    const bool mapped = imageType == 1 || imageType == 9;
    return mapType <= 1 && knownType && knownDepth && (mapType == 1) == mapped && littleEndian16(head + 12) != 0
           && littleEndian16(head + 14) != 0 && (head[17] & 0xC0) == 0;
}

} // namespace

PictureFormat sniffPictureFormat(const std::uint8_t* head, std::size_t length)
{
    static const std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    static const std::uint8_t jpeg[] = {0xFF, 0xD8, 0xFF};
    static const std::uint8_t jpeg2000[] = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', '\r', '\n', 0x87, '\n'};
    static const std::uint8_t jpeg2000Stream[] = {0xFF, 0x4F, 0xFF, 0x51};
    static const std::uint8_t jpegXl[] = {0, 0, 0, 0x0C, 'J', 'X', 'L', ' ', '\r', '\n', 0x87, '\n'};
    static const std::uint8_t jpegXlStream[] = {0xFF, 0x0A};
    static const std::uint8_t openExr[] = {0x76, 0x2F, 0x31, 0x01};
    static const std::uint8_t tiffLittle[] = {'I', 'I', 0x2A, 0};
    static const std::uint8_t tiffBig[] = {'M', 'M', 0, 0x2A};
    static const std::uint8_t bigTiffLittle[] = {'I', 'I', 0x2B, 0};
    static const std::uint8_t bigTiffBig[] = {'M', 'M', 0, 0x2B};
    if (head == nullptr)
        return PictureFormat::Unknown;
    if (startsWithBytes(head, length, png, sizeof png))
        return PictureFormat::Png;
    if (startsWith(head, length, "BM"))
        return PictureFormat::Bmp;
    if (startsWithBytes(head, length, jpeg, sizeof jpeg))
        return PictureFormat::Jpeg;
    if (startsWith(head, length, "XYZ1"))
        return PictureFormat::Xyz;
    if (startsWith(head, length, "GIF87a") || startsWith(head, length, "GIF89a"))
        return PictureFormat::Gif;
    if (startsWithBytes(head, length, tiffLittle, 4) || startsWithBytes(head, length, tiffBig, 4)
        || startsWithBytes(head, length, bigTiffLittle, 4) || startsWithBytes(head, length, bigTiffBig, 4))
        return PictureFormat::Tiff;
    if (startsWith(head, length, "gimp xcf"))
        return PictureFormat::Xcf;
    if (startsWith(head, length, "/* XPM */") || startsWith(head, length, "! XPM2"))
        return PictureFormat::Xpm;
    if (startsWith(head, length, "RIFF") && startsWith(head, length, "WEBP", 8))
        return PictureFormat::WebP;
    if (startsWith(head, length, "FORM")
        && (startsWith(head, length, "ILBM", 8) || startsWith(head, length, "PBM ", 8)))
        return PictureFormat::Ilbm;
    if (startsWith(head, length, "8BPS"))
        return PictureFormat::Psd;
    if (startsWith(head, length, "qoif"))
        return PictureFormat::Qoi;
    if (startsWithBytes(head, length, jpeg2000, sizeof jpeg2000)
        || startsWithBytes(head, length, jpeg2000Stream, sizeof jpeg2000Stream))
        return PictureFormat::Jpeg2000;
    if (startsWithBytes(head, length, jpegXl, sizeof jpegXl)
        || startsWithBytes(head, length, jpegXlStream, sizeof jpegXlStream))
        return PictureFormat::JpegXl;
    if (startsWith(head, length, "ftyp", 4)) {
        if (startsWith(head, length, "avif", 8) || startsWith(head, length, "avis", 8))
            return PictureFormat::Avif;
        if (startsWith(head, length, "heic", 8) || startsWith(head, length, "heix", 8)
            || startsWith(head, length, "mif1", 8) || startsWith(head, length, "msf1", 8))
            return PictureFormat::Heif;
    }
    if (startsWith(head, length, "DDS "))
        return PictureFormat::Dds;
    if (startsWithBytes(head, length, openExr, sizeof openExr))
        return PictureFormat::OpenExr;
    if (startsWith(head, length, "<svg") || startsWith(head, length, "<?xml"))
        return PictureFormat::Svg;
    if (length >= 3 && head[0] == 'P' && head[1] >= '1' && head[1] <= '7' && isSpace(head[2]))
        return PictureFormat::Pnm;
    // Icons and cursors: reserved 0, type 1 or 2, at least one entry.
    if (length >= 6 && head[0] == 0 && head[1] == 0 && (head[2] == 1 || head[2] == 2) && head[3] == 0
        && littleEndian16(head + 4) != 0)
        return head[2] == 1 ? PictureFormat::Ico : PictureFormat::Cur;
    // PCX: its maker byte, a known version, run-length or plain, a known depth.
    if (length >= 4 && head[0] == 0x0A && (head[1] <= 5 && head[1] != 1) && head[2] <= 1
        && (head[3] == 1 || head[3] == 2 || head[3] == 4 || head[3] == 8))
        return PictureFormat::Pcx;
    if (looksLikeTga(head, length))
        return PictureFormat::Tga;
    return PictureFormat::Unknown;
}

PictureFormat sniffPictureFormat(SDL_RWops* src)
{
    if (src == nullptr)
        return PictureFormat::Unknown;
    const int start = SDL_RWtell(src);
    std::uint8_t head[pictureSniffLength];
    const std::size_t got = readStream(src, head, sizeof head);
    SDL_RWseek(src, start, RW_SEEK_SET);
    return sniffPictureFormat(head, got);
}

bool isDecodedFormat(PictureFormat format)
{
    return format == PictureFormat::Png || format == PictureFormat::Bmp || format == PictureFormat::Jpeg
           || format == PictureFormat::Xyz;
}

const char* pictureFormatName(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Png:
        return "PNG";
    case PictureFormat::Bmp:
        return "BMP";
    case PictureFormat::Jpeg:
        return "JPEG";
    case PictureFormat::Xyz:
        return "XYZ";
    case PictureFormat::Gif:
        return "GIF";
    case PictureFormat::Tiff:
        return "TIFF";
    case PictureFormat::Xcf:
        return "XCF";
    case PictureFormat::Xpm:
        return "XPM";
    case PictureFormat::Pcx:
        return "PCX";
    case PictureFormat::Tga:
        return "TGA";
    case PictureFormat::WebP:
        return "WebP";
    case PictureFormat::Ico:
        return "ICO";
    case PictureFormat::Cur:
        return "CUR";
    case PictureFormat::Pnm:
        return "PNM";
    case PictureFormat::Ilbm:
        return "ILBM";
    case PictureFormat::Psd:
        return "PSD";
    case PictureFormat::Qoi:
        return "QOI";
    case PictureFormat::Jpeg2000:
        return "JPEG 2000";
    case PictureFormat::JpegXl:
        return "JPEG XL";
    case PictureFormat::Heif:
        return "HEIF";
    case PictureFormat::Avif:
        return "AVIF";
    case PictureFormat::Dds:
        return "DDS";
    case PictureFormat::OpenExr:
        return "OpenEXR";
    case PictureFormat::Svg:
        return "SVG";
    case PictureFormat::Unknown:
        break;
    }
    return "unknown";
}

std::string unsupportedFormatReason(PictureFormat format)
{
    return std::string("unsupported picture format: ") + pictureFormatName(format);
}

} // namespace auxlib::draw
