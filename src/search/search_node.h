// The state of one node of the main search, shared by its steps (search.cpp for the node
// itself, search_pruning.cpp for the null move, multi-cut and the verification searches).
#pragma once
#include <atomic>
#include "search/search.h"
#include "eval/prepare_root.h"
#include "search/search_flags.h"
#include "search/trans_table.h"

struct NodeFrame {
  int alpha, beta;
  int alphaIn;          // alpha as the node was entered
  int depth;
  int ext;              // from ComputeExtension
  int singularExt;      // 1 once the node is extended for a singular move
  int extensionCount;   // threat extensions on the line
  int lazy;             // lazyEval of the node
  int futilityBase;
  bool inCheck;
  bool fiftyPending;    // in check at the fifty-move limit: 0 with a legal move, else mated
  bool futile;          // moves that cannot reach alpha are not searched
  bool entryDeep;       // the table entry was trusted, deep enough and usable for a cut-off
  bool singularTest;    // the singular test may still run
  TransEntry entry;
  int bestScore;
  Move bestMove;
  Move multiCutSecond;  // the last move of a multi-cut, stored as the entry's second move
};

inline bool SearchStopped() { return StopFlag.load(std::memory_order_relaxed) != 0; }

// Search of the child after `move` from the node, with the window (alpha, beta) and depth
// from the node's view; returns the score from the node's view. The move must be made.
inline int SearchChild(Position* pos, PlyState* child, int alpha, int beta, int depth, int extensionCount) {
  return -Search(pos, child, -beta, -alpha, depth, NullMoveSwitch, extensionCount);
}

// 1 when the null move refutes the node (score in *score).
int NullMoveCutoff(Position* pos, PlyState* node, NodeFrame* f, int* score);
// 1 when two of the first ten moves fail high at reduced depth: bestScore, bestMove and
// multiCutSecond are set. Otherwise the first move that failed high becomes hash move 1.
int MultiCut(Position* pos, PlyState* node, NodeFrame* f);
// Without a hash move, a reduced search for a move that beats beta (then hash move 1).
void FindHashMove(Position* pos, PlyState* node, NodeFrame* f);
// When the table promised a lower bound the first move did not reach: shallow searches for
// a move that beats alpha, which becomes hash move 1.
void HashDisagreementSearch(Position* pos, PlyState* node, NodeFrame* f);
// 1 when no other move comes within 100 of the best move's score at reduced depth.
int IsBestMoveSingular(Position* pos, PlyState* node, NodeFrame* f);
