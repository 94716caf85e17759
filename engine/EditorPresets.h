#ifndef ENGINE_EDITORPRESETS_H
#define ENGINE_EDITORPRESETS_H

#include "engine/Pixwright_DLL.h"

namespace engine {

// The editor's two picture kinds that the editor preset cuts into cells,
// and the settings that suit them. Every front end asks for these through
// presetForSize and presetInfo.
struct EditorPreset {
    int kind; // PIXWRIGHT_PRESET_*
    int pictureWidth;
    int pictureHeight;
    int gridWidth;
    int gridHeight;
    bool eraseAlphaGrid;
    // The cells PixReplacer cuts the picture into.
    int cells;
};

// The tile stack, two sea chips, three animation strips and twelve
// autotile blocks.
inline constexpr EditorPreset chipsetPreset{PIXWRIGHT_PRESET_CHIPSET, 480, 256, 16, 16, true, 18};
// Eight characters.
inline constexpr EditorPreset charsetPreset{PIXWRIGHT_PRESET_CHARSET, 288, 256, 24, 32, false, 8};

// The preset a width x height picture is cut as, or null for none.
inline const EditorPreset* presetOfSize(int width, int height)
{
    for (const EditorPreset* preset : {&chipsetPreset, &charsetPreset})
        if (width == preset->pictureWidth && height == preset->pictureHeight)
            return preset;
    return nullptr;
}

} // namespace engine

#endif
