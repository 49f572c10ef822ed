// The invariant checker of the search position and its current ply state.
#pragma once
#include "board/position.h"

// 1 when board, piece lists, entries, slots, counts, undo stack and both attack tables agree
// (attacker order within a cell aside), the keys and pawn keys equal a recomputation, and
// material, signatures, phase counts, men count and the in-check bit equal a recount.
// It rebuilds everything: debug and sanitizer builds assert it after every make and unmake
// and at every search node (KESTRANE_ASSERT), release builds never call it.
int PositionIsOk(const Position* pos, const PlyState* ps);
