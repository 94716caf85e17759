// The editors' two picture kinds. The engine cuts a picture into its cells
// only when a preset is chosen and the picture has one of these sizes,
// whichever of the two presets it is; the window, the preview and the name
// of the first result all follow that one rule.
#ifndef PIXWRIGHT_GUI_EDITORPICTURES_H
#define PIXWRIGHT_GUI_EDITORPICTURES_H

#include <QSize>

inline constexpr QSize kChipsetSize(480, 256);
inline constexpr QSize kCharsetSize(288, 256);

enum class TEditorCut { None, Chipset, Charset };

inline TEditorCut editorCutFor(bool preset, const QSize& size)
{
    if (!preset)
        return TEditorCut::None;
    if (size == kChipsetSize)
        return TEditorCut::Chipset;
    if (size == kCharsetSize)
        return TEditorCut::Charset;
    return TEditorCut::None;
}

#endif
