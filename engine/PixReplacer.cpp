#include "engine/PixReplacer.h"

#include "auxlib/error/ErrorLogger.h"
#include "engine/EditorPresets.h"
#include "engine/ReplacerTables.h"

#include <boost/format.hpp>

namespace engine {

using auxlib::draw::Rect;
using auxlib::draw::Rgba;
using auxlib::draw::Size;
using auxlib::draw::Success;
using auxlib::draw::Surface;
using auxlib::error::ErrorLogger;

namespace {
constexpr const char* sourceName = "..\\..\\PixReplacer";

// The fixed site numbers of this file's log entries.
constexpr int regionNotCreatedSite = 27;
constexpr int regionNotCopiedSite = 34;
constexpr int notACharsetSite = 70;
constexpr int notAChipsetSite = 126;
constexpr int autotileNotCutSite = 170;
constexpr int stackNotCreatedSite = 190;
constexpr int stackNotFilledSite = 198;
constexpr int stackNotCopiedSite = 208;
constexpr int noSeaSubSite = 230;
constexpr int seaNotCreatedSite = 236;
constexpr int seaNotFilledSite = 269;
constexpr int seaSubNotCopiedSite = 278;
constexpr int seaPieceNotCopiedSite = 284;
constexpr int animationNotCreatedSite = 304;
constexpr int animationNotCopiedSite = 312;

constexpr int charsetWidth = charsetPreset.pictureWidth;
constexpr int charsetHeight = charsetPreset.pictureHeight;
constexpr int characterWidth = 72;
constexpr int characterHeight = 128;
constexpr int charsetPieceWidth = 24;
constexpr int charsetPieceHeight = 32;
constexpr int characterCellWidth = 96;

constexpr int chipsetWidth = chipsetPreset.pictureWidth;
constexpr int chipsetHeight = chipsetPreset.pictureHeight;
constexpr int chipPartWidth = 192;
constexpr int blockWidth = 48;
constexpr int blockHeight = 64;
constexpr int seaSubX = 0;
constexpr int seaSubY = 64;
constexpr int animationX = 48;
constexpr int animationY = 64;

constexpr int tileColumnWidth = 96;
constexpr int tileStackWidth = 128;
constexpr int tileStackHeight = chipsetHeight * 3;

constexpr int seaColumnWidth = 16;
constexpr int seaChipWidth = 48;
constexpr int seaPieceSize = 8;
constexpr int seaPictureWidth = seaChipWidth * 3;

// Sea chips always take the sub picture's top-left piece. Picking the piece
// at random would mean drawing two values in [0, 1) and truncating each to an
// integer before scaling it by 8, which can only give 0; without a generator
// the result is the same and reproducible.
constexpr int seaSubPieceX = 0;
constexpr int seaSubPieceY = 0;

constexpr int animationTileSize = 16;
constexpr int animationFrames = 4;

bool hasSize(const Surface& picture, int width, int height)
{
    return picture.width() == width && picture.height() == height;
}

ChipKind chipKindAt(int x, int y)
{
    if (y == 0 && (x == 0 || x == blockWidth))
        return ChipKind::Sea;
    if (x == animationX && y == animationY)
        return ChipKind::Animation;
    return ChipKind::Autotile;
}
} // namespace

CellList PixReplacer::rearrange(const Surface& source, const Rgba& colour, bool editorPreset) const
{
    if (!source.isValid())
        return CellList();
    if (editorPreset && hasSize(source, charsetWidth, charsetHeight))
        return rearrangeCharset(source);
    if (editorPreset && hasSize(source, chipsetWidth, chipsetHeight))
        return rearrangeChipset(colour, source);
    CellList cells;
    cells.push_back(source);
    return cells;
}

Surface PixReplacer::cutRegion(const Rect& rect, const Surface& source) const
{
    if (!source.isValid())
        return Surface();
    Surface region;
    if (region.create(rect.w, rect.h, false) != Success) {
        ErrorLogger(sourceName, regionNotCreatedSite).put(boost::format("(%d, %d) のＤＩＢ画像を作成できませんでした。") % rect.w % rect.h);
        return Surface();
    }
    const Size size{rect.w, rect.h};
    if (region.copy(&source, 0, 0, &size, rect.x, rect.y) != Success) {
        ErrorLogger(sourceName, regionNotCopiedSite).put("画像をコピーできませんでした。");
        return Surface();
    }
    return region;
}

CellList PixReplacer::rearrangeCharset(const Surface& source) const
{
    if (!source.isValid())
        return CellList();
    if (!hasSize(source, charsetWidth, charsetHeight)) {
        ErrorLogger(sourceName, notACharsetSite).put("ゲームエディタのチップセット画像と大きさが違います。");
        return CellList();
    }
    const Size piece{charsetPieceWidth, charsetPieceHeight};
    CellList cells;
    cells.reserve(charsetPreset.cells);
    for (int y0 = 0; y0 < charsetHeight; y0 += characterHeight) {
        for (int x0 = 0; x0 < charsetWidth; x0 += characterWidth) {
            Surface& character = cells.emplace_back();
            if (character.create(characterCellWidth, characterHeight, false) != Success)
                return CellList();
            for (int r = 0; r < 4; ++r) {
                for (int f = 0; f < 3; ++f) {
                    for (int k = 0; k < 2; ++k) {
                        const int dx = charsetPieceWidth * CharsetColumnMap[2 * f + k];
                        const int dy = charsetPieceHeight * CharsetRowMap[r];
                        if (character.copy(&source, dx, dy, &piece, x0 + charsetPieceWidth * f,
                                           y0 + charsetPieceHeight * r)
                            != Success)
                            return CellList();
                    }
                }
            }
        }
    }
    return cells;
}

CellList PixReplacer::rearrangeChipset(const Rgba& colour, const Surface& source) const
{
    if (!source.isValid())
        return CellList();
    if (!hasSize(source, chipsetWidth, chipsetHeight)) {
        ErrorLogger(sourceName, notAChipsetSite).put("ゲームエディタのタイルセット画像と大きさが違います。");
        return CellList();
    }
    CellList cells;
    cells.reserve(chipsetPreset.cells);
    cells.push_back(buildTileStack(colour, source));
    if (!cells.back().isValid())
        return CellList();

    for (int y = 0; y < chipsetHeight; y += blockHeight) {
        for (int x = 0; x < chipPartWidth; x += blockWidth) {
            const Surface block = cutRegion(Rect{x, y, blockWidth, blockHeight}, source);
            if (!block.isValid())
                return CellList();
            if (x == seaSubX && y == seaSubY)
                continue;
            const ChipKind kind = chipKindAt(x, y);
            const Surface sub = kind == ChipKind::Sea
                                    ? cutRegion(Rect{seaSubX, seaSubY, blockWidth, blockHeight}, source)
                                    : Surface();
            if (kind == ChipKind::Sea && !sub.isValid())
                return CellList();
            const CellList chips = convertChipBlock(colour, block, sub, kind);
            if (chips.empty()) {
                ErrorLogger(sourceName, autotileNotCutSite).put("オートタイルの並び替えに失敗しました。");
                continue;
            }
            for (const Surface& chip : chips)
                cells.push_back(chip);
        }
    }
    return cells;
}

Surface PixReplacer::buildTileStack(const Rgba& colour, const Surface& source) const
{
    if (!hasSize(source, chipsetWidth, chipsetHeight))
        return Surface();
    Surface stack;
    if (stack.create(tileStackWidth, tileStackHeight, false) != Success) {
        ErrorLogger(sourceName, stackNotCreatedSite).put("タイルセット並べ替え後の画像を作成できませんでした。");
        return Surface();
    }
    const Rect whole{0, 0, stack.width(), stack.height()};
    if (stack.fill(&whole, &colour) != Success) {
        ErrorLogger(sourceName, stackNotFilledSite).put("画像の塗りつぶしに失敗しました。");
        return Surface();
    }
    const Size column{tileColumnWidth, chipsetHeight};
    for (int i = 0; i < 3; ++i) {
        if (stack.copy(&source, 0, chipsetHeight * i, &column, chipPartWidth + tileColumnWidth * i, 0) != Success) {
            ErrorLogger(sourceName, stackNotCopiedSite).put("画像のコピーに失敗しました。");
            return Surface();
        }
    }
    return stack;
}

CellList PixReplacer::convertChipBlock(const Rgba& colour, const Surface& block, const Surface& sub,
                                       ChipKind kind) const
{
    if (block.width() % blockWidth != 0 || block.height() != blockHeight)
        return CellList();

    CellList chips;
    switch (kind) {
    case ChipKind::Autotile:
        chips.push_back(block);
        return chips;

    case ChipKind::Animation: {
        const Size frame{animationTileSize, animationTileSize};
        for (int x = 0; x < blockWidth; x += animationTileSize) {
            Surface& strip = chips.emplace_back();
            if (strip.create(animationTileSize * animationFrames, animationTileSize, true) != Success) {
                ErrorLogger(sourceName, animationNotCreatedSite).put("アニメーションチップ画像の生成に失敗しました。");
                return CellList();
            }
            for (int y = 0; y < blockHeight; y += animationTileSize) {
                if (strip.copy(&block, y, 0, &frame, x, y) != Success) {
                    ErrorLogger(sourceName, animationNotCopiedSite).put("アニメーションチップのコピーに失敗しました。");
                    return CellList();
                }
            }
        }
        return chips;
    }

    case ChipKind::Sea: {
        if (!sub.isValid()) {
            ErrorLogger(sourceName, noSeaSubSite).put("海チップ用サブ画像がありません。");
            return CellList();
        }
        Surface& sea = chips.emplace_back();
        if (sea.create(seaPictureWidth, blockHeight, true) != Success) {
            ErrorLogger(sourceName, seaNotCreatedSite).put("海チップ画像の生成に失敗しました。");
            return CellList();
        }
        const Rgba empty{colour.r, colour.g, colour.b, 0};
        const Size pieceSize{seaPieceSize, seaPieceSize};
        for (int k = 0; k < 3; ++k) {
            for (int r = 0; r < 8; ++r) {
                for (int c = 0; c < 6; ++c) {
                    const SeaPiece& piece = SeaPieceTable[r][c];
                    const int dx = seaChipWidth * k + seaPieceSize * c;
                    const int dy = seaPieceSize * r;
                    if (piece.isBlockPiece()) {
                        if (sea.copy(&block, dx, dy, &pieceSize, seaColumnWidth * k + seaPieceSize * piece.a,
                                     seaPieceSize * piece.b)
                            != Success) {
                            ErrorLogger(sourceName, seaPieceNotCopiedSite).put("海チップのコピーに失敗しました。");
                            return CellList();
                        }
                    } else if (piece.isTransparent()) {
                        const Rect area{dx, dy, seaPieceSize, seaPieceSize};
                        if (sea.fill(&area, &empty) != Success) {
                            ErrorLogger(sourceName, seaNotFilledSite).put("海チップの塗りつぶしに失敗しました。");
                            return CellList();
                        }
                    } else if (piece.isSubPiece()) {
                        if (sea.copy(&sub, dx, dy, &pieceSize, seaSubPieceX, seaSubPieceY) != Success) {
                            ErrorLogger(sourceName, seaSubNotCopiedSite).put("海チップのコピーに失敗しました。");
                            return CellList();
                        }
                    }
                }
            }
        }
        return chips;
    }
    }
    return CellList();
}

} // namespace engine
