// Perft: legal leaf nodes counted with the engine's own generator and make legality; the
// last ply is counted from the attack tables without making its moves.
#pragma once
#include <cstdint>
#include "board/position.h"

// Leaf nodes `depth` plies below ps (depth >= 1), every promotion counted.
uint64_t Perft(Position* pos, PlyState* ps, int depth);

// Per legal root move: the move and its subtree count, in generation order.
struct PerftDivision {
  Move move;
  uint64_t nodes;
};
// Writes at most `capacity` divisions and returns how many legal root moves there are.
int PerftDivide(Position* pos, PlyState* ps, int depth, PerftDivision* out, int capacity);
