// The main alpha-beta search: a fail-soft principal-variation search over the staged picker.
#include "search/search.h"
#include <algorithm>
#include "board/check.h"
#include "board/keys.h"
#include "board/make_move.h"
#include "board/piece_values.h"
#include "board/position_check.h"
#include "board/option_values.h"
#include "eval/evaluate.h"
#include "eval/pawn_hash.h"
#include "eval/pawn_structure.h"
#include "eval/running_bounds.h"
#include "search/extensions.h"
#include "search/move_picker.h"
#include "search/node_patterns.h"
#include "search/quiesce.h"
#include "search/repetition.h"
#include "search/search_node.h"
#include "search/search_pruning.h"
#include "search/time_control.h"
#include "platform/platform.h"
#include "tablebase/probe.h"

int32_t RootDepth, MaxSearchPly, SingularPlyLimit, NullMaterialPlyLimit, NullReductionThreshold;
int32_t RootBalance, RepetitionShift = 1;
int32_t TablebasePieceLimit, TablebaseDepthCut, TablebaseHits;
int32_t NullDepth, SingularDepth, VerifyDepth, MultiCutDepth;

constexpr int BoundClamp = 29700;

void AddHistory(Position* pos, int side, Move move, int32_t amount) {
  const uint32_t index = move & 0x3FFF;
  if (index >= uint32_t(HistorySize)) return;
  int32_t& counter = pos->history[side][index];
  const int64_t sum = int64_t(counter) + amount;
  counter = int32_t(sum > HistoryCap ? HistoryCap : sum < -HistoryCap ? -HistoryCap : sum);
}

static bool IsQuiet(Move move) { return (move & MoveTacticalMask) == 0; }
static bool IsOrdinary(int score) { return score > -MateThreshold && score < MateThreshold; }

// The move that led to the node (none at the root).
static Move LastMove(const PlyState* node) { return node->ply ? node[-1].move : 0; }

static int Leave(PlyState* node, int score) {
  node->bestMove = 0;
  node->score = score;
  return score;
}

int TablebaseScoreOfResult(int32_t result) {
  if (result == 0) return 0;
  if (result == CheckmatedResult) return -MateScore + 1;
  if (result > 0 && result <= MaxTablebaseMoves) return MateScore - 2 * result;
  if (result < 0 && result >= -MaxTablebaseMoves) return -MateScore + 1 - 2 * result;
  return NoTablebaseScore;
}

int TimedTablebaseProbe(const Position* pos, const PlyState* node) {
  const uint32_t start = TickCount();
  int32_t result;
  const int found = ProbeTablebaseResult(pos, node, &result);
  TablebaseTime += int32_t(TickCount() - start);
  return found ? TablebaseScoreOfResult(result) : NoTablebaseScore;
}

int TablebaseDrawScore(const PlyState* node) {
  const int own = node->material[node->side], theirs = node->material[node->side ^ 1];
  return own > theirs ? 1 : own < theirs ? -1 : 0;
}

// The opponent's last move left its piece where the side to move attacks it undefended
// (a capture that won at least about as much as the piece is worth does not count).
static bool OpponentLeftHanging(const Position* pos, const PlyState* node) {
  const Move last = LastMove(node);
  if (!last || (last & MoveNull)) return false;
  const int side = node->side, to = MoveTo(last);
  if (!pos->attacks[side].cell[to].count || pos->attacks[side ^ 1].cell[to].count) return false;
  if ((last & MoveCaptureMask) && PieceValue[MovePiece(last)] <= PieceValue[MoveCaptured(last)] + 216) return false;
  return pos->attacks[side ^ 1].cell[pos->pieceList[side][0]].count < 2;
}

// 1 when the quiet non-pawn move leads to a position seen before on this line: its key is
// pushed on the history for the test.
static bool HashMoveRepeats(Position* pos, const PlyState* node, Move move) {
  if (!IsQuietNonPawnMove(move)) return false;
  const int piece = MovePiece(move);
  const uint32_t key = node->key2 ^ ZobristKey2[piece][MoveFrom(move)] ^ ZobristKey2[piece][MoveTo(move)];
  pos->keyPtr[1] = key;
  pos->keyPtr++;
  const bool repeats = IsRepetition(pos, node->irreversible, key, 1) != 0;
  pos->keyPtr--;
  return repeats;
}

static bool ProbeEntry(const PlyState* node, TransEntry* entry) {
  return ReadTransEntry(TransSlotA(node->side, node->key1), node->key2, entry) ||
         ReadTransEntry(TransSlotB(node->side, node->key1), node->key2, entry);
}

