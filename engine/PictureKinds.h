#ifndef ENGINE_PICTUREKINDS_H
#define ENGINE_PICTUREKINDS_H

#include "engine/Pixwright_DLL.h"

namespace engine {

// One row of the kinds table: the asset folder of a game made with the
// editor and how its pictures convert. The grid is read for the custom grid
// mode only; the presets bring their own.
struct PictureKind {
    int kind; // PIXWRIGHT_KIND_*
    const char* folder;
    int gridMode; // PIXWRIGHT_GRID_*
    int gridWidth;
    int gridHeight;
    int keyMode; // PIXWRIGHT_KEY_PALETTE or PIXWRIGHT_KEY_OFF
};

// The row of a kind, or null for a value that is no kind.
const PictureKind* pictureKind(int kind);

// The row of an asset folder's name, matched without regard to ASCII letter
// case, or null.
const PictureKind* pictureKindOfFolder(const char* folderName);

} // namespace engine

#endif
