// How many plies a node's depth grows: checks, recaptures, captures into pawn endings and
// pawn pushes to the seventh rank.
#pragma once
#include "board/position.h"

// 0, 1 or 3.
int ComputeExtension(const Position* pos, const PlyState* node, int depth, int alpha, int lazy);
