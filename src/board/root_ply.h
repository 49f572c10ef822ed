// The root ply state of a search or a perft walk over the position as it stands.
#pragma once
#include <cstdint>
#include "board/position.h"

// Fills side and ply of every stack entry and the root entry from the board: flags (the
// en-passant square and castling rights of `flags`, the in-check bit computed), keys, pawn
// keys, material, signatures, phase counts, men count, check counters, list windows at the
// start of the two move stacks, move fields cleared, the plain piece-square sum from the side
// to move's view. When pos->keyPtr is null (LoadRootIntoPosition clears it; a caller may too)
// the key history restarts at keyBuffer[0] with the root key 2. irreversible = keyPtr.
// The lists, slots and attack tables must already be built.
PlyState* SetupRootPly(Position* pos, int side, uint32_t flags);
