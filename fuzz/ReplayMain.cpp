// The main of a fuzz target built without libFuzzer: runs every input once,
// as libFuzzer would run it, so the test suite replays the regression and
// seed corpora on any compiler. A crash, a sanitizer report or a failed check
// of the target ends the program abnormally.
//
//     replay_fuzz_TARGET FILE_OR_FOLDER...
//
// A folder stands for the files directly inside it, in name order. No input
// at all is a failure: a folder that lost its files must not pass unseen.
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool readWhole(const fs::path& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        const fs::path given(argv[i]);
        if (fs::is_directory(given, ec)) {
            std::vector<fs::path> files;
            for (const fs::directory_entry& entry : fs::directory_iterator(given, ec))
                if (entry.is_regular_file(ec))
                    files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            inputs.insert(inputs.end(), files.begin(), files.end());
        } else if (fs::is_regular_file(given, ec)) {
            inputs.push_back(given);
        } else {
            std::fprintf(stderr, "replay: no such file or folder: %s\n", argv[i]);
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no inputs\n");
        return 2;
    }

    LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::uint8_t> bytes;
    for (const fs::path& input : inputs) {
        if (!readWhole(input, bytes)) {
            std::fprintf(stderr, "replay: cannot read %s\n", input.string().c_str());
            return 2;
        }
        // Printed first, so the input that ends the program is the last name shown.
        std::fprintf(stderr, "replay: %s (%zu bytes)\n", input.string().c_str(), bytes.size());
        // libFuzzer hands an empty input over as a valid pointer too.
        static const std::uint8_t none = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
    }
    std::fprintf(stderr, "replay: %zu inputs ran\n", inputs.size());
    return 0;
}