// The table probe: the entry gives the hash moves, flags and extensions, and may end the node
// (true, with f->bestScore and f->bestMove).
static bool UseTableEntry(Position* pos, PlyState* node, NodeFrame* f, int reversible) {
  TransEntry& e = f->entry;
  if (!ProbeEntry(node, &e)) return false;
  if (e.move && !IsStoredMoveSound(pos, node, e.move)) return false;  // another position's entry
  if (node->ply <= 2 && (IsRepetition(pos, node->irreversible, node->key2, 1) || HashMoveRepeats(pos, node, e.move)))
    return false;
  if (reversible + EntryDepth(e) >= 100) return false;
  node->hashMove1 = e.move;
  node->hashMove2 = e.move2 & TransMove2Mask;
  if (e.data & TransThreatBit) {
    node->flags |= ThreatFlag;
    if (f->lazy >= f->alpha - 75 && NullDepth + VerifyDepth + f->ext == 0 && f->extensionCount <= 1 &&
        node->ply < RootDepth) {
      f->extensionCount++;
      f->depth++;
    }
  }
  if (!EntryTrusted(e)) return false;
  const int entryDepth = EntryDepth(e), score = EntryScore(e);
  if (entryDepth > 0 && EntryIsUpper(e)) node->flags |= HashUpperFlag;
  if (entryDepth > 0 && EntryIsLower(e)) node->flags |= HashLowerFlag;
  if (e.move2 & TransSingularBit) {
    node->flags |= SingularFlag;
    f->singularTest = false;
    if (SingularSwitch && node->ply < SingularPlyLimit && NullDepth + VerifyDepth + f->ext == 0) {
      f->depth++;
      f->singularExt = 1;
    }
  }
  if (f->depth > entryDepth) return false;
  // A result that depends on a repetition the hash move walks into is not taken for a cut-off.
  if (score != 0 && HashMoveRepeats(pos, node, e.move) &&
      ((EntryIsUpper(e) && score < 0) || (EntryIsLower(e) && score > 0) || EntryIsExact(e)))
    return false;
  f->entryDeep = true;
  if (EntryIsLower(e)) {
    f->alpha = std::max(f->alpha, score);
    if (score < f->beta) return false;
    f->bestScore = score;
  } else if (EntryIsUpper(e)) {
    f->beta = std::min(f->beta, score);
    if (score > f->alpha) return false;
    f->bestScore = score;
  } else {
    f->bestScore = ScoreFromTrans(score, node->ply);
  }
  f->bestMove = e.move;
  return true;
}

static bool Prunable(const Position* pos, const PlyState* node, const NodeFrame* f, Move move) {
  return f->futile && PieceValue[MoveCaptured(move)] + PieceValue[MovePromotion(move)] + f->futilityBase <= f->alpha &&
         !GivesDirectCheck(pos, node, move);
}

enum FirstMoveResult { FirstMoveSearched, FirstMoveCutoff, NodeFinished };

// The first legal move, searched with the full window.
static FirstMoveResult SearchFirstMove(Position* pos, PlyState* node, NodeFrame* f) {
  Move move;
  PlyState* child = nullptr;
  while ((move = NextMove(pos, node))) {
    PrefetchChild(node, move);
    node->move = move;
    if ((child = MakeMove(pos, node))) break;
  }
  if (!move) {
    f->bestScore = f->inCheck ? node->ply - MateScore : 0;
    f->bestMove = 0;
    return NodeFinished;
  }
  if (f->fiftyPending) {
    UnmakeMove(pos, node);
    f->bestScore = 0;
    f->bestMove = 0;
    return NodeFinished;
  }
  node->legalCount++;
  if (Prunable(pos, node, f, move))
    f->bestScore = f->futilityBase;
  else
    f->bestScore = SearchChild(pos, child, f->alpha, f->beta, f->depth - 1, f->extensionCount);
  UnmakeMove(pos, node);
  if (f->entryDeep && EntryIsLower(f->entry) && EntryScore(f->entry) > f->bestScore) f->bestScore = EntryScore(f->entry);
  f->bestMove = move;
  if (f->bestScore > f->alpha) f->alpha = f->bestScore;
  return f->bestScore >= f->beta ? FirstMoveCutoff : FirstMoveSearched;
}

