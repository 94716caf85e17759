// Mended chunk checksums for mutated PNG files. libpng refuses a critical
// chunk whose CRC does not match, so almost every mutation of a header or
// palette byte would end at the CRC check and never reach the code after it.
// The PNG targets' mutator mends the CRCs of most mutants (not all: a bad CRC
// is an input too).
#ifndef PIXWRIGHT_FUZZ_PNGCHECKSUMS_H
#define PIXWRIGHT_FUZZ_PNGCHECKSUMS_H

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Rewrites the CRC of every whole chunk of the PNG file that starts at
// data[start] (with its signature); stops at the first chunk that runs past
// the end. Nothing happens when no PNG signature is there.
void mendPngChecksums(std::uint8_t* data, std::size_t size, std::size_t start);

// The offset of the first PNG signature in the bytes, or size when none.
std::size_t findPngSignature(const std::uint8_t* data, std::size_t size);

} // namespace fuzz

#endif
