#include "search/move_picker.h"
#include <cstdint>
#include "board/move_checks.h"
#include "board/move_order.h"
#include "board/movegen.h"
#include "board/option_values.h"

constexpr int32_t AnyScore = INT32_MIN;
constexpr int32_t GoodCaptureThreshold = -101;   // captures scoring -100 or more
constexpr int32_t KillerThreshold = 0x7FFFFE0A;  // only the current ply's killers
constexpr int32_t QuiesceCaptureThreshold = -100;

int IsStoredMoveSound(const Position* pos, const PlyState* node, Move move) {
  return move != 0 && PieceSide(MovePiece(move)) == node->side && IsMovePlausible(move, pos->board, node->flags);
}

Move NextMove(Position* pos, PlyState* node) {
  Move move;
  switch (node->moveStage) {
    case 0:
      node->moveStage = 1;
      if (node->hashMove1) {
        if (IsStoredMoveSound(pos, node, node->hashMove1)) return node->hashMove1;
        node->hashMove1 = 0;  // not this position's move: keep the generated lists whole
      }
      [[fallthrough]];
    case 1: {
      node->moveStage = 2;
      const Move second = node->hashMove2 & MoveWordMask;
      if (second && second != node->hashMove1 && IsStoredMoveSound(pos, node, second)) {
        node->triedHashMove2 = second;
        return second;
      }
      [[fallthrough]];
    }
    case 2:
      if (!(node->listsMade & 1)) GenerateMoves(pos, node, GenTactical, 1);
      move = PickBest(GoodCaptureThreshold, node->tacticalBase);
      if (move) return move;
      if (!(node->listsMade & 2)) GenerateMoves(pos, node, GenQuiet, 1);
      node->moveStage = 3;
      [[fallthrough]];
    case 3:
      move = PickBest(KillerThreshold, node->quietBase);
      if (move) return move;
      node->moveStage = 4;
      [[fallthrough]];
    case 4:
      move = PickBest(AnyScore, node->tacticalBase);
      if (move) return move;
      node->moveStage = 5;
      [[fallthrough]];
    default:
      return PickBest(AnyScore, node->quietBase);
  }
}

// Quiet checks are looked at when the king attack fired at the first quiescence ply, or
// along a checking run: the side to move was checked before and the opponent stood in check
// one, three and five plies up.
static bool WantQuietChecks(const PlyState* node, int qdepth) {
  if (qdepth >= 0 && node->attackFlag) return true;
  if (node->ply < 6) return false;
  return node[-6].checkCount[node->side] >= 1 && (node[-1].flags & InCheckFlag) &&
         (node[-3].flags & InCheckFlag) && (node[-5].flags & InCheckFlag);
}

Move NextQuiesceMove(Position* pos, PlyState* node, int qdepth) {
  const bool inCheck = (node->flags & InCheckFlag) != 0;
  if (node->moveStage == 0) {
    node->moveStage = 1;
    if (node->hashMove1) {
      if (IsStoredMoveSound(pos, node, node->hashMove1)) return node->hashMove1;
      node->hashMove1 = 0;
    }
  }
  if (node->moveStage == 1) {
    if (!(node->listsMade & 1)) GenerateMoves(pos, node, GenTactical, 0);
    const int32_t threshold = inCheck || node->attackFlag ? AnyScore : QuiesceCaptureThreshold;
    const Move move = PickBest(threshold, node->tacticalBase);
    if (move) return move;
    if (!inCheck) {
      if (!CombinationQuiesceChecks || qdepth < -5) return 0;
      if ((node->listsMade & 2) || !WantQuietChecks(node, qdepth)) return 0;
      GenerateMoves(pos, node, GenQuietChecks, 0);
    }
    node->moveStage = 2;
  }
  return PickBest(AnyScore, node->quietBase);
}
