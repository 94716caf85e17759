// BMP reader of the engine's own, giving the surfaces SDL_image 1.2 gives
// for well-formed files.
#include "auxlib/draw/BmpLoader.h"

#include "auxlib/draw/StreamBytes.h"

#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace auxlib::draw {

namespace {

constexpr std::uint32_t fileHeaderLength = 14;
// The longest info header (BITMAPV5HEADER) after the file header.
constexpr std::size_t headLength = fileHeaderLength + 124;

enum Compression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

struct Header {
    std::uint32_t pixelOffset = 0;
    std::uint32_t infoSize = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = Rgb;
    std::uint32_t masks[4] = {}; // red, green, blue, alpha
    std::uint32_t paletteOffset = 0;
    std::uint32_t paletteEntries = 0;
    std::uint32_t entryLength = 4;
};

int bytesPerPixel(int bits) { return bits <= 8 ? 1 : bits / 8; }

bool contiguous(std::uint32_t mask)
{
    if (mask == 0)
        return true;
    while ((mask & 1) == 0)
        mask >>= 1;
    return (mask & (mask + 1)) == 0;
}

bool masksUsable(const std::uint32_t (&m)[4], int bits)
{
    const std::uint32_t inside = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    std::uint32_t seen = 0;
    for (int i = 0; i < 4; ++i) {
        if ((i < 3 && m[i] == 0) || (m[i] & ~inside) != 0 || (m[i] & seen) != 0 || !contiguous(m[i]))
            return false;
        seen |= m[i];
    }
    return true;
}

// Reads and checks the headers. The declared size lands in `load` as soon as
// it is read, and a size past the limits (when given) is refused before the
// file's length is compared with it, so that the refusal names it. Returns
// false with load.reason set.
bool parseHeader(const std::uint8_t* head, std::size_t have, std::uint64_t fileLength, const PictureLimits* limits,
                 Header& h, BmpLoad& load)
{
    if (have < 2 || head[0] != 'B' || head[1] != 'M') {
        load.reason = "not a BMP file";
        return false;
    }
    if (have < fileHeaderLength + 4) {
        load.reason = "truncated BMP file";
        return false;
    }
    h.pixelOffset = littleEndian32(head + 10);
    h.infoSize = littleEndian32(head + 14);
    const std::uint32_t s = h.infoSize;
    if (s != 12 && s != 40 && s != 52 && s != 56 && s != 64 && s != 108 && s != 124) {
        load.reason = "unsupported BMP header size " + std::to_string(s);
        return false;
    }
    if (have < fileHeaderLength + s) {
        load.reason = "truncated BMP file";
        return false;
    }
    std::uint32_t colourCount = 0;
    if (s == 12) {
        // OS/2 1.x: unsigned 16-bit sizes, rows always bottom-up, 3-byte colours.
        h.width = littleEndian16(head + 18);
        h.height = littleEndian16(head + 20);
        h.bits = int(littleEndian16(head + 24));
        h.entryLength = 3;
    } else {
        const std::int32_t w = std::int32_t(littleEndian32(head + 18));
        const std::int32_t hh = std::int32_t(littleEndian32(head + 22));
        if (w <= 0 || hh == 0 || hh == INT32_MIN) {
            load.reason = "bad BMP size (" + std::to_string(w) + " x " + std::to_string(hh) + ")";
            return false;
        }
        h.width = std::uint32_t(w);
        h.topDown = hh < 0;
        h.height = std::uint32_t(hh < 0 ? -hh : hh);
        h.bits = int(littleEndian16(head + 28));
        h.compression = littleEndian32(head + 30);
        colourCount = littleEndian32(head + 46);
    }
    load.width = h.width;
    load.height = h.height;
    if (h.width == 0 || h.height == 0) {
        load.reason = "picture of no pixels (" + std::to_string(h.width) + " x " + std::to_string(h.height) + ")";
        return false;
    }
    const int b = h.bits;
    if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32) {
        load.reason = "unsupported BMP bit count " + std::to_string(b);
        return false;
    }
    // OS/2 2.x numbers its own codings 3 (Huffman) and 4 (24-bit RLE).
    const bool known = h.compression == Rgb || (h.compression == Rle8 && b == 8) || (h.compression == Rle4 && b == 4)
                       || (h.compression == BitFields && (b == 16 || b == 32) && s != 64);
    if (!known) {
        load.reason = "unsupported BMP compression " + std::to_string(h.compression) + " for " + std::to_string(b)
                      + " bits";
        return false;
    }
    if (limits != nullptr && !fitsLimits(*limits, h.width, h.height, bytesPerPixel(b))) {
        load.tooLarge = true;
        load.reason = "picture too large (" + std::to_string(h.width) + " x " + std::to_string(h.height) + ")";
        return false;
    }
    if (h.topDown && h.compression != Rgb && h.compression != BitFields) {
        load.reason = "run-length BMP stored top-down";
        return false;
    }
    std::uint64_t headerEnd = fileHeaderLength + s;
    if (h.compression == BitFields) {
        // After a 40-byte header the three masks follow it; the longer
        // headers hold them (and alpha from 56 bytes on) at the same place.
        if (s == 40)
            headerEnd += 12;
        if (have < 54 + 12) {
            load.reason = "truncated BMP file";
            return false;
        }
        for (int i = 0; i < 3; ++i)
            h.masks[i] = littleEndian32(head + 54 + 4 * i);
        if (b == 32 && s >= 56)
            h.masks[3] = littleEndian32(head + 66);
    } else if (b == 16) {
        h.masks[0] = 0x7C00;
        h.masks[1] = 0x03E0;
        h.masks[2] = 0x001F;
    } else if (b == 24 || b == 32) {
        h.masks[0] = 0x00FF0000;
        h.masks[1] = 0x0000FF00;
        h.masks[2] = 0x000000FF;
        // SDL_image reads the fourth byte of a 32-bit pixel as alpha.
        h.masks[3] = b == 32 ? 0xFF000000 : 0;
    }
    if (b >= 16 && !masksUsable(h.masks, b)) {
        load.reason = "unusable BMP colour masks";
        return false;
    }
    if (h.pixelOffset < headerEnd || h.pixelOffset > fileLength) {
        load.reason = h.pixelOffset > fileLength ? "truncated BMP file" : "BMP pixels overlap its header";
        return false;
    }
    if (b <= 8) {
        // The entries the header asks for, as many of them as lie before the
        // pixels; SDL_image reads whatever follows for the rest, which no
        // pixel of a well-formed file uses.
        const std::uint32_t full = 1u << b;
        const std::uint32_t asked = colourCount == 0 || colourCount > full ? full : colourCount;
        h.paletteOffset = std::uint32_t(headerEnd);
        const std::uint32_t room = (h.pixelOffset - h.paletteOffset) / h.entryLength;
        h.paletteEntries = asked < room ? asked : room;
    }
    if (h.compression == Rgb || h.compression == BitFields) {
        const std::uint64_t stride = (std::uint64_t(h.width) * std::uint64_t(b) + 31) / 32 * 4;
        const std::uint64_t lastRow = (std::uint64_t(h.width) * std::uint64_t(b) + 7) / 8;
        if (h.pixelOffset + stride * (h.height - 1) + lastRow > fileLength) {
            load.reason = "truncated BMP file";
            return false;
        }
    }
    return true;
}

