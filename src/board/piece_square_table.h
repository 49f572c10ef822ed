// The piece-square table whose sum make and unmake keep in every ply state; the evaluation
// rebuilds it before every search.
#pragma once
#include <cstdint>

// [piece code][square], each value from its owner's view.
extern int32_t PieceSquareTable[16][65];
