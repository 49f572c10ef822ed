// The quiescence search: captures, promotions, evasions and some checks below the horizon.
#include "search/quiesce.h"
#include <algorithm>
#include "board/check.h"
#include "board/make_move.h"
#include "board/piece_values.h"
#include "board/position_check.h"
#include "eval/evaluate.h"
#include "search/move_picker.h"
#include "search/node_patterns.h"
#include "search/repetition.h"
#include "search/search_node.h"
#include "search/trans_table.h"

constexpr int BoundClamp = 29700;
constexpr int StandPatMargin = 1155;  // a queen and a pawn

// Table A only, at any depth. Sets hash move 1 for a capture or promotion (any move in
// check); a trusted entry may narrow the window or end the node (1, with *cutoff).
static bool ProbeQuiesceEntry(Position* pos, PlyState* node, const TransEntry* slot, int* alpha, int* beta,
                              int* cutoff) {
  TransEntry entry;
  if (!ReadTransEntry(slot, node->key2, &entry)) return false;
  if (entry.move && !IsStoredMoveSound(pos, node, entry.move)) return false;  // another position's
  if ((node->flags & InCheckFlag) || (entry.move & MoveTacticalMask)) node->hashMove1 = entry.move;
  if (!EntryTrusted(entry)) return false;
  const int score = EntryScore(entry);
  if (EntryIsLower(entry)) {
    *alpha = std::max(*alpha, score);
    if (score < *beta) return false;
    *cutoff = score;
  } else if (EntryIsUpper(entry)) {
    *beta = std::min(*beta, score);
    if (score > *alpha) return false;
    *cutoff = score;
  } else {
    *cutoff = ScoreFromTrans(score, node->ply);
  }
  node->bestMove = entry.move;
  return true;
}

int Quiesce(Position* pos, PlyState* node, int alpha, int beta, int qdepth) {
  KESTRANE_ASSERT(PositionIsOk(pos, node));
  const TransEntry* slot = TransSlotA(node->side, node->key1);
  __builtin_prefetch(slot);
  pos->nodeCount++;
  ResetPicker(node);
  node->bestMove = 0;
  node->hashMove1 = 0;
  node->hashMove2 = 0;
  const int ply = node->ply, side = node->side;
  const bool inCheck = (node->flags & InCheckFlag) != 0;
  const int alphaIn = alpha;

  if (qdepth < 0 && IsRepetition(pos, node->irreversible, node->key2, 1)) return RepetitionScore(node);

  int cutoff;
  if (ProbeQuiesceEntry(pos, node, slot, &alpha, &beta, &cutoff)) return node->score = cutoff;

  int eval = 0;
  int best;
  if (inCheck) {
    best = ply - MateScore;
  } else {
    eval = Evaluate(pos, node, alpha, beta, qdepth);
    if (eval + StandPatMargin < alpha) return node->score = alpha;
    best = eval;
  }
  if (ply >= MaxPly - 1) return node->score = alpha;
  if (best >= beta) return node->score = best;
  if (best > alpha) alpha = best;

  const bool pruning = !inCheck && node->material[side] > 0;
  Move move;
  while ((move = NextQuiesceMove(pos, node, qdepth))) {
    if (pruning) {
      if (move & MoveTacticalMask) {
        const int captured = PieceValue[MoveCaptured(move)];
        const int gain = MovePromotion(move) ? captured + PieceValue[MovePromotion(move)] + eval : captured + eval + 100;
        if (gain < alpha && !GivesDirectCheck(pos, node, move)) {
          if (gain > best) {
            best = gain;
            node->bestMove = move;
          }
          continue;
        }
      } else if (!QuietCheckWorthSearching(pos, node, move)) {
        continue;
      }
    }
    PrefetchChild(node, move, true);
    node->move = move;
    PlyState* child = MakeMove(pos, node);
    if (!child) continue;
    const int score = -Quiesce(pos, child, -beta, -alpha, qdepth - 1);
    UnmakeMove(pos, node);
    if (score > best) {
      best = score;
      node->bestMove = move;
      if (score >= beta) break;
      if (score > alpha) alpha = score;
    }
  }

  if (node->bestMove) {
    if (best <= alphaIn)
      StoreQuiesceEntry(side, node->key1, node->key2, node->bestMove, std::max(best, -BoundClamp), qdepth, FlagUpper);
    else if (best >= beta)
      StoreQuiesceEntry(side, node->key1, node->key2, node->bestMove, std::min(best, BoundClamp), qdepth, FlagLower);
    else
      StoreQuiesceEntry(side, node->key1, node->key2, node->bestMove, ScoreToTrans(best, ply), qdepth, 0);
  }
  return node->score = best;
}
