// The side searches of a main-search node: null move, multi-cut, the search for a hash
// move, the hash-disagreement search and the singular test.
#include "search/search_pruning.h"
#include <algorithm>
#include "board/make_move.h"
#include "eval/running_bounds.h"
#include "search/move_picker.h"
#include "search/node_patterns.h"

constexpr int MultiCutMoves = 10;

static bool EndgameClass() { return (PhaseCode & 0x64) != 0; }

// A threat extension: once per line twice at most, near the root, on the main line only.
static void ExtendForThreat(const PlyState* node, NodeFrame* f) {
  if (f->lazy >= f->alpha - 75 && NullDepth + VerifyDepth + f->ext == 0 && f->extensionCount <= 1 &&
      node->ply < RootDepth) {
    f->extensionCount++;
    f->depth++;
  }
}

static bool NullMoveAllowed(const Position* pos, const PlyState* node, const NodeFrame* f) {
  const int side = node->side;
  if (node->flags & (InCheckFlag | ThreatFlag | HashUpperFlag)) return false;
  if (f->depth <= 1 || f->lazy + PositionalMax[side] <= f->alpha) return false;
  if (node->ply < NullMaterialPlyLimit && node->phaseCount[side] == 0) return false;
  // Zugzwang guards: a king with room in the endgame, free pawn moves in pawn endings.
  if (EndgameClass() && !KingHasFreeSquare(pos, node)) return false;
  const bool pawnEnding = node->phaseCount[White] == 0 && node->phaseCount[Black] == 0;
  if ((pawnEnding || node->ply < NullMaterialPlyLimit) && !HasTwoFreePawnPushes(pos, node)) return false;
  return true;
}

int NullMoveCutoff(Position* pos, PlyState* node, NodeFrame* f, int* score) {
  if (!NullMoveAllowed(pos, node, f)) return 0;
  const int side = node->side, ply = node->ply;
  node->move = MoveNull;
  PlyState* child = MakeMove(pos, node);
  if (!child) return 0;
  NullDepth++;
  int reduced = f->depth - 3;
  if (f->ext == 0 && (f->depth - 3 >= NullReductionThreshold || f->lazy + PositionalMin[side] > f->beta + 325))
    reduced = f->depth - 4;
  const bool ordinaryBeta = f->beta > -MateThreshold && f->beta < MateThreshold;
  const int nullBeta = ordinaryBeta ? f->beta - std::min(ply - 1, 5) : f->beta;
  const int s = -Search(pos, child, -nullBeta, -nullBeta + 1, std::max(reduced, 0), 0, f->extensionCount);
  UnmakeMove(pos, node);
  NullDepth--;
  if (SearchStopped()) return 0;
  if (s < nullBeta && s <= -MateThreshold) {
    node->flags |= ThreatFlag;
    ExtendForThreat(node, f);
    return 0;
  }
  if (s < nullBeta || f->beta != f->alpha + 1) return 0;
  f->singularTest = false;
  // With no depth left the null move cannot see a queen mate next to the king.
  if (reduced <= 0 && !EndgameClass() && QueenMatePattern(pos, node)) return 0;
  *score = std::max(s, f->beta);
  return 1;
}

int MultiCut(Position* pos, PlyState* node, NodeFrame* f) {
  const int ply = node->ply;
  if (!MultiCutSwitch || f->depth <= 2 || !(node->flags & HashLowerFlag)) return 0;
  if (node->flags & (InCheckFlag | ThreatFlag | SingularFlag)) return 0;
  if (ply >= 2 && ((node[-1].flags | node[-2].flags) & InCheckFlag)) return 0;
  if (f->beta != f->alpha + 1 || f->ext != 0 || QueenMatePattern(pos, node)) return 0;
  int reduced = std::max(f->depth - 3, 0);
  if (reduced >= NullReductionThreshold || f->lazy + PositionalMin[node->side] > f->beta + 325)
    reduced = std::max(reduced - 1, 0);

  int successes = 0, legal = 0;
  Move first = 0, last = 0, move;
  MultiCutDepth++;
  while (legal < MultiCutMoves && (move = NextMove(pos, node))) {
    node->move = move;
    PlyState* child = MakeMove(pos, node);
    if (!child) continue;
    legal++;
    const int s = SearchChild(pos, child, f->beta, f->beta + 1, reduced, f->extensionCount);
    UnmakeMove(pos, node);
    last = move;
    if (SearchStopped() || s <= -MateThreshold) break;
    if (s > f->beta) {
      if (!first) {
        first = move;
        successes += s >= MateThreshold ? 2 : 1;
      } else {
        successes++;
      }
      if (successes >= 2) break;
    }
  }
  MultiCutDepth--;
  if (SearchStopped()) return 0;
  if (successes >= 2) {
    f->bestScore = f->beta;
    f->bestMove = first;
    f->multiCutSecond = last;
    f->singularTest = false;
    return 1;
  }
  if (first) node->hashMove1 = first;
  ResetPicker(node);
  return 0;
}

void FindHashMove(Position* pos, PlyState* node, NodeFrame* f) {
  const int depth = std::min(f->depth - 3, f->depth / 2);
  Move move;
  VerifyDepth++;
  while ((move = NextMove(pos, node))) {
    node->move = move;
    PlyState* child = MakeMove(pos, node);
    if (!child) continue;
    const int s = SearchChild(pos, child, f->beta, f->beta + 1, depth, f->extensionCount);
    UnmakeMove(pos, node);
    if (SearchStopped()) break;
    if (s > f->beta) {
      node->hashMove1 = move;
      break;
    }
  }
  VerifyDepth--;
  ResetPicker(node);
}

void HashDisagreementSearch(Position* pos, PlyState* node, NodeFrame* f) {
  VerifyDepth++;
  // The first pass goes on after the first move; later passes run the whole list again.
  for (int depth = f->depth % 2 == 0 ? 1 : 2; depth <= f->depth - 3 && !SearchStopped(); depth += 2) {
    Move move;
    while ((move = NextMove(pos, node))) {
      node->move = move;
      PlyState* child = MakeMove(pos, node);
      if (!child) continue;
      const int s = SearchChild(pos, child, f->alpha, f->alpha + 1, depth, f->extensionCount);
      UnmakeMove(pos, node);
      if (SearchStopped()) break;
      if (s > f->alpha) {
        node->hashMove1 = move;
        break;
      }
    }
    ResetPicker(node);
  }
  VerifyDepth--;
  ResetPicker(node);
}

int IsBestMoveSingular(Position* pos, PlyState* node, NodeFrame* f) {
  const int target = f->bestScore - 100;
  const int depth = f->depth - 3 >= NullReductionThreshold ? f->depth - 4 : f->depth - 3;
  int singular = 1;
  Move move;
  SingularDepth++;
  ResetPicker(node);
  while ((move = NextMove(pos, node))) {
    if (move == f->bestMove) continue;
    node->move = move;
    PlyState* child = MakeMove(pos, node);
    if (!child) continue;
    const int s = SearchChild(pos, child, target, target + 1, depth, f->extensionCount);
    UnmakeMove(pos, node);
    if (SearchStopped() || s > target) {
      singular = 0;
      break;
    }
  }
  SingularDepth--;
  return singular;
}
