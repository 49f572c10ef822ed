// Piece-square tables rebuilt before every search; make and unmake keep their sum.
#pragma once
#include <cstdint>

// [piece code][square], each value from its owner's view.
extern int32_t PieceSquareTable[16][65];

// Adds v to the table of `side`'s piece of `kind` on the square named from White's view.
void AddSideSquare(int side, int kind, int whiteFrameSquare, int v);
