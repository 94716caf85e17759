#ifndef TESTS_XYZMAKER_H
#define TESTS_XYZMAKER_H

// Writes the older editor's XYZ files in memory: the 8-byte header and the
// zlib stream, each on its own so tests can damage either.

#include <zlib.h>

#include <string>

// The bytes as one zlib stream; empty when zlib refuses.
inline std::string deflated(const std::string& raw)
{
    uLongf length = compressBound(uLong(raw.size()));
    std::string out(length, '\0');
    if (compress(reinterpret_cast<Bytef*>(&out[0]), &length, reinterpret_cast<const Bytef*>(raw.data()),
                 uLong(raw.size()))
        != Z_OK)
        return std::string();
    out.resize(length);
    return out;
}

// "XYZ1" and the size as little-endian 16-bit values.
inline std::string xyzHeader(int w, int h)
{
    return std::string("XYZ1") + char(w & 0xFF) + char(w >> 8) + char(h & 0xFF) + char(h >> 8);
}

// A whole file: 768 palette bytes (R, G, B of each entry) and w x h indices.
inline std::string xyzFile(int w, int h, const std::string& palette, const std::string& indices)
{
    return xyzHeader(w, h) + deflated(palette + indices);
}

#endif
