#ifndef ENGINE_CONVERTRESULT_H
#define ENGINE_CONVERTRESULT_H

namespace engine {

// What graphicConvert returns. Every code but Converted, NullArgument and
// Cancelled comes with one error box.
enum ConvertResult : int {
    Converted = 0,
    NullArgument = 1,
    NoSourcePath = 2,
    NoOutputFolder = 3,
    NoOutput = 4,
    SuffixClash = 5,
    BadOutputName = 6, // a name starting with "." or a folder that is a file
    FolderNotCreated = 7,
    BadPath = 8,
    SourceNotLoaded = 10,
    NotRearranged = 11,
    CellNotConverted = 20,
    NaturalNotSaved = 21,
    ColorNotSaved = 22,
    AlphaNotSaved = 23,
    StandardException = 30,
    OtherException = 35,
    // The progress handler asked to stop; no box.
    Cancelled = 40,
};

// Largest source picture the conversion takes: its doubled size must fit
// SDL's 16-bit rectangles.
inline constexpr int maxSourceWidth = 8191;
inline constexpr int maxSourceHeight = 16383;

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
};

// Runs one conversion; non-null source path and folder required. May throw.
ConvertResult convert(const ConvertRequest& request);

} // namespace engine

#endif
