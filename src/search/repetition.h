// Repetition test over the key history continued by the search.
#pragma once
#include <cstdint>
#include "board/position.h"

// 1 when key occurs `count` times among the positions with the same side to move as the
// current one (pos->keyPtr), walking back from four entries before it in steps of two and
// never past `irreversible` (the entry of the last irreversible move).
int IsRepetition(const Position* pos, const uint32_t* irreversible, uint32_t key, int count);

// Plies since the last irreversible move (the fifty-move distance).
inline int ReversiblePlies(const Position* pos, const PlyState* ps) {
  return int(pos->keyPtr - ps->irreversible);
}

// The score of a repeated position: 0, or a small edge that grows with the ply for the side
// giving the checks (-(ply >> RepetitionShift) when the side to move is in check here,
// +(ply >> RepetitionShift) when only the position one ply earlier was in check).
int RepetitionScore(const PlyState* node);