// The other moves with a null window, late-move reductions and re-searches.
static void SearchRemainingMoves(Position* pos, PlyState* node, NodeFrame* f) {
  const bool reduceLate = StyleLateMoveReductions && f->depth - f->singularExt > 2 && !f->inCheck;
  const int depth = f->depth - f->singularExt - 1;
  Move move;
  while ((move = NextMove(pos, node))) {
    if (Prunable(pos, node, f, move)) continue;
    PrefetchChild(node, move);
    node->move = move;
    PlyState* child = MakeMove(pos, node);
    if (!child) continue;
    node->legalCount++;
    if (reduceLate && node->listsMade == 3 && node->legalCount >= 5 && 4 * node->legalCount > node->moveTotal &&
        !GivesDirectCheck(pos, node, move)) {
      const int s = SearchChild(pos, child, f->alpha, f->alpha + 1, std::max(depth - 2, 0), f->extensionCount);
      if (SearchStopped() || s <= f->bestScore) {
        UnmakeMove(pos, node);
        if (SearchStopped()) return;
        continue;
      }
    }
    int score = SearchChild(pos, child, f->alpha, f->alpha + 1, depth, f->extensionCount);
    bool better = true;
    if (score <= f->bestScore) {
      better = false;
      if (score <= f->alpha && SingularDepth == 0 && IsQuiet(move)) AddHistory(pos, node->side, move, -1);
    } else if (score > f->alpha && score < f->beta) {
      const int s = score;
      const int second = SearchChild(pos, child, s - 1, f->beta, depth, f->extensionCount);
      if (second >= s) {
        score = second;
      } else if (second > f->alpha) {
        score = SearchChild(pos, child, f->alpha, f->beta, depth, f->extensionCount);
        better = score > f->bestScore;
      } else {
        better = false;
      }
    }
    UnmakeMove(pos, node);
    if (SearchStopped()) return;
    if (!better) continue;
    f->bestScore = score;
    f->bestMove = move;
    if (score > f->alpha) f->alpha = score;
    if (score >= f->beta) return;
  }
}

// The node's result into the transposition table, with its bound, threat and singular marks.
static void StoreResult(const PlyState* node, const NodeFrame* f) {
  const TransEntry& e = f->entry;
  const int score = f->bestScore;
  uint32_t flagByte = 0;
  int stored = ScoreToTrans(score, node->ply);
  const bool confirmedBound = f->entryDeep && EntryScore(e) == score &&
                              ((score <= f->alphaIn && EntryIsLower(e)) || (score >= f->beta && EntryIsUpper(e)));
  if (!confirmedBound) {
    if (score <= f->alphaIn) {
      flagByte = FlagUpper;
      stored = std::max(score, -BoundClamp);
    } else if (score >= f->beta) {
      flagByte = FlagLower;
      stored = std::min(score, BoundClamp);
    }
  }
  if (node->flags & ThreatFlag) flagByte |= FlagThreat;
  const uint32_t move2 = f->multiCutSecond | (node->flags & SingularFlag ? TransSingularBit : 0);
  StoreTransEntry(node->side, node->key1, node->key2, f->bestMove, move2, stored, f->depth, flagByte);
}

// A quiet best move that raised alpha feeds the killers and the history.
static void UpdateKillersAndHistory(Position* pos, const PlyState* node, const NodeFrame* f) {
  const Move move = f->bestMove;
  if (f->bestScore <= f->alphaIn || !move || !IsQuiet(move)) return;
  if (f->bestScore >= f->beta) {
    Move* k = pos->killers[node->ply];  // killer 1, killer 2, hit count 1, hit count 2
    if (k[0] == move) {
      k[2]++;
    } else if (k[1] == move) {
      k[3]++;
    } else if (k[2] < k[3]) {
      k[0] = move;
      k[2] = 1;
    } else {
      k[1] = move;
      k[3] = 1;
    }
  }
  const int d = f->depth + 1;
  AddHistory(pos, node->side, move, d * d * d);
}

static bool SingularTestApplies(const PlyState* node, const NodeFrame* f) {
  const int plyLimit = f->bestMove & MoveTacticalMask ? SingularPlyLimit / 2 : SingularPlyLimit;
  return f->singularTest && SingularSwitch && f->bestMove && f->depth > 3 && SingularDepth + VerifyDepth == 0 &&
         !node->hangingFlag && IsOrdinary(f->bestScore) && NullDepth + f->ext == 0 && node->ply < plyLimit;
}

