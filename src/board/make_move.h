// Incremental make and unmake with attack tables, keys and the next ply state.
#pragma once
#include <cstdint>
#include "board/position.h"

// Makes ps->move into the next ply state (ps + 1) and returns it; null, with the position
// unchanged, when the move leaves the mover's king attacked, castles out of, through or
// into an attacked square or over a piece, or promotes a piece whose slots are full.
// The next ply state's side and ply are not written: SetupRootPly fills them once.
PlyState* MakeMove(Position* pos, PlyState* ps);
// Undoes ps->move; once for every successful MakeMove, in reverse order.
void UnmakeMove(Position* pos, PlyState* ps);
