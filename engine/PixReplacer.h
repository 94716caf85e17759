#ifndef ENGINE_PIXREPLACER_H
#define ENGINE_PIXREPLACER_H

#include "auxlib/draw/Surface.h"
#include "engine/CellList.h"

namespace engine {

enum class ChipKind : int {
    Autotile = 0,
    Sea = 1,
    Animation = 2,
};

// Cuts a loaded picture into the cells of one conversion. With the editor
// preset on, a 288 x 256 charset becomes 8 character pictures and a
// 480 x 256 chipset becomes 18 pictures; every other picture is one cell.
//
// Nothing here changes the source picture or throws on a failed picture
// operation: failures are logged and come back as an empty list or an empty
// Surface.
class PixReplacer {
public:
    // The cells of source; empty when source holds no picture or cutting it
    // failed.
    CellList rearrange(const auxlib::draw::Surface& source, const auxlib::draw::Rgba& colour,
                       bool editorPreset) const;

    // 8 pictures of 96 x 128 without alpha, top character row first.
    CellList rearrangeCharset(const auxlib::draw::Surface& source) const;
    // Up to 18 pictures: the tile stack, then the chips of the left part. A
    // block whose conversion fails is left out and the rest move up.
    CellList rearrangeChipset(const auxlib::draw::Rgba& colour, const auxlib::draw::Surface& source) const;
    // The 288 x 256 tile part of a chipset as three 96 x 256 columns one
    // below the other, on a 128 x 768 picture filled with colour.
    auxlib::draw::Surface buildTileStack(const auxlib::draw::Rgba& colour, const auxlib::draw::Surface& source) const;
    // The pictures of one 48 x 64 chipset block. sub is the sea sub picture,
    // needed by Sea blocks only; pass an empty Surface otherwise.
    CellList convertChipBlock(const auxlib::draw::Rgba& colour, const auxlib::draw::Surface& block,
                              const auxlib::draw::Surface& sub, ChipKind kind) const;
    // A new picture without alpha holding rect of source.
    auxlib::draw::Surface cutRegion(const auxlib::draw::Rect& rect, const auxlib::draw::Surface& source) const;
};

} // namespace engine

#endif
