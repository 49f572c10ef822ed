// Piece-square tables rebuilt before every search; make and unmake keep their sum.
#pragma once
#include <cstdint>
#include "board/piece_square_table.h"

// Adds v to the table of `side`'s piece of `kind` on the square named from White's view.
void AddSideSquare(int side, int kind, int whiteFrameSquare, int v);
