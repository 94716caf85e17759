// What every fuzz target shares: its scratch folder, a reader that draws the
// target's choices from the front of an input, and whole-file writes.
//
// A target is one LLVMFuzzerTestOneInput (and an LLVMFuzzerInitialize, which
// both libFuzzer and the replay program call first). Built with libFuzzer it
// fuzzes; built with fuzz/ReplayMain.cpp it runs each file of its corpus
// folders once, which is how the test suite replays them.
#ifndef PIXWRIGHT_FUZZ_FUZZSUPPORT_H
#define PIXWRIGHT_FUZZ_FUZZSUPPORT_H

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzz {

// A folder of the process's own, made under $TMPDIR (or /tmp) on the first
// call and removed with everything in it when the process exits normally.
// Nothing a target does writes anywhere else.
const std::string& scratchFolder();

// Removes everything inside folder, keeping the folder itself (made when
// missing). Entries without write permission are opened up first.
void emptyFolder(const std::string& folder);

// A promise of the code under test that an input broke: named on standard
// error, then abort(), which libFuzzer and the replay both report as a crash.
[[noreturn]] void checkFailed(const char* file, int line, const char* condition);

// Writes the bytes as the whole file; false when it cannot be written.
bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// Takes a target's choices from the front of the input, one byte or number
// at a time; an input that runs short reads zeros, so every input is a valid
// set of choices. rest() is what the choices left over (a file's bytes).
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte();
    // A little-endian 16-bit number.
    std::uint16_t word();
    bool bit() { return (byte() & 1) != 0; }
    // A value from 0 to count - 1 (count >= 1).
    unsigned pick(unsigned count) { return byte() % count; }
    // Up to maxLength bytes, ended early by a NUL that is consumed.
    std::string text(std::size_t maxLength);

    const std::uint8_t* rest() const { return data_ + used_; }
    std::size_t restSize() const { return size_ - used_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t used_ = 0;
};

} // namespace fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::fuzz::checkFailed(__FILE__, __LINE__, #condition))

#endif
