#ifndef ENGINE_CONVERTRESULT_H
#define ENGINE_CONVERTRESULT_H

#include "engine/CellEnlargement.h"
#include "engine/Pixwright_DLL.h"
#include "auxlib/utility/Path.h"

#include <array>
#include <string>

namespace engine {

// What graphicConvert returns (PIXWRIGHT_RESULT_*). Every code but
// Converted, NullArgument and Cancelled comes with one error box.
enum ConvertResult : int {
    Converted = PIXWRIGHT_RESULT_SUCCESS,
    NullArgument = PIXWRIGHT_RESULT_NULL_ARGUMENT,
    NoSourcePath = PIXWRIGHT_RESULT_NO_SOURCE_PATH,
    NoOutputFolder = PIXWRIGHT_RESULT_NO_OUTPUT_FOLDER,
    NoOutput = PIXWRIGHT_RESULT_NO_OUTPUT,
    SuffixClash = PIXWRIGHT_RESULT_SUFFIX_CLASH,
    BadOutputName = PIXWRIGHT_RESULT_BAD_OUTPUT_NAME, // a name starting with "." or a folder that is a file
    FolderNotCreated = PIXWRIGHT_RESULT_FOLDER_NOT_CREATED,
    BadPath = PIXWRIGHT_RESULT_BAD_PATH,
    SourceNotLoaded = PIXWRIGHT_RESULT_SOURCE_NOT_LOADED,
    NotRearranged = PIXWRIGHT_RESULT_NOT_REARRANGED,
    CellNotConverted = PIXWRIGHT_RESULT_CELL_NOT_CONVERTED,
    NaturalNotSaved = PIXWRIGHT_RESULT_NATURAL_NOT_SAVED,
    ColorNotSaved = PIXWRIGHT_RESULT_COLOR_NOT_SAVED,
    AlphaNotSaved = PIXWRIGHT_RESULT_ALPHA_NOT_SAVED,
    StandardException = PIXWRIGHT_RESULT_STANDARD_EXCEPTION,
    OtherException = PIXWRIGHT_RESULT_OTHER_EXCEPTION,
    // The progress handler asked to stop; no box.
    Cancelled = PIXWRIGHT_RESULT_CANCELLED,
};

// One output variant of every cell: whether it is written, and the suffix of
// its files.
struct CellVariant {
    bool selected = false;
    std::string suffix;
};

// The arguments of one graphicConvert call, strings borrowed for the call.
struct ConvertRequest {
    const char* sourcePath;
    const char* outputFolder;
    const char* outputName;
    bool editorPreset;
    int gridWidth;
    int gridHeight;
    int sharpenLevel;
    bool eraseAlphaGrid;
    int interpolation;
    int outputFormat;
    bool saveNatural;
    const char* naturalSuffix;
    bool saveColor;
    const char* colorSuffix;
    bool saveAlpha;
    const char* alphaSuffix;
    // Not an argument of graphicConvert: the tests hold the row kernels to
    // the reference through it.
    KernelSet kernels = KernelSet::Rows;
    // The key of this call alone; null: the engine-wide colour-key state.
    const PixwrightColorKey* key = nullptr;
};

// What graphicConvert finds of a request before it touches anything: Converted,
// or the code and message of the first check that fails (the copied output
// name and the variants are filled in either way as far as they were read).
struct RequestCheck {
    ConvertResult code = Converted;
    std::string message;
    std::string outputName;
    std::array<CellVariant, 3> variants;
};
RequestCheck checkRequest(const ConvertRequest& request);

// The output files' common path: the folder joined with the output name, or
// with the source file's stem when the name is empty. Throws PathError,
// also for a selected suffix that would lead the names out of the folder.
std::string outputPathFor(const auxlib::utility::Path& folder, std::string outputName, const char* sourcePath,
                          const std::array<CellVariant, 3>& variants);

// Runs one conversion; non-null source path and folder required. May throw.
ConvertResult convert(const ConvertRequest& request);

// graphicConvert for a request: the null check, the conversion, and the
// boxes of exceptions.
int graphicConvert(const ConvertRequest& request);

} // namespace engine

#endif
