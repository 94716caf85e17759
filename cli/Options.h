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
// every other picture by the fixed colour (007575 unless given).
enum class KeyMode { Auto, Palette, TopLeft, Fixed };

enum class Verbosity { Quiet, Normal, Verbose };

struct Options {
    std::vector<std::string> inputs;
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

// Picture files directly inside a folder, in name order.
std::vector<std::string> picturesIn(const std::string& folder);

} // namespace cli

#endif
