// Whether a set-up position is one the engine can search without breaking its records.
#pragma once
#include <cstdint>
#include "board/fen.h"

// 1 when the board is a position the engine can play: one king each, no pawn on the
// first or last rank, the side not to move not in check, piece counts that fit the lists.
int IsPlayablePosition(const int8_t board[65], const RootState* state);
