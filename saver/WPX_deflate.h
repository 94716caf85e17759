// A deflate encoder for PNG image data that knows it is compressing rows.
//
// A picture enlarged with nearest neighbour repeats every row once; with the
// row filter "none" a repeated row (its filter byte included) is a copy of
// the line just before it, so it is written as a run of matches at the
// distance of one line, without searching for them. The other rows go
// through a plain greedy matcher: a hash chain of a few candidates, plus the
// pixel to the left and the same place one line up, which are where a
// picture's matches mostly are.
//
// The encoder works on one piece of the filtered data at a time, with the
// bytes before the piece as the history its matches may reach. A piece that
// is not the last ends on a byte boundary with the stream still open (an
// empty stored block, as zlib's sync flush), so pieces compressed on their
// own join into one deflate stream; the bytes of a piece depend only on the
// piece and its history.
#ifndef WPX_DEFLATE_H
#define WPX_DEFLATE_H

#include <cstddef>
#include <vector>

namespace wpx {

struct DeflatePiece {
    // History, then the bytes to compress: data[begin, end). Only the last
    // 32 KiB of the history are used.
    const unsigned char* data = nullptr;
    std::size_t begin = 0;
    std::size_t end = 0;
    // Length of the lines the data is made of, the first starting at data[0];
    // 0 when the data has no lines.
    std::size_t line = 0;
    // Distance of a pixel's left neighbour in the data.
    std::size_t pixelBytes = 1;
    // The last piece of the stream ends it.
    bool last = true;
};

// Appends the piece's deflate blocks (raw deflate, no zlib wrapper) to out.
// False only for no memory.
bool deflatePiece(const DeflatePiece& piece, std::vector<unsigned char>& out);

// A whole zlib stream of data[0, size), for tests and small inputs.
bool deflateZlib(const unsigned char* data, std::size_t size, std::size_t line, std::size_t pixelBytes,
                 std::vector<unsigned char>& out);

} // namespace wpx

#endif
