// A game's folder as the converters see it: the asset folders directly inside
// it, the files in each, what they hold and how each picture converts. The
// command line and the window both list a game through here; the kinds and
// their settings are the engine's.
#ifndef PIXWRIGHT_GAME_GAMEFOLDER_H
#define PIXWRIGHT_GAME_GAMEFOLDER_H

#include "engine/Pixwright_DLL.h"

#include <array>
#include <string>
#include <vector>

namespace game {

// Why an entry is not converted.
enum class Skip {
    None, // a picture to convert
    NotInAssetFolder, // a file directly in the game's folder
    NotAssetFolder, // a folder of no picture kind (Music, Sound, ...)
    FolderInsideAssetFolder,
    NotPicture,
};

// The reason in words, as the report gives it; empty for Skip::None.
const char* skipText(Skip skip);

// One file or folder met in a game's folder.
struct GameEntry {
    // The path from the game's folder with "/" between the parts, the parts
    // as on disk ("chipset/World.png").
    std::string relativePath;
    // The path to read it from.
    std::string path;
    // The asset folder it lies in, as on disk; empty for what lies directly
    // in the game's folder.
    std::string folder;
    int kind = PIXWRIGHT_KIND_UNKNOWN;
    bool isFolder = false;
    PixwrightFileFormat format{};
    // Filled by inspectPictures from the picture's header; 0 x 0 when the
    // header cannot be read. Damaged pixel data is found by the conversion.
    int width = 0;
    int height = 0;
    Skip skip = Skip::None;

    bool isPicture() const { return skip == Skip::None; }
};

// Everything directly inside the game's folder and inside its asset folders,
// in name order (asset folders, then what lies in each). Other folders and
// files directly in the game's folder are listed as skipped without looking
// inside; so are folders inside an asset folder and files that are no
// picture. Empty when the folder cannot be read.
std::vector<GameEntry> scanGame(const std::string& gameFolder);

// Whether a folder holds at least one asset folder: a game's folder.
bool isGameFolder(const std::string& folder);

// Fills the size of every picture entry, several side by side on the
// engine's threads.
void inspectPictures(std::vector<GameEntry>& entries);

// The settings of each kind, starting from the engine's table; a front end
// may change a kind's grid mode, grid or key.
struct KindPresets {
    std::array<PixwrightKindSettings, PIXWRIGHT_KIND_COUNT> rows{};

    static KindPresets table();
    // What a picture of the entry's kind and size converts with.
    PixwrightKindSettings forPicture(const GameEntry& entry) const;
};

// The outputs every picture of a run writes.
struct OutputRequest {
    int outputFormat = PIXWRIGHT_FORMAT_PNG;
    bool saveNatural = true;
    std::string naturalSuffix;
    bool saveColor = true;
    std::string colorSuffix = "color";
    bool saveAlpha = true;
    std::string alphaSuffix = "alpha";
};

// The folder a picture entry's files go to: outputFolder/<its folder>.
std::string outputFolderOf(const std::string& outputFolder, const GameEntry& entry);

// The files each picture would write, as the engine names them, in the order
// it writes them (empty for other entries and for a picture the engine cannot
// load); found side by side on the engine's threads.
std::vector<std::vector<std::string>> plannedFiles(const std::vector<GameEntry>& entries, const KindPresets& presets,
                                                   const std::string& outputFolder, const OutputRequest& outputs);

// For each entry, the earlier entry one of whose files it would write again
// (World.png and World.xyz in one folder), or -1. Such a picture is not
// converted: side by side, which of the two wins would depend on the threads.
std::vector<int> findClashes(const std::vector<std::vector<std::string>>& planned);

// The key a kind's key mode stands for: PIXWRIGHT_KEY_PALETTE keys a picture
// with a palette of its own by entry 0 and any other by fixedColour
// (0xRRGGBB); PIXWRIGHT_KEY_OFF keys nothing.
PixwrightColorKey keyOf(int keyMode, unsigned fixedColour);

// The fixed colour "auto" falls back to, as the converters' default key.
constexpr unsigned defaultKeyColour = 0x007575;

} // namespace game

#endif
