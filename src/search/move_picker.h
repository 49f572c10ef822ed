// The staged move pickers of the main search and of the quiescence search.
#pragma once
#include "board/position.h"

// Hash move 1, hash move 2, captures scoring -100 or more, killer-scored quiet moves, the
// other captures, the other quiet moves; 0 when the node has no more moves.
Move NextMove(Position* pos, PlyState* node);
// Hash move 1, captures (all of them in check or under king attack), then quiet checks
// under the conditions of the quiescence search; 0 when done.
Move NextQuiesceMove(Position* pos, PlyState* node, int qdepth);
// Starts the node's picker again: stage, generated lists and counters back to zero.
inline void ResetPicker(PlyState* node) {
  node->moveStage = 0;
  node->listsMade = 0;
  node->moveTotal = 0;
  node->legalCount = 0;
  node->triedHashMove2 = 0;
  node->quietCursor = node->quietBase;
  node->tacticalCursor = node->tacticalBase;
}
// 1 when a stored move (from a table entry) could be played here: IsMovePlausible, and the
// moving piece belongs to the side to move, so that a table entry of another position can
// never move the opponent's piece.
int IsStoredMoveSound(const Position* pos, const PlyState* node, Move move);
