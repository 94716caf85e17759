#ifndef ENGINE_REPLACERTABLES_H
#define ENGINE_REPLACERTABLES_H

namespace engine {

// A charset character is 3 columns of 24 pixels by 4 rows of 32. Its rows
// are reordered by CharsetRowMap[source row]. Its columns are widened to
// four: source column f writes destination columns CharsetColumnMap[2f] and
// CharsetColumnMap[2f + 1], so the middle column appears twice (destination
// columns 0 and 2) and the outer ones are written twice to the same place.
inline constexpr int CharsetRowMap[4] = {3, 2, 0, 1};
inline constexpr int CharsetColumnMap[6] = {1, 1, 0, 2, 3, 3};

// One 8 x 8 piece of a sea chip. a >= 0 and b >= 0 name the piece of the sea
// block 8a pixels right of the current 16-pixel column and 8b pixels down.
struct SeaPiece {
    int a;
    int b;

    constexpr bool isBlockPiece() const { return a >= 0 && b >= 0; }
    constexpr bool isTransparent() const { return a == -1 && b == -1; }
    constexpr bool isSubPiece() const { return a == -2 && b == -2; }
};

namespace seapiece {
inline constexpr SeaPiece T{-1, -1}; // transparent, in the key colour
inline constexpr SeaPiece S{-2, -2}; // a piece of the sea sub picture
constexpr SeaPiece A(int a, int b) { return SeaPiece{a, b}; }
} // namespace seapiece

// How a 16 x 64 sea column becomes a 48 x 64 chip: [row][column] of 8 x 8
// pieces.
inline constexpr SeaPiece SeaPieceTable[8][6] = {
    {seapiece::A(0, 0), seapiece::A(1, 0), seapiece::T, seapiece::T, seapiece::A(0, 6), seapiece::A(1, 6)},
    {seapiece::A(0, 1), seapiece::A(1, 1), seapiece::T, seapiece::T, seapiece::A(0, 7), seapiece::A(1, 7)},
    {seapiece::A(0, 0), seapiece::A(1, 4), seapiece::A(0, 4), seapiece::A(1, 4), seapiece::A(0, 4), seapiece::A(1, 0)},
    {seapiece::A(0, 3), seapiece::S, seapiece::S, seapiece::S, seapiece::S, seapiece::A(1, 2)},
    {seapiece::A(0, 2), seapiece::S, seapiece::S, seapiece::S, seapiece::S, seapiece::A(1, 3)},
    {seapiece::A(0, 3), seapiece::S, seapiece::S, seapiece::S, seapiece::S, seapiece::A(1, 2)},
    {seapiece::A(0, 2), seapiece::S, seapiece::S, seapiece::S, seapiece::S, seapiece::A(1, 3)},
    {seapiece::A(0, 1), seapiece::A(0, 5), seapiece::A(1, 5), seapiece::A(0, 5), seapiece::A(1, 5), seapiece::A(1, 1)},
};

} // namespace engine

#endif