int Search(Position* pos, PlyState* node, int alpha, int beta, int depth, int allowNull, int extensionCount) {
  KESTRANE_ASSERT(PositionIsOk(pos, node));
  if (pos->nodeCount >= NextPollPoint) Poll(pos);
  if (SearchStopped()) return 0;
  PrefetchTransSlots(node->side, node->key1);
  ResetPicker(node);
  node->flags &= ~SearchFlagBits;
  const int ply = node->ply, side = node->side;

  NodeFrame f{};
  f.alpha = alpha;
  f.beta = beta;
  f.extensionCount = extensionCount;
  f.inCheck = (node->flags & InCheckFlag) != 0;
  f.singularTest = true;

  if (IsRepetition(pos, node->irreversible, node->key2, ply <= 2 ? 2 : 1)) return Leave(node, RepetitionScore(node));
  const int reversible = ReversiblePlies(pos, node);
  if (reversible >= 100) {
    if (!f.inCheck) return Leave(node, 0);
    f.fiftyPending = true;
  }
  if (node->menCount <= TablebasePieceLimit &&
      (((LastMove(node) & MoveTacticalMask) && ply <= RootDepth - TablebaseDepthCut) || (ply == 2 && !f.fiftyPending))) {
    const int result = TimedTablebaseProbe(pos, node);
    if (result != NoTablebaseScore) {
      TablebaseHits++;
      NextPollPoint = NextPollPoint > 250 ? NextPollPoint - 250 : 0;
      return Leave(node, result > 0 ? result - ply : result < 0 ? result + ply : TablebaseDrawScore(node));
    }
  }
  if (pos->pieceCount[WPawn] + pos->pieceCount[BPawn] == 0 && node->phaseCount[White] + node->phaseCount[Black] <= 1)
    return Leave(node, 0);
  if (ply >= MaxPly - 1) return Leave(node, alpha);

  f.lazy = lazyEval(node);
  node->hangingFlag = OpponentLeftHanging(pos, node);
  f.ext = ComputeExtension(pos, node, depth, alpha, f.lazy);
  f.depth = depth + f.ext;

  if (!f.inCheck && f.ext == 0) {
    if (node->hangingFlag && ply > HangingReductionPlyLimit) f.depth--;
    const int optimistic = f.lazy + PositionalMax[side];
    if (FutilitySwitch && optimistic < alpha) {
      const int gain = ThreatGain(pos, node);
      if (optimistic + gain < alpha) {
        const PawnEntry* pawns = FindPawnEntry(pos, node->pawnKey1, node->pawnKey2);
        const bool passerHope = !pawns || PawnEntryHasAdvancedPasser(pawns, side);
        if (!(gain < 1055 && passerHope && optimistic + 1055 >= alpha)) f.depth -= 2;
      }
      f.futile = f.depth <= ForwardPruning && optimistic + 325 < alpha;
      f.futilityBase = optimistic + 325;
    }
  }
  if (f.depth <= 0) return Quiesce(pos, node, alpha, beta, f.depth);

  pos->nodeCount++;
  node->hashMove1 = 0;
  node->hashMove2 = 0;
  f.alphaIn = alpha;

  bool cutByEntry = UseTableEntry(pos, node, &f, reversible);
  // A null-move or multi-cut cut-off skips the moves but is stored like any other result.
  bool cutBeforeMoves = false;
  if (!cutByEntry) {
    int nullScore;
    if (allowNull && NullMoveCutoff(pos, node, &f, &nullScore)) {
      f.bestScore = nullScore;
      f.bestMove = 0;
      cutBeforeMoves = true;
    }
    if (SearchStopped()) return 0;
    if (!cutBeforeMoves) cutBeforeMoves = MultiCut(pos, node, &f);
    if (SearchStopped()) return 0;
    if (!cutBeforeMoves && f.depth > 3 && !node->hashMove1) FindHashMove(pos, node, &f);
    if (SearchStopped()) return 0;
  }

  // The move loop runs again (once each) after the hash-disagreement search or a singular
  // finding, with the new hash move first.
  bool disagreementDone = false;
  for (;;) {
    if (!cutByEntry && !cutBeforeMoves) {
      const FirstMoveResult first = SearchFirstMove(pos, node, &f);
      if (SearchStopped()) return 0;
      if (first == NodeFinished) return Leave(node, f.bestScore);
      if (first == FirstMoveSearched && !disagreementDone && f.depth > 3 && (node->flags & HashLowerFlag)) {
        disagreementDone = true;
        HashDisagreementSearch(pos, node, &f);
        if (SearchStopped()) return 0;
        f.alpha = f.alphaIn;
        continue;
      }
      if (first == FirstMoveSearched) SearchRemainingMoves(pos, node, &f);
      if (SearchStopped()) return 0;
    }
    if (!cutByEntry) StoreResult(node, &f);
    UpdateKillersAndHistory(pos, node, &f);
    if (!SingularTestApplies(node, &f)) break;
    f.singularTest = false;
    if (!IsBestMoveSingular(pos, node, &f)) {
      if (SearchStopped()) return 0;
      break;
    }
    node->flags |= SingularFlag;
    f.depth++;
    f.singularExt = 1;
    f.alpha = f.alphaIn;
    node->hashMove1 = f.bestMove;
    ResetPicker(node);
    cutByEntry = false;
    cutBeforeMoves = false;
  }
  node->bestMove = f.bestMove;
  node->score = f.bestScore;
  return f.bestScore;
}
