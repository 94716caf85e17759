#ifndef CLI_OPTIONS_H
#define CLI_OPTIONS_H

#include "engine/Pixwright_DLL.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

// The grid modes of the engine's header, and the automatic choice by the
// picture's preset.
enum class Mode {
    Chipset = PIXWRIGHT_GRID_CHIPSET,
    Charset = PIXWRIGHT_GRID_CHARSET,
    NoGrid = PIXWRIGHT_GRID_NONE,
    Custom = PIXWRIGHT_GRID_CUSTOM,
    Auto = PIXWRIGHT_GRID_COUNT
};

// Auto and Palette both key a palette picture by its palette entry 0 and
// every other picture by the fixed colour (007575 unless given); None keys
// no pixel.
enum class KeyMode { Auto, Palette, TopLeft, Fixed, None };

enum class Verbosity { Quiet, Normal, Verbose };

struct Options {
    std::vector<std::string> inputs;
    // A game's folder, converted asset folder by asset folder.
    std::optional<std::string> game;
    // Folder inputs take their subfolders too.
    bool recursive = false;
    std::string outputFolder = ".";
    std::optional<std::string> name;
    Mode mode = Mode::Auto;
    int gridWidth = 16;
    int gridHeight = 16;
    int interpolation = PIXWRIGHT_INTERPOLATION_BILINEAR;
    int sharpen = 2;
    std::optional<bool> alphaGrid; // unset: on in chipset mode only
    KeyMode key = KeyMode::Auto;
    int keyRed = 0x00, keyGreen = 0x75, keyBlue = 0x75;
    int format = PIXWRIGHT_FORMAT_PNG;
    std::optional<std::vector<std::string>> outputs; // unset: by format
    std::string naturalSuffix;
    std::string colorSuffix = "color";
    std::string alphaSuffix = "alpha";
    int jobs = 0;      // 0: the machine's core count
    int pngFilter = 0; // as setPngFilter: 0 libpng's own choice
    long long memoryLimit = 0; // as setMemoryLimit: 0 half the machine's memory
    int pngCompression = 0; // as setPngCompression: 0 default, 1 fast, 2 small
    bool pngPalette = false; // as setPngPalette
    Verbosity verbosity = Verbosity::Normal;
    bool help = false;
    bool version = false;
};

// Thrown for a bad command line; the text names the option or value.
struct UsageError {
    std::string message;
};

Options parseOptions(const std::vector<std::string>& args);
std::string usageText();

// The engine arguments one input converts with, after the picture's size
// has settled an automatic mode.
struct Job {
    bool editorPreset = false;
    int gridWidth = 16;
    int gridHeight = 16;
    bool alphaGrid = false;
    bool saveNatural = false;
    bool saveColor = false;
    bool saveAlpha = false;
};

// preset is what the engine cuts the picture as (inspectPicture), or
// PIXWRIGHT_PRESET_NONE when it could not be read.
Job planJob(const Options& options, int preset);

// The engine arguments of a game's picture: the grid of its kind's settings
// (pictureSettings), the alpha-grid correction of the kind unless the user
// chose, the user's variants.
Job kindJob(const Options& options, const PixwrightKindSettings& settings);

// A picture found in a folder input, and the folder it lies in relative to
// the input ("" directly inside, else "a/b").
struct FolderPicture {
    std::string path;
    std::string subfolder;
};

// The files inside a folder that hold a picture the engine decodes, told by
// their content: directly inside, or with recursive at any depth; in name
// order of their paths below the folder.
std::vector<FolderPicture> picturesIn(const std::string& folder, bool recursive = false);

// The word of a grid mode (PIXWRIGHT_GRID_*) as --mode takes it.
std::string gridModeWord(int gridMode);
// The words of the other numbered values, as their options take them.
std::string interpolationWord(int interpolation);
std::string formatWord(int format);

} // namespace cli

#endif
