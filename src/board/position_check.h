// The invariant checker of the search position and its current ply state.
#pragma once
#include "board/position.h"

// 1 when board, piece lists, entries, slots, counts, undo stack and both attack tables agree
// (attacker order within a cell aside), the keys and pawn keys equal a recomputation, and
// material, signatures, phase counts, men count and the in-check bit equal a recount.
// For tests and debugging: it rebuilds everything and is far too slow for a search.
int PositionIsOk(const Position* pos, const PlyState* ps);
