// The state of one node of the main search, shared by the node itself and its side searches
// (null move, multi-cut and the verification searches).
#pragma once
#include <atomic>
#include "search/search.h"
#include "board/piece_values.h"
#include "eval/evaluate.h"
#include "eval/pawn_hash.h"
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

// Starts loading what the child after `move` reads first, its table slots, its
// evaluation-cache entry and, after a pawn move or capture, its pawn-table entry, while the move is still being tested and made. The rights in the
// prefetch are the node's (a move that changes them just misses). Castling and en passant are
// left to the child. A quiescence child reads table A only, so table B is left alone there.
inline void PrefetchChild(const PlyState* node, Move move, bool quiesceChild = false) {
  if (move & (MoveCastle | MoveEnPassant | MoveNull)) return;
  const uint32_t key1 = ChildKey1(node, move);
  if (quiesceChild)
    __builtin_prefetch(TransSlotA(node->side ^ 1, key1));
  else
    PrefetchTransSlots(node->side ^ 1, key1);
  PrefetchEvaluation(node->side ^ 1, key1, node->flags, node->capturedKinds | CapturedKindBit[MoveCaptured(move)]);
  // A move that moves, promotes or takes a pawn leads to another pawn-table entry.
  const int mover = MovePiece(move), captured = MoveCaptured(move);
  if (!IsPawnCode(mover) && !IsPawnCode(captured)) return;
  uint32_t pawnKey1 = node->pawnKey1;
  if (IsPawnCode(mover)) pawnKey1 ^= ZobristKey1[mover][MoveFrom(move)];
  if (IsPawnCode(mover) && !MovePromotion(move)) pawnKey1 ^= ZobristKey1[mover][MoveTo(move)];
  if (IsPawnCode(captured)) pawnKey1 ^= ZobristKey1[captured][MoveTo(move)];
  PrefetchPawnEntry(pawnKey1);
}

inline bool SearchStopped() { return StopFlag.load(std::memory_order_relaxed) != 0; }

// Search of the child after `move` from the node, with the window (alpha, beta) and depth
// from the node's view; returns the score from the node's view. The move must be made.
inline int SearchChild(Position* pos, PlyState* child, int alpha, int beta, int depth, int extensionCount) {
  return -Search(pos, child, -beta, -alpha, depth, NullMoveSwitch, extensionCount);
}
