#include "saver/WPX_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <queue>

namespace wpx {

namespace {

constexpr std::size_t windowSize = 32768;
constexpr std::size_t windowMask = windowSize - 1;
constexpr int minMatch = 4;
constexpr int maxMatch = 258;
constexpr int hashBits = 15;
constexpr int chainCandidates = 32;
constexpr int niceLength = 128;     // a match this long ends the search
constexpr int insertAllBelow = 64;  // longer matches insert only their ends
constexpr std::size_t blockTokens = 1 << 15;

constexpr int literalCodes = 286;
constexpr int distanceCodes = 30;
constexpr int lengthCodes = 19;
constexpr int endOfBlock = 256;

// RFC 1951, 3.2.5: the base values and extra bits of the length and
// distance codes.
constexpr std::uint16_t lengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                          31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t lengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                          2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t distanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                            33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                            1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t distanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which the code lengths of the code-length code are sent.
constexpr std::uint8_t lengthOrder[lengthCodes] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

void buildCodes(const std::uint8_t* lengths, int symbols, std::uint32_t* codes);

struct CodeTables {
    std::uint8_t lengthCode[maxMatch + 1];       // length -> code - 257
    std::uint8_t distanceCode[windowSize + 1];   // distance -> code
    // The fixed Huffman codes (RFC 1951, 3.2.6), for blocks too small to
    // carry codes of their own.
    std::uint8_t fixedLitLengths[288];
    std::uint32_t fixedLitCodes[288];
    std::uint8_t fixedDistLengths[30];
    std::uint32_t fixedDistCodes[30];
    CodeTables()
    {
        for (int s = 0; s < 288; ++s)
            fixedLitLengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
        std::fill(fixedDistLengths, fixedDistLengths + 30, std::uint8_t(5));
        buildCodes(fixedLitLengths, 288, fixedLitCodes);
        buildCodes(fixedDistLengths, 30, fixedDistCodes);
        for (int code = 0; code < 29; ++code) {
            const int last = code + 1 < 29 ? lengthBase[code + 1] - 1 : maxMatch;
            for (int length = lengthBase[code]; length <= last && length <= maxMatch; ++length)
                lengthCode[length] = std::uint8_t(code);
        }
        // 258 has a code of its own, not the last one of 227's range.
        lengthCode[maxMatch] = 28;
        for (int code = 0; code < 30; ++code) {
            const std::size_t last = code + 1 < 30 ? distanceBase[code + 1] - 1u : windowSize;
            for (std::size_t d = distanceBase[code]; d <= last; ++d)
                distanceCode[d] = std::uint8_t(code);
        }
        lengthCode[0] = lengthCode[1] = lengthCode[2] = 0;
        distanceCode[0] = 0;
    }
};

const CodeTables& tables()
{
    static const CodeTables t;
    return t;
}

inline std::uint32_t load32(const unsigned char* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline std::uint64_t load64(const unsigned char* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline std::uint32_t hash4(const unsigned char* p)
{
    return (load32(p) * 2654435761u) >> (32 - hashBits);
}

inline std::uint32_t hash8(const unsigned char* p)
{
    return std::uint32_t((load64(p) * 0x9E3779B97F4A7C15ull) >> (64 - hashBits));
}

// Equal bytes of a and b, at most limit.
inline int matchLength(const unsigned char* a, const unsigned char* b, int limit)
{
    int n = 0;
    while (n + 8 <= limit) {
        const std::uint64_t x = load64(a + n) ^ load64(b + n);
        if (x != 0)
            return n + (__builtin_ctzll(x) >> 3); // little-endian host: the first differing byte
        n += 8;
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

// Least significant bit first, as deflate packs everything but Huffman
// codes, which are stored reversed for that reason.
class BitWriter {
public:
    explicit BitWriter(std::vector<unsigned char>& out) : out_(out) {}

    void put(std::uint32_t value, int count)
    {
        bits_ |= std::uint64_t(value) << filled_;
        filled_ += count;
        if (filled_ >= 32) {
            const std::size_t at = out_.size();
            out_.resize(at + 4);
            const std::uint32_t word = std::uint32_t(bits_);
            out_[at] = std::uint8_t(word);
            out_[at + 1] = std::uint8_t(word >> 8);
            out_[at + 2] = std::uint8_t(word >> 16);
            out_[at + 3] = std::uint8_t(word >> 24);
            bits_ >>= 32;
            filled_ -= 32;
        }
    }

    // Pads to a byte boundary and hands over every whole byte.
    void align()
    {
        put(0, (8 - filled_ % 8) % 8);
        while (filled_ > 0) {
            out_.push_back(std::uint8_t(bits_));
            bits_ >>= 8;
            filled_ -= 8;
        }
    }

private:
    std::vector<unsigned char>& out_;
    std::uint64_t bits_ = 0;
    int filled_ = 0;
};

std::uint32_t reverseBits(std::uint32_t code, int length)
{
    std::uint32_t out = 0;
    for (int i = 0; i < length; ++i, code >>= 1)
        out = (out << 1) | (code & 1);
    return out;
}

// Huffman code lengths of at most maxLength bits for the symbols' counts.
// At least two symbols get a code, so that every code is complete (some
// decoders refuse a code of one symbol).
void buildLengths(const std::uint32_t* counts, int symbols, int maxLength, std::uint8_t* lengths)
{
    std::vector<std::uint32_t> weight(counts, counts + symbols);
    int used = 0;
    for (int s = 0; s < symbols; ++s)
        used += weight[s] != 0;
    for (int s = 0; s < symbols && used < 2; ++s)
        if (weight[s] == 0) {
            weight[s] = 1;
            ++used;
        }

    // Leaves ordered by weight (then symbol), merged two at a time; a
    // node's depth is its parent's plus one.
    struct Node {
        std::uint64_t weight;
        int index;
    };
    auto heavier = [](const Node& a, const Node& b) {
        return a.weight != b.weight ? a.weight > b.weight : a.index > b.index;
    };
    std::priority_queue<Node, std::vector<Node>, decltype(heavier)> queue(heavier);
    std::vector<int> parent(std::size_t(2 * symbols), -1);
    std::vector<int> leaves;
    for (int s = 0; s < symbols; ++s)
        if (weight[s] != 0) {
            queue.push(Node{weight[s], s});
            leaves.push_back(s);
        }
    int next = symbols;
    while (queue.size() > 1) {
        const Node a = queue.top();
        queue.pop();
        const Node b = queue.top();
        queue.pop();
        parent[std::size_t(a.index)] = next;
        parent[std::size_t(b.index)] = next;
        queue.push(Node{a.weight + b.weight, next});
        ++next;
    }
    std::vector<int> depth(std::size_t(next), 0);
    for (int node = next - 2; node >= 0; --node)
        if (parent[std::size_t(node)] >= 0)
            depth[std::size_t(node)] = depth[std::size_t(parent[std::size_t(node)])] + 1;

    // Lengths past the limit are cut and the code made complete again by
    // lengthening the deepest shorter codes (the counts per length only).
    int perLength[64] = {};
    for (int s : leaves)
        ++perLength[std::min(depth[std::size_t(s)], maxLength)];
    std::uint32_t total = 0;
    for (int length = 1; length <= maxLength; ++length)
        total += std::uint32_t(perLength[length]) << (maxLength - length);
    while (total > (1u << maxLength)) {
        --perLength[maxLength];
        for (int length = maxLength - 1; length > 0; --length)
            if (perLength[length] != 0) {
                --perLength[length];
                perLength[length + 1] += 2;
                break;
            }
        --total;
    }

    // The heaviest symbols take the shortest lengths.
    std::sort(leaves.begin(), leaves.end(), [&](int a, int b) {
        return weight[std::size_t(a)] != weight[std::size_t(b)] ? weight[std::size_t(a)] > weight[std::size_t(b)]
                                                                 : a < b;
    });
    std::fill(lengths, lengths + symbols, std::uint8_t(0));
    std::size_t at = 0;
    for (int length = 1; length <= maxLength; ++length)
        for (int i = 0; i < perLength[length]; ++i)
            lengths[leaves[at++]] = std::uint8_t(length);
}

// Canonical codes for the lengths (RFC 1951, 3.2.2), bit-reversed.
void buildCodes(const std::uint8_t* lengths, int symbols, std::uint32_t* codes)
{
    int perLength[16] = {};
    for (int s = 0; s < symbols; ++s)
        ++perLength[lengths[s]];
    perLength[0] = 0;
    std::uint32_t next[16] = {};
    std::uint32_t code = 0;
    for (int length = 1; length < 16; ++length) {
        code = (code + std::uint32_t(perLength[length - 1])) << 1;
        next[length] = code;
    }
    for (int s = 0; s < symbols; ++s)
        codes[s] = lengths[s] != 0 ? reverseBits(next[lengths[s]]++, lengths[s]) : 0;
}

// A token is a literal byte (distance 0) or a match: length in the low nine
// bits, distance above them.
using Token = std::uint32_t;
inline Token literalToken(unsigned char byte) { return byte; }
inline Token matchToken(int length, std::size_t distance) { return Token(length) | Token(distance) << 9; }

class PieceEncoder {
public:
    PieceEncoder(const DeflatePiece& piece, std::vector<unsigned char>& out, std::vector<std::int32_t>& head,
                 std::vector<std::int32_t>& prev)
        : piece_(piece), bits_(out), t_(tables()), head_(head), prev_(prev),
          // Wide pixels hash two of them and more: the chains then skip the
          // many places where a single pixel repeats.
          hashBytes_(piece.pixelBytes >= 3 ? 8 : 4)
    {
        tokens_.reserve(blockTokens);
    }

    void run()
    {
        // The heads start empty for every piece, whatever piece the thread
        // did before: a piece's bytes must not depend on that. The links
        // need no clearing: a chain only reaches positions inserted in this
        // piece, and each link is written when its position is inserted.
        head_.assign(std::size_t(1) << hashBits, -1);
        if (prev_.size() != windowSize)
            prev_.assign(windowSize, -1);
        const unsigned char* data = piece_.data;
        const std::size_t begin = piece_.begin;
        const std::size_t end = piece_.end;
        const std::size_t historyStart = begin > windowSize ? begin - windowSize : 0;
        for (std::size_t p = historyStart; canHash(p) && p < begin; ++p)
            insert(p);

        const std::size_t line = piece_.line;
        // A line is copied whole only when the line before is in reach.
        const bool copies = line >= 3 && line <= windowSize;
        std::size_t p = begin;
        while (p < end) {
            if (copies && p % line == 0 && p >= line && p + line <= end
                && std::memcmp(data + p, data + p - line, line) == 0) {
                emitCopy(line);
                p += line;
                continue;
            }
            const std::size_t rowEnd = line != 0 ? std::min(end, (p / line + 1) * line) : end;
            // Matches stop short of a line that will be copied, so that it
            // still starts on its own.
            const bool copyNext = copies && rowEnd + line <= end
                                  && std::memcmp(data + rowEnd, data + rowEnd - line, line) == 0;
            p = matchUpTo(p, rowEnd, copyNext ? rowEnd : end);
        }
        flushBlock(piece_.last);
        if (!piece_.last) {
            // An empty stored block: the piece ends on a byte boundary.
            bits_.put(0, 3);
            bits_.align();
            bits_.put(0x0000, 16);
            bits_.put(0xFFFF, 16);
        }
        bits_.align();
    }

private:
    bool canHash(std::size_t p) const { return p + hashBytes_ <= piece_.end; }

    std::uint32_t hashAt(std::size_t p) const
    {
        return hashBytes_ == 8 ? hash8(piece_.data + p) : hash4(piece_.data + p);
    }

    void insert(std::size_t p)
    {
        const std::uint32_t h = hashAt(p);
        prev_[p & windowMask] = head_[h];
        head_[h] = std::int32_t(p);
    }

    void add(Token token)
    {
        tokens_.push_back(token);
        if (tokens_.size() >= blockTokens)
            flushBlock(false);
    }

    // A line equal to the one before it: matches at the distance of a line
    // (at least 3 bytes long, so no literal is ever left over).
    void emitCopy(std::size_t line)
    {
        std::size_t left = line;
        while (left >= 3) {
            std::size_t take = std::min<std::size_t>(left, maxMatch);
            // Never leave a tail too short for a match of its own.
            if (left - take > 0 && left - take < 3)
                take = left - 3;
            add(matchToken(int(take), line));
            left -= take;
        }
    }

    // The longest match at p found among the candidates, reaching at most
    // to limit; 0 when none is as long as minMatch.
    int longestMatch(std::size_t p, std::size_t limit, std::size_t& distance) const
    {
        const unsigned char* data = piece_.data;
        const int most = int(std::min<std::size_t>(limit - p, maxMatch));
        if (most < minMatch)
            return 0;
        int best = minMatch - 1;
        auto tryAt = [&](std::size_t d) {
            if (best >= most || d == 0 || d > p || d > windowSize)
                return;
            const unsigned char* q = data + p - d;
            if (q[best] != data[p + best])
                return;
            const int n = matchLength(data + p, q, most);
            if (n > best) {
                best = n;
                distance = d;
            }
        };
        tryAt(piece_.pixelBytes);
        if (piece_.line != 0 && best < niceLength)
            tryAt(piece_.line);
        std::int32_t candidate = canHash(p) ? head_[hashAt(p)] : -1;
        for (int step = 0; step < chainCandidates && candidate >= 0 && best < niceLength; ++step) {
            const std::size_t c = std::size_t(candidate);
            if (c >= p || p - c > windowSize)
                break;
            tryAt(p - c);
            const std::int32_t older = prev_[c & windowMask];
            if (older >= candidate)
                break; // a slot written over by a later position
            candidate = older;
        }
        return best >= minMatch ? best : 0;
    }

    // Greedy matching of data[p, rowEnd); matches may run past rowEnd up to
    // reach. Returns where it stopped. (Looking one byte ahead for a longer
    // match, as zlib does, gained nothing on pictures.)
    std::size_t matchUpTo(std::size_t p, std::size_t rowEnd, std::size_t reach)
    {
        const unsigned char* data = piece_.data;
        while (p < rowEnd) {
            std::size_t distance = 0;
            const int length = p + minMatch <= reach ? longestMatch(p, reach, distance) : 0;
            if (canHash(p))
                insert(p);
            if (length == 0) {
                add(literalToken(data[p]));
                ++p;
                continue;
            }
            add(matchToken(length, distance));
            const std::size_t stop = p + std::size_t(length);
            if (length < insertAllBelow) {
                for (std::size_t q = p + 1; q < stop && canHash(q); ++q)
                    insert(q);
            } else {
                for (std::size_t q = stop - 4; q < stop && canHash(q); ++q)
                    insert(q);
            }
            p = stop;
        }
        return p;
    }

    void flushBlock(bool final)
    {
        std::uint32_t litCounts[literalCodes] = {};
        std::uint32_t distCounts[distanceCodes] = {};
        for (Token token : tokens_) {
            const std::uint32_t distance = token >> 9;
            if (distance == 0) {
                ++litCounts[token & 0xFF];
            } else {
                ++litCounts[257 + t_.lengthCode[token & 0x1FF]];
                ++distCounts[t_.distanceCode[distance]];
            }
        }
        litCounts[endOfBlock] = 1;

        std::uint8_t litLengths[literalCodes], distLengths[distanceCodes];
        buildLengths(litCounts, literalCodes, 15, litLengths);
        buildLengths(distCounts, distanceCodes, 15, distLengths);
        std::uint32_t litCodes[literalCodes], distCodes[distanceCodes];
        buildCodes(litLengths, literalCodes, litCodes);
        buildCodes(distLengths, distanceCodes, distCodes);

        int hlit = literalCodes;
        while (hlit > 257 && litLengths[hlit - 1] == 0)
            --hlit;
        int hdist = distanceCodes;
        while (hdist > 1 && distLengths[hdist - 1] == 0)
            --hdist;

        // The two length lists as one, run-length coded (RFC 1951, 3.2.7).
        std::uint8_t all[literalCodes + distanceCodes];
        std::memcpy(all, litLengths, std::size_t(hlit));
        std::memcpy(all + hlit, distLengths, std::size_t(hdist));
        const int count = hlit + hdist;
        struct Run {
            std::uint8_t symbol, extra;
        };
        std::vector<Run> runs;
        std::uint32_t clCounts[lengthCodes] = {};
        for (int i = 0; i < count;) {
            const std::uint8_t value = all[i];
            int run = 1;
            while (i + run < count && all[i + run] == value)
                ++run;
            int left = run;
            if (value == 0) {
                while (left >= 11) {
                    const int take = std::min(left, 138);
                    runs.push_back(Run{18, std::uint8_t(take - 11)});
                    left -= take;
                }
                if (left >= 3) {
                    runs.push_back(Run{17, std::uint8_t(left - 3)});
                    left = 0;
                }
            } else {
                runs.push_back(Run{value, 0});
                --left;
                while (left >= 3) {
                    const int take = std::min(left, 6);
                    runs.push_back(Run{16, std::uint8_t(take - 3)});
                    left -= take;
                }
            }
            for (; left > 0; --left)
                runs.push_back(Run{value, 0});
            i += run;
        }
        for (const Run& r : runs)
            ++clCounts[r.symbol];
        std::uint8_t clLengths[lengthCodes];
        buildLengths(clCounts, lengthCodes, 7, clLengths);
        std::uint32_t clCodes[lengthCodes];
        buildCodes(clLengths, lengthCodes, clCodes);
        int hclen = lengthCodes;
        while (hclen > 4 && clLengths[lengthOrder[hclen - 1]] == 0)
            --hclen;

        // The block's size in bits with its own codes (their description
        // included) and with the fixed ones; the extra bits are the same.
        std::uint64_t own = 5 + 5 + 4 + 3 * std::uint64_t(hclen), fixed = 0;
        for (const Run& r : runs)
            own += clLengths[r.symbol] + (r.symbol == 16 ? 2 : r.symbol == 17 ? 3 : r.symbol == 18 ? 7 : 0);
        for (int s = 0; s < literalCodes; ++s) {
            own += std::uint64_t(litCounts[s]) * litLengths[s];
            fixed += std::uint64_t(litCounts[s]) * t_.fixedLitLengths[s];
        }
        for (int s = 0; s < distanceCodes; ++s) {
            own += std::uint64_t(distCounts[s]) * distLengths[s];
            fixed += std::uint64_t(distCounts[s]) * t_.fixedDistLengths[s];
        }
        if (fixed < own) {
            bits_.put(final ? 1 : 0, 1);
            bits_.put(1, 2); // fixed Huffman codes
            writeTokens(t_.fixedLitCodes, t_.fixedLitLengths, t_.fixedDistCodes, t_.fixedDistLengths);
            return;
        }

        bits_.put(final ? 1 : 0, 1);
        bits_.put(2, 2); // dynamic Huffman codes
        bits_.put(std::uint32_t(hlit - 257), 5);
        bits_.put(std::uint32_t(hdist - 1), 5);
        bits_.put(std::uint32_t(hclen - 4), 4);
        for (int i = 0; i < hclen; ++i)
            bits_.put(clLengths[lengthOrder[i]], 3);
        for (const Run& r : runs) {
            bits_.put(clCodes[r.symbol], clLengths[r.symbol]);
            if (r.symbol == 16)
                bits_.put(r.extra, 2);
            else if (r.symbol == 17)
                bits_.put(r.extra, 3);
            else if (r.symbol == 18)
                bits_.put(r.extra, 7);
        }

        writeTokens(litCodes, litLengths, distCodes, distLengths);
    }

    // The block's tokens and its end, in the codes given; empties the block.
    void writeTokens(const std::uint32_t* litCodes, const std::uint8_t* litLengths, const std::uint32_t* distCodes,
                     const std::uint8_t* distLengths)
    {
        for (Token token : tokens_) {
            const std::uint32_t distance = token >> 9;
            if (distance == 0) {
                const unsigned byte = token & 0xFF;
                bits_.put(litCodes[byte], litLengths[byte]);
                continue;
            }
            const unsigned length = token & 0x1FF;
            const int lc = t_.lengthCode[length];
            bits_.put(litCodes[257 + lc], litLengths[257 + lc]);
            if (lengthExtra[lc] != 0)
                bits_.put(length - lengthBase[lc], lengthExtra[lc]);
            const int dc = t_.distanceCode[distance];
            bits_.put(distCodes[dc], distLengths[dc]);
            if (distanceExtra[dc] != 0)
                bits_.put(distance - distanceBase[dc], distanceExtra[dc]);
        }
        bits_.put(litCodes[endOfBlock], litLengths[endOfBlock]);
        tokens_.clear();
    }

    const DeflatePiece& piece_;
    BitWriter bits_;
    const CodeTables& t_;
    std::vector<Token> tokens_;
    std::vector<std::int32_t>& head_;
    std::vector<std::int32_t>& prev_;
    std::size_t hashBytes_;
};

} // namespace

bool deflatePiece(const DeflatePiece& piece, std::vector<unsigned char>& out)
{
    try {
        // The hash tables are kept per thread: a picture's many small files
        // would otherwise allocate and fault in fresh tables every time.
        static thread_local std::vector<std::int32_t> head, prev;
        PieceEncoder encoder(piece, out, head, prev);
        encoder.run();
        return true;
    } catch (...) {
        // No memory for the tokens or the output: nothing else throws.
        return false;
    }
}

bool deflateZlib(const unsigned char* data, std::size_t size, std::size_t line, std::size_t pixelBytes,
                 std::vector<unsigned char>& out)
{
    out.clear();
    out.push_back(0x78); // deflate, 32 KiB window
    out.push_back(0x01); // no dictionary, the fastest level; a multiple of 31 with 0x78
    DeflatePiece piece;
    piece.data = data;
    piece.begin = 0;
    piece.end = size;
    piece.line = line;
    piece.pixelBytes = pixelBytes == 0 ? 1 : pixelBytes;
    piece.last = true;
    if (!deflatePiece(piece, out))
        return false;
    const uLong check = adler32(adler32(0L, nullptr, 0), data, uInt(size));
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(check >> shift));
    return true;
}

} // namespace wpx
