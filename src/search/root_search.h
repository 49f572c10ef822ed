// Iterative deepening over the root moves.
#pragma once
#include "board/types.h"

struct Position;

// Searches the search position under the current time mode; returns the best move and
// stores the expected reply (0 when none) in *ponderMove.
Move SearchRoot(Position* pos, Move* ponderMove);
