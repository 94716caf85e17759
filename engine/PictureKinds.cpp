// The kinds table: which asset folder of a game holds which kind of picture,
// and how each converts. The command line and the window ask it through the
// exports below.
#include "engine/PictureKinds.h"

// EditorPresets.h loops over a braced list.
#include <initializer_list>

#include "engine/EditorPresets.h"

#include <iterator>

namespace engine {

namespace {

constexpr int paletteKey = PIXWRIGHT_KEY_PALETTE;
constexpr int noKey = PIXWRIGHT_KEY_OFF;

// In PIXWRIGHT_KIND_* order. The System pieces lie on an 8-pixel grid; the
// backgrounds (Panorama to GameOver) are whole pictures without transparency.
constexpr PictureKind kinds[] = {
    {PIXWRIGHT_KIND_CHIPSET, "ChipSet", PIXWRIGHT_GRID_CHIPSET, 0, 0, paletteKey},
    {PIXWRIGHT_KIND_CHARSET, "CharSet", PIXWRIGHT_GRID_CHARSET, 0, 0, paletteKey},
    {PIXWRIGHT_KIND_FACESET, "FaceSet", PIXWRIGHT_GRID_CUSTOM, 48, 48, paletteKey},
    {PIXWRIGHT_KIND_BATTLE, "Battle", PIXWRIGHT_GRID_CUSTOM, 96, 96, paletteKey},
    {PIXWRIGHT_KIND_BATTLE2, "Battle2", PIXWRIGHT_GRID_CUSTOM, 128, 128, paletteKey},
    {PIXWRIGHT_KIND_BATTLECHARSET, "BattleCharSet", PIXWRIGHT_GRID_CUSTOM, 48, 48, paletteKey},
    {PIXWRIGHT_KIND_BATTLEWEAPON, "BattleWeapon", PIXWRIGHT_GRID_CUSTOM, 64, 64, paletteKey},
    {PIXWRIGHT_KIND_SYSTEM, "System", PIXWRIGHT_GRID_CUSTOM, 8, 8, paletteKey},
    {PIXWRIGHT_KIND_SYSTEM2, "System2", PIXWRIGHT_GRID_CUSTOM, 8, 8, paletteKey},
    {PIXWRIGHT_KIND_MONSTER, "Monster", PIXWRIGHT_GRID_NONE, 0, 0, paletteKey},
    {PIXWRIGHT_KIND_PICTURE, "Picture", PIXWRIGHT_GRID_NONE, 0, 0, paletteKey},
    {PIXWRIGHT_KIND_FRAME, "Frame", PIXWRIGHT_GRID_NONE, 0, 0, paletteKey},
    {PIXWRIGHT_KIND_PANORAMA, "Panorama", PIXWRIGHT_GRID_NONE, 0, 0, noKey},
    {PIXWRIGHT_KIND_BACKDROP, "Backdrop", PIXWRIGHT_GRID_NONE, 0, 0, noKey},
    {PIXWRIGHT_KIND_TITLE, "Title", PIXWRIGHT_GRID_NONE, 0, 0, noKey},
    {PIXWRIGHT_KIND_GAMEOVER, "GameOver", PIXWRIGHT_GRID_NONE, 0, 0, noKey},
};
static_assert(std::size(kinds) == PIXWRIGHT_KIND_COUNT, "one row per kind");

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameFolderName(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (asciiLower(*a) != asciiLower(*b))
            return false;
    return *a == *b;
}

const EditorPreset* presetOfGridMode(int gridMode)
{
    return gridMode == PIXWRIGHT_GRID_CHIPSET   ? &chipsetPreset
           : gridMode == PIXWRIGHT_GRID_CHARSET ? &charsetPreset
                                                : nullptr;
}

} // namespace

const PictureKind* pictureKind(int kind)
{
    return kind >= 0 && kind < PIXWRIGHT_KIND_COUNT ? &kinds[kind] : nullptr;
}

const PictureKind* pictureKindOfFolder(const char* folderName)
{
    if (folderName == nullptr)
        return nullptr;
    for (const PictureKind& row : kinds)
        if (sameFolderName(row.folder, folderName))
            return &row;
    return nullptr;
}

} // namespace engine

extern "C" PIXWRIGHT_API const char* kindFolderName(int kind)
{
    const engine::PictureKind* row = engine::pictureKind(kind);
    return row != nullptr ? row->folder : nullptr;
}

extern "C" PIXWRIGHT_API int kindOfFolder(const char* folderName)
{
    const engine::PictureKind* row = engine::pictureKindOfFolder(folderName);
    return row != nullptr ? row->kind : PIXWRIGHT_KIND_UNKNOWN;
}

extern "C" PIXWRIGHT_API int kindSettings(int kind, PixwrightKindSettings* settings)
{
    const engine::PictureKind* row = engine::pictureKind(kind);
    if (row == nullptr || settings == nullptr)
        return -1;
    PixwrightKindSettings found{};
    found.gridMode = row->gridMode;
    found.gridWidth = row->gridWidth;
    found.gridHeight = row->gridHeight;
    found.keyMode = row->keyMode;
    if (const engine::EditorPreset* preset = engine::presetOfGridMode(row->gridMode)) {
        found.editorPreset = 1;
        found.gridWidth = preset->gridWidth;
        found.gridHeight = preset->gridHeight;
        found.eraseAlphaGrid = preset->eraseAlphaGrid ? 1 : 0;
    }
    *settings = found;
    return 0;
}

extern "C" PIXWRIGHT_API int pictureSettings(const PixwrightKindSettings* preset, int width, int height,
                                             PixwrightKindSettings* settings)
{
    if (preset == nullptr || settings == nullptr)
        return -1;
    PixwrightKindSettings found{};
    found.keyMode = preset->keyMode;
    switch (preset->gridMode) {
    case PIXWRIGHT_GRID_CHIPSET:
    case PIXWRIGHT_GRID_CHARSET: {
        const engine::EditorPreset& editor = *engine::presetOfGridMode(preset->gridMode);
        found.gridWidth = editor.gridWidth;
        found.gridHeight = editor.gridHeight;
        if (width == editor.pictureWidth && height == editor.pictureHeight) {
            found.gridMode = preset->gridMode;
            found.editorPreset = 1;
            found.eraseAlphaGrid = editor.eraseAlphaGrid ? 1 : 0;
        } else {
            // Cut by the preset, a picture of another size would still be one
            // cell; its grid is what it keeps of the kind.
            found.gridMode = PIXWRIGHT_GRID_CUSTOM;
        }
        break;
    }
    case PIXWRIGHT_GRID_NONE:
        found.gridMode = PIXWRIGHT_GRID_NONE;
        break;
    case PIXWRIGHT_GRID_CUSTOM:
        found.gridMode = PIXWRIGHT_GRID_CUSTOM;
        found.gridWidth = preset->gridWidth;
        found.gridHeight = preset->gridHeight;
        break;
    default:
        return -1;
    }
    *settings = found;
    return 0;
}
