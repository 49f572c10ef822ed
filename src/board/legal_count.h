// Counting the legal moves of a position without making them, from the attack tables.
#pragma once
#include "board/position.h"

// The number of moves of ps's side to move that MakeMove would accept (every promotion
// counted, a promotion into full slots not). Uses the generator's lists above ps's cursors
// as scratch in check; the position is left as it was. (A check the flags do not show, which
// make never leaves, is counted by making the moves.)
int CountLegalMoves(Position* pos, PlyState* ps);
// The same count by generating every move and making it: the slow reference.
int CountMovesByMaking(Position* pos, PlyState* ps);
