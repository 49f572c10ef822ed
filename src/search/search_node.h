// The state of one node of the main search, shared by the node itself and its side searches
// (null move, multi-cut and the verification searches).
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
