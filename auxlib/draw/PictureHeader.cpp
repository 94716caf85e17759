#include "auxlib/draw/PictureHeader.h"

#include <algorithm>
#include <cstdint>
#include <cctype>
#include <cstdlib>
#include <string>
#include <fstream>

namespace auxlib::draw {

namespace {

std::uint32_t bigEndian32(const unsigned char* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

std::uint32_t littleEndian32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// The JPEG frame header holds the size; the markers before it are skipped
// by their lengths.
bool jpegSize(std::ifstream& in, DeclaredSize& size)
{
    in.seekg(2);
    for (int markers = 0; markers < 512 && in; ++markers) {
        int c = in.get();
        if (c != 0xFF)
            return false;
        while (c == 0xFF)
            c = in.get();
        if (c == 0xD8 || (c >= 0xD0 && c <= 0xD7) || c == 0x01)
            continue;
        unsigned char length[2];
        if (!in.read(reinterpret_cast<char*>(length), 2))
            return false;
        const int bytes = length[0] << 8 | length[1];
        if (bytes < 2)
            return false;
        const bool frame = c >= 0xC0 && c <= 0xCF && c != 0xC4 && c != 0xC8 && c != 0xCC;
        if (frame) {
            unsigned char header[5];
            if (!in.read(reinterpret_cast<char*>(header), 5))
                return false;
            size.height = std::uint32_t(header[1] << 8 | header[2]);
            size.width = std::uint32_t(header[3] << 8 | header[4]);
            return true;
        }
        in.seekg(bytes - 2, std::ios::cur);
    }
    return false;
}

std::uint32_t littleEndian24(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
}

std::uint32_t littleEndian16(const unsigned char* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }
std::uint32_t bigEndian16(const unsigned char* p) { return std::uint32_t(p[0]) << 8 | p[1]; }

bool startsWith(const unsigned char* head, std::streamsize got, const char* text)
{
    const std::size_t n = std::char_traits<char>::length(text);
    return got >= std::streamsize(n) && std::equal(text, text + n, reinterpret_cast<const char*>(head));
}

bool readAt(std::ifstream& in, std::streamoff at, unsigned char* bytes, std::streamsize count)
{
    in.clear();
    in.seekg(at);
    return bool(in.read(reinterpret_cast<char*>(bytes), count));
}

// The other kinds SDL_image decodes, each read where its loader takes the
// size it allocates for (not always the size the file announces first).

// GIF: the first image's descriptor, after the colour table and any
// extension blocks.
std::optional<DeclaredSize> gifSize(std::ifstream& in, const unsigned char* head)
{
    std::streamoff at = 13;
    if (head[10] & 0x80)
        at += 3 * (2 << (head[10] & 7));
    for (int blocks = 0; blocks < 4096; ++blocks) {
        unsigned char b[10];
        if (!readAt(in, at, b, 1))
            return std::nullopt;
        if (b[0] == 0x2C) {
            if (!readAt(in, at, b, 9))
                return std::nullopt;
            return DeclaredSize{littleEndian16(b + 5), littleEndian16(b + 7)};
        }
        if (b[0] != 0x21)
            return std::nullopt;
        at += 2; // introducer and label, then sub-blocks up to an empty one
        for (int sub = 0; sub < 65536; ++sub) {
            if (!readAt(in, at, b, 1))
                return std::nullopt;
            at += 1 + b[0];
            if (b[0] == 0)
                break;
        }
    }
    return std::nullopt;
}

// Portable any-map: whitespace and comments around the decimal sizes.
std::optional<DeclaredSize> pnmSize(std::ifstream& in)
{
    in.clear();
    in.seekg(2);
    std::uint64_t numbers[2] = {};
    for (auto& n : numbers) {
        int c = in.get();
        while (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#') {
            if (c == '#')
                while (c != '\n' && c != EOF)
                    c = in.get();
            c = in.get();
        }
        if (c < '0' || c > '9')
            return std::nullopt;
        for (; c >= '0' && c <= '9'; c = in.get())
            n = std::min<std::uint64_t>(n * 10 + std::uint64_t(c - '0'), 0xFFFFFFFFu);
    }
    return DeclaredSize{std::uint32_t(numbers[0]), std::uint32_t(numbers[1])};
}

// TIFF: the width and length tags of the first directory.
std::optional<DeclaredSize> tiffSize(std::ifstream& in, bool little)
{
    auto u16 = [little](const unsigned char* p) { return little ? littleEndian16(p) : bigEndian16(p); };
    auto u32 = [little](const unsigned char* p) { return little ? littleEndian32(p) : bigEndian32(p); };
    unsigned char b[12];
    if (!readAt(in, 4, b, 4))
        return std::nullopt;
    const std::streamoff directory = u32(b);
    if (!readAt(in, directory, b, 2))
        return std::nullopt;
    const std::uint32_t entries = u16(b);
    DeclaredSize size;
    for (std::uint32_t i = 0; i < entries && i < 1024; ++i) {
        if (!readAt(in, directory + 2 + 12 * std::streamoff(i), b, 12))
            return std::nullopt;
        const std::uint32_t tag = u16(b), type = u16(b + 2);
        const std::uint32_t value = type == 3 ? u16(b + 8) : u32(b + 8);
        if (tag == 256)
            size.width = value;
        else if (tag == 257)
            size.height = value;
    }
    if (size.width == 0 || size.height == 0)
        return std::nullopt;
    return size;
}

// WebP: the frame header of a lossy or lossless picture, or the canvas of
// an extended one.
std::optional<DeclaredSize> webpSize(std::ifstream& in)
{
    unsigned char b[30] = {};
    in.clear();
    in.seekg(0);
    in.read(reinterpret_cast<char*>(b), sizeof b);
    const std::streamsize got = in.gcount();
    if (got >= 30 && std::equal(b + 12, b + 16, reinterpret_cast<const unsigned char*>("VP8 ")))
        return DeclaredSize{littleEndian16(b + 26) & 0x3FFF, littleEndian16(b + 28) & 0x3FFF};
    if (got >= 25 && std::equal(b + 12, b + 16, reinterpret_cast<const unsigned char*>("VP8L"))) {
        const std::uint32_t bits = littleEndian32(b + 21);
        return DeclaredSize{(bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1};
    }
    if (got >= 30 && std::equal(b + 12, b + 16, reinterpret_cast<const unsigned char*>("VP8X")))
        return DeclaredSize{littleEndian24(b + 24) + 1, littleEndian24(b + 27) + 1};
    return std::nullopt;
}

// Icons and cursors: the largest picture any entry's own header asks for.
std::optional<DeclaredSize> iconSize(std::ifstream& in, const unsigned char* head)
{
    const std::uint32_t count = littleEndian16(head + 4);
    std::optional<DeclaredSize> largest;
    for (std::uint32_t i = 0; i < count && i < 256; ++i) {
        unsigned char entry[16], info[12];
        if (!readAt(in, 6 + 16 * std::streamoff(i), entry, 16) || !readAt(in, littleEndian32(entry + 12), info, 12))
            break;
        const std::uint32_t w = littleEndian32(info + 4), h = std::uint32_t(std::abs(std::int32_t(littleEndian32(info + 8))));
        if (!largest || std::uint64_t(w) * h > std::uint64_t(largest->width) * largest->height)
            largest = DeclaredSize{w, h};
    }
    return largest;
}

bool endsWithTga(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".tga";
}

std::optional<DeclaredSize> otherSize(std::ifstream& in, const std::string& path, const unsigned char* head,
                                      std::streamsize got)
{
    if (startsWith(head, got, "GIF87a") || startsWith(head, got, "GIF89a"))
        return gifSize(in, head);
    if (got >= 12 && head[0] == 0x0A && head[2] == 1) {
        // PCX: the picture's window, both ends inclusive.
        const std::int64_t w = std::int64_t(littleEndian16(head + 8)) - littleEndian16(head + 4) + 1;
        const std::int64_t h = std::int64_t(littleEndian16(head + 10)) - littleEndian16(head + 6) + 1;
        if (w > 0 && h > 0)
            return DeclaredSize{std::uint32_t(w), std::uint32_t(h)};
        return std::nullopt;
    }
    if (got >= 2 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6')
        return pnmSize(in);
    if (startsWith(head, got, "gimp xcf ") && got >= 22)
        return DeclaredSize{bigEndian32(head + 14), bigEndian32(head + 18)};
    if (startsWith(head, got, "II*") && head[3] == 0)
        return tiffSize(in, true);
    if (startsWith(head, got, "MM") && head[2] == 0 && head[3] == '*')
        return tiffSize(in, false);
    if (startsWith(head, got, "RIFF") && got >= 12 && std::equal(head + 8, head + 12, "WEBP"))
        return webpSize(in);
    if (startsWith(head, got, "FORM") && got >= 24
        && (std::equal(head + 8, head + 12, "ILBM") || std::equal(head + 8, head + 12, "PBM "))
        && std::equal(head + 12, head + 16, "BMHD"))
        return DeclaredSize{bigEndian16(head + 20), bigEndian16(head + 22)};
    // SDL_image tries TGA, which has no signature, first when the name asks
    // for it; an uncompressed TGA would otherwise pass for a cursor.
    if (got >= 18 && endsWithTga(path))
        return DeclaredSize{littleEndian16(head + 12), littleEndian16(head + 14)};
    if (got >= 6 && head[0] == 0 && head[1] == 0 && (head[2] == 1 || head[2] == 2) && head[3] == 0)
        return iconSize(in, head);
    return std::nullopt;
}

} // namespace

std::optional<DeclaredSize> readDeclaredSize(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    unsigned char head[26] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    const std::streamsize got = in.gcount();
    in.clear();
    static const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (got >= 24 && std::equal(pngSignature, pngSignature + 8, head) && bigEndian32(head + 8) == 13
        && std::equal(head + 12, head + 16, reinterpret_cast<const unsigned char*>("IHDR"))) {
        const std::uint32_t w = bigEndian32(head + 16), h = bigEndian32(head + 20);
        return DeclaredSize{w, h};
    }
    if (got >= 26 && head[0] == 'B' && head[1] == 'M') {
        // Read as SDL_image reads it: the 12-byte OS/2 header holds 16-bit
        // sizes, and a header of any other size is taken for the Windows
        // one, however short or long it claims to be, so every header size
        // is a size SDL_image would allocate for.
        const std::uint32_t headerSize = littleEndian32(head + 14);
        if (headerSize == 12)
            return DeclaredSize{std::uint32_t(head[18] | head[19] << 8), std::uint32_t(head[20] | head[21] << 8)};
        const std::int32_t w = std::int32_t(littleEndian32(head + 18));
        const std::int32_t h = std::int32_t(littleEndian32(head + 22));
        // A negative height marks rows stored top-down.
        if (w > 0 && h != 0 && h != INT32_MIN)
            return DeclaredSize{std::uint32_t(w), std::uint32_t(std::abs(h))};
    }
    if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
        DeclaredSize size;
        if (jpegSize(in, size))
            return size;
        return std::nullopt;
    }
    return otherSize(in, path, head, got);
}

} // namespace auxlib::draw