// Buffered byte reads for the run-length data.
class ByteReader {
public:
    explicit ByteReader(SDL_RWops* src) : src_(src), buffer_(64 * 1024) {}
    bool next(std::uint8_t& byte)
    {
        if (at_ == size_) {
            size_ = readStream(src_, buffer_.data(), buffer_.size());
            at_ = 0;
            if (size_ == 0)
                return false;
        }
        byte = buffer_[at_++];
        return true;
    }

private:
    SDL_RWops* src_;
    std::vector<std::uint8_t> buffer_;
    std::size_t size_ = 0;
    std::size_t at_ = 0;
};

// RLE8 and RLE4 as Windows defines them: rows from the bottom up; a run
// (count, value); or an escape 0 followed by 0 (end of row), 1 (end of
// picture), 2 (a move right dx and up dy) or n >= 3 (n literal indices,
// padded to an even byte count). Indices go only to pixels inside the
// picture; the reading ends at the end-of-picture escape, and a stream that
// ends before it fails as SDL_image's does.
bool decodeRunLengths(ByteReader& in, SDL_Surface* s, bool fourBits)
{
    const std::uint32_t w = std::uint32_t(s->w), h = std::uint32_t(s->h);
    std::uint64_t x = 0, y = 0; // y counts rows from the bottom
    auto put = [&](std::uint8_t index) {
        if (x < w && y < h)
            static_cast<std::uint8_t*>(s->pixels)[std::size_t(h - 1 - y) * std::size_t(s->pitch) + x] = index;
        ++x;
    };
    for (;;) {
        std::uint8_t count = 0, value = 0;
        if (!in.next(count) || !in.next(value))
            return false;
        if (count != 0) {
            for (int i = 0; i < count; ++i)
                put(fourBits ? std::uint8_t(i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            continue;
        }
        switch (value) {
        case 0:
            x = 0;
            ++y;
            break;
        case 1:
            return true;
        case 2: {
            std::uint8_t dx = 0, dy = 0;
            if (!in.next(dx) || !in.next(dy))
                return false;
            x += dx;
            y += dy;
            break;
        }
        default: {
            const int bytes = fourBits ? (value + 1) / 2 : value;
            int left = value;
            for (int i = 0; i < bytes; ++i) {
                std::uint8_t pair = 0;
                if (!in.next(pair))
                    return false;
                if (fourBits) {
                    put(std::uint8_t(pair >> 4));
                    if (--left > 0)
                        put(std::uint8_t(pair & 0x0F));
                    --left;
                } else {
                    put(pair);
                }
            }
            std::uint8_t pad = 0;
            if (bytes % 2 == 1 && !in.next(pad))
                return false;
            break;
        }
        }
    }
}

bool decodeRows(SDL_RWops* src, const Header& h, SDL_Surface* s)
{
    const std::size_t stride = (std::size_t(h.width) * std::size_t(h.bits) + 31) / 32 * 4;
    const std::size_t rowBytes = (std::size_t(h.width) * std::size_t(h.bits) + 7) / 8;
    // Whole-byte pixels are stored as SDL keeps them, rows padded to 4 bytes
    // alike: each row is read straight into the surface.
    std::vector<std::uint8_t> row(h.bits >= 8 ? 0 : stride);
    for (std::uint32_t i = 0; i < h.height; ++i) {
        // The last row's padding may be missing from the file.
        const std::size_t want = i + 1 == h.height ? rowBytes : stride;
        const std::uint32_t y = h.topDown ? i : h.height - 1 - i;
        std::uint8_t* out = static_cast<std::uint8_t*>(s->pixels) + std::size_t(y) * std::size_t(s->pitch);
        if (h.bits >= 8) {
            if (std::size_t(s->pitch) < want || readStream(src, out, want) != want)
                return false;
            continue;
        }
        if (readStream(src, row.data(), want) != want)
            return false;
        // 1 and 4 bits: the leftmost pixel in the high bits.
        const int perByte = 8 / h.bits;
        const int top = 8 - h.bits;
        const std::uint8_t mask = std::uint8_t((1 << h.bits) - 1);
        for (std::uint32_t x = 0; x < h.width; ++x) {
            const int shift = top - int(x % std::uint32_t(perByte)) * h.bits;
            out[x] = std::uint8_t(row[x / std::uint32_t(perByte)] >> shift) & mask;
        }
    }
    return true;
}

bool readPalette(SDL_RWops* src, std::int64_t start, const Header& h, SDL_Palette* palette)
{
    palette->ncolors = 256;
    for (int i = 0; i < 256; ++i)
        palette->colors[i] = SDL_Color{0, 0, 0, 0};
    std::vector<std::uint8_t> bytes(std::size_t(h.paletteEntries) * h.entryLength);
    if (SDL_RWseek(src, int(start + h.paletteOffset), RW_SEEK_SET) < 0
        || readStream(src, bytes.data(), bytes.size()) != bytes.size())
        return false;
    for (std::uint32_t i = 0; i < h.paletteEntries; ++i) {
        const std::uint8_t* e = bytes.data() + std::size_t(i) * h.entryLength;
        palette->colors[i].b = e[0];
        palette->colors[i].g = e[1];
        palette->colors[i].r = e[2];
        palette->colors[i].unused = h.entryLength == 4 ? e[3] : 0;
    }
    return true;
}

// Reads the headers from where the stream stands; the stream is left
// anywhere.
bool readHeader(SDL_RWops* src, const PictureLimits* limits, Header& h, BmpLoad& load)
{
    const long length = streamRemaining(src);
    if (length < 0) {
        load.reason = "unreadable BMP stream";
        return false;
    }
    std::uint8_t head[headLength] = {};
    const std::size_t have = readStream(src, head, sizeof head);
    return parseHeader(head, have, std::uint64_t(length), limits, h, load);
}

void decode(SDL_RWops* src, const PictureLimits& limits, BmpLoad& load)
{
    const int start = SDL_RWtell(src);
    Header h;
    if (!readHeader(src, &limits, h, load))
        return;
    std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> s(
        SDL_CreateRGBSurface(SDL_SWSURFACE, int(h.width), int(h.height), h.bits <= 8 ? 8 : h.bits, h.masks[0],
                             h.masks[1], h.masks[2], h.masks[3]),
        SDL_FreeSurface);
    if (s == nullptr) {
        load.reason = "out of memory";
        return;
    }
    bool read = true;
    if (h.bits <= 8)
        read = s->format->palette != nullptr && readPalette(src, start, h, s->format->palette);
    if (read)
        read = SDL_RWseek(src, start + int(h.pixelOffset), RW_SEEK_SET) >= 0;
    if (read) {
        if (h.compression == Rle8 || h.compression == Rle4) {
            ByteReader in(src);
            read = decodeRunLengths(in, s.get(), h.compression == Rle4);
        } else {
            read = decodeRows(src, h, s.get());
        }
    }
    if (!read) {
        load.reason = "truncated BMP file";
        return;
    }
    load.filePalette = h.bits <= 8;
    load.surface = s.release();
}

} // namespace

BmpLoad loadBmp(SDL_RWops* src, const PictureLimits& limits)
{
    BmpLoad load;
    if (src == nullptr) {
        load.reason = "not a BMP file";
        return load;
    }
    const int start = SDL_RWtell(src);
    try {
        decode(src, limits, load);
    } catch (...) {
        // A buffer that could not be allocated; the surface went with the
        // frame that held it.
        load = BmpLoad();
        load.reason = "out of memory";
    }
    if (load.surface == nullptr && start >= 0)
        SDL_RWseek(src, start, RW_SEEK_SET);
    return load;
}

PictureHeader readBmpHeader(SDL_RWops* src, const PictureLimits& limits)
{
    BmpLoad load;
    if (src == nullptr) {
        load.reason = "not a BMP file";
        return headerOf(PictureFormat::Bmp, load);
    }
    const int start = SDL_RWtell(src);
    std::optional<Rgba> entry0;
    try {
        Header h;
        if (readHeader(src, &limits, h, load) && h.bits <= 8) {
            // The palette exactly as the load reads it into the surface's
            // table, so entry 0 is black when the file has no entry room.
            SDL_Color colours[256] = {};
            SDL_Palette palette{256, colours};
            if (readPalette(src, start, h, &palette)) {
                entry0 = Rgba{colours[0].r, colours[0].g, colours[0].b, 255};
            } else {
                load.reason = "truncated BMP file";
            }
        }
    } catch (...) {
        // The palette's buffer could not be had.
        load.reason = "out of memory";
    }
    if (start >= 0)
        SDL_RWseek(src, start, RW_SEEK_SET);
    PictureHeader header = headerOf(PictureFormat::Bmp, load);
    if (header.sound() && entry0) {
        header.ownPalette = true;
        header.paletteEntry0 = *entry0;
    }
    return header;
}

} // namespace auxlib::draw
