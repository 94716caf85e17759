// The whole conversion, graphicConvert, on an arbitrary picture file with the
// settings the input's header chooses (see ConvertInput.h). The file is
// written into the scratch folder, which is also the working folder (the
// engine's log goes there), and the outputs go to a folder inside it that is
// emptied before every run.
//
// Whatever the input, the conversion must end with one of its result codes,
// one error box for each failure that has one and none otherwise, no
// temporary file left behind and no new empty folder after a failure; when
// the header asks, the per-pixel reference path must then give the same
// result, log and files as the row path.
#include "auxlib/draw/PictureHeader.h"
#include "engine/ConvertResult.h"
#include "engine/SourcePicture.h"
#include "engine/Pixwright_DLL.h"
#include "fuzz/ConvertInput.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/PngChecksums.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using fuzz::ConvertCase;

// Pictures up to this many pixels are converted; a chipset has 122 880. A
// larger one the engine would take costs seconds to convert and proves
// nothing a smaller one does not, so it is skipped; one past the engine's
// own limits is refused from its header and runs.
constexpr std::uint64_t fuzzMaxPixels = 1u << 17;

int errorBoxes = 0;

void countErrorBox(const char*, const char*) { ++errorBoxes; }

int cancelAfter = 0;

int cancelling(void*, int cellsDone, int, int) { return cancelAfter != 0 && cellsDone >= cancelAfter ? 1 : 0; }

bool isResultCode(int code)
{
    using namespace engine;
    switch (code) {
    case Converted: case NullArgument: case NoSourcePath: case NoOutputFolder: case NoOutput: case SuffixClash:
    case BadOutputName: case FolderNotCreated: case BadPath: case SourceNotLoaded: case NotRearranged:
    case CellNotConverted: case NaturalNotSaved: case ColorNotSaved: case AlphaNotSaved: case StandardException:
    case OtherException: case Cancelled:
        return true;
    default:
        return false;
    }
}

bool tooCostly(const std::string& path)
{
    const auto declared = auxlib::draw::readDeclaredSize(path);
    if (!declared)
        return false;
    const bool engineTakesIt = declared->width <= std::uint32_t(engine::maxSourceWidth)
                               && declared->height <= std::uint32_t(engine::maxSourceHeight);
    return engineTakesIt && std::uint64_t(declared->width) * declared->height > fuzzMaxPixels;
}

void applyKey(const ConvertCase& c)
{
    switch (c.keyMode) {
    case fuzz::KeyMode::Rgb:
        setColorKey(c.key[0], c.key[1], c.key[2]);
        break;
    case fuzz::KeyMode::Position:
        setColorKeyPos(static_cast<std::int8_t>(c.key[0]), static_cast<std::int8_t>(c.key[1]));
        break;
    case fuzz::KeyMode::PaletteIndex:
        setColorKeyPaletteIndex(c.key[2]);
        break;
    default:
        resetColorKey();
        break;
    }
}

// What one conversion left: its result, its boxes, its log and every file
// of the output folder with its bytes.
struct Outcome {
    int result = 0;
    int boxes = 0;
    std::string log;
    std::map<std::string, std::string> files;
};

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Outcome convertOnce(const ConvertCase& c, const std::string& source, const std::string& output,
                    engine::KernelSet kernels = engine::KernelSet::Rows)
{
    std::error_code ec;
    fuzz::emptyFolder(output);
    fs::remove("stderr.txt", ec);
    errorBoxes = 0;
    const std::string folder = c.nestedFolder ? output + "/new" : output;
    const char* colourSuffix = c.suffixClash ? "same" : "color";
    const char* alphaSuffix = c.suffixClash ? "SAME" : "alpha";
    Outcome o;
    engine::ConvertRequest request{source.c_str(),
                                   folder.c_str(),
                                   c.outputName ? "named" : nullptr,
                                   c.editorPreset != 0,
                                   c.gridWidth,
                                   c.gridHeight,
                                   fuzz::convertSharpenLevels[c.sharpen],
                                   c.eraseAlphaGrid != 0,
                                   int(c.interpolation),
                                   fuzz::convertFormats[c.format],
                                   c.saveNatural != 0,
                                   "",
                                   c.saveColor != 0,
                                   colourSuffix,
                                   c.saveAlpha != 0,
                                   alphaSuffix};
    request.kernels = kernels;
    o.result = engine::graphicConvert(request);
    o.boxes = errorBoxes;
    o.log = contents("stderr.txt");
    for (auto it = fs::recursive_directory_iterator(output, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        o.files[it->path().lexically_relative(output).string()] = it->is_regular_file(ec) ? contents(it->path()) : "";

    FUZZ_CHECK(isResultCode(o.result));
    const bool boxExpected = o.result != engine::Converted && o.result != engine::NullArgument
                             && o.result != engine::Cancelled;
    FUZZ_CHECK(o.boxes == (boxExpected ? 1 : 0));
    // Files appear only when whole: no temporary file is left behind.
    for (const auto& file : o.files)
        FUZZ_CHECK(file.first.find(".~pw") == std::string::npos);
    // A failed conversion leaves no new, empty folder.
    if (o.result != engine::Converted && c.nestedFolder)
        FUZZ_CHECK(!fs::exists(folder, ec) || !fs::is_empty(folder, ec));
    return o;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The engine's log, stderr.txt, goes to the current folder.
    if (chdir(fuzz::scratchFolder().c_str()) != 0)
        fuzz::checkFailed(__FILE__, __LINE__, "chdir to the scratch folder");
    setErrorBoxHandler(countErrorBox);
    setProgressHandler(cancelling, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A picture within the budget above fits in far less than this.
    if (size > std::size_t(1) << 20)
        return 0;
    const ConvertCase c = fuzz::decodeConvertCase(data, size);
    const std::string scratch = fuzz::scratchFolder();
    const std::string source = scratch + "/input" + fuzz::convertExtensions[c.extension];
    const std::string output = scratch + "/out";
    std::error_code ec;
    if (!fuzz::writeFile(source, c.file.data(), c.file.size()))
        fuzz::checkFailed(__FILE__, __LINE__, "writing the input file");
    if (tooCostly(source)) {
        fs::remove(source, ec);
        return 0;
    }

    setThreadCount(c.twoThreads ? 2 : 1);
    setPngFilter(fuzz::convertPngFilters[c.pngFilter]);
    applyKey(c);
    cancelAfter = c.cancelAfter;

    const Outcome rows = convertOnce(c, source, output);
    if (c.compareReference) {
        // The per-pixel reference states every rule literally; the row path
        // must give the same files, byte for byte, and the same log.
        const Outcome reference = convertOnce(c, source, output, engine::KernelSet::Reference);
        FUZZ_CHECK(reference.result == rows.result);
        FUZZ_CHECK(reference.log == rows.log);
        FUZZ_CHECK(reference.files == rows.files);
    }
    fs::remove(source, ec);
    return 0;
}

#ifdef PIXWRIGHT_LIBFUZZER
extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    size = LLVMFuzzerMutate(data, size, maxSize);
    // A mutation may have grown or shrunk the header: the file starts where
    // its signature is found.
    if (seed % 8 != 0)
        fuzz::mendPngChecksums(data, size, fuzz::findPngSignature(data, size));
    return size;
}
#endif
