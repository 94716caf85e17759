// The command line's parser on arbitrary argument vectors: the input split
// at its NUL bytes, one argument each (a trailing NUL ends the last one). A
// bad command line must come back as a UsageError with a text; anything else
// it throws is a fault, and so is a value it accepts outside its range.
#include "cli/Options.h"
#include "fuzz/FuzzSupport.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> splitArguments(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty())
        args.push_back(current);
    return args;
}

void checkAccepted(const cli::Options& o)
{
    if (!o.help && !o.version) {
        FUZZ_CHECK(!o.inputs.empty());
        FUZZ_CHECK(!o.name || o.inputs.size() == 1);
    }
    FUZZ_CHECK(!o.outputFolder.empty());
    FUZZ_CHECK(o.interpolation >= 0 && o.interpolation <= 2);
    FUZZ_CHECK(o.sharpen >= 0 && o.sharpen <= 5);
    FUZZ_CHECK(o.format >= 0 && o.format <= 2);
    FUZZ_CHECK(o.pngFilter >= 0 && o.pngFilter <= 6);
    FUZZ_CHECK(o.jobs == 0 || (o.jobs >= 1 && o.jobs <= 256));
    FUZZ_CHECK(o.keyRed >= 0 && o.keyRed <= 255 && o.keyGreen >= 0 && o.keyGreen <= 255 && o.keyBlue >= 0
               && o.keyBlue <= 255);
    if (o.outputs)
        for (const std::string& output : *o.outputs)
            FUZZ_CHECK(output == "natural" || output == "color" || output == "alpha");

    // The automatic mode settles by the picture's preset alone.
    const cli::Job chipset = cli::planJob(o, PIXWRIGHT_PRESET_CHIPSET);
    const cli::Job charset = cli::planJob(o, PIXWRIGHT_PRESET_CHARSET);
    const cli::Job other = cli::planJob(o, PIXWRIGHT_PRESET_NONE);
    if (o.mode == cli::Mode::Auto) {
        FUZZ_CHECK(chipset.editorPreset && chipset.gridWidth == 16 && chipset.gridHeight == 16);
        FUZZ_CHECK(charset.editorPreset && charset.gridWidth == 24 && charset.gridHeight == 32);
        FUZZ_CHECK(!other.editorPreset && other.gridWidth == o.gridWidth && other.gridHeight == o.gridHeight);
    }
    for (const cli::Job& job : {chipset, charset, other}) {
        if (o.alphaGrid)
            FUZZ_CHECK(job.alphaGrid == *o.alphaGrid);
        if (!o.outputs)
            FUZZ_CHECK(job.saveColor && job.saveAlpha && job.saveNatural == (o.format == 1));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A command line is a few kilobytes at most.
    if (size > 1 << 16)
        return 0;
    const std::vector<std::string> args = splitArguments(data, size);
    try {
        checkAccepted(cli::parseOptions(args));
    } catch (const cli::UsageError& e) {
        FUZZ_CHECK(!e.message.empty());
    }
    return 0;
}
