// The evaluation driver: lazy exits, the evaluation cache, the order of the terms, the
// option weights, the drawishness scaling and the running bounds.
#include "eval/evaluate.h"
#include <initializer_list>
#include "board/option_values.h"
#include "board/types.h"
#include "eval/endgame.h"
#include "eval/eval_cache.h"
#include "eval/eval_node.h"
#include "eval/king_safety.h"
#include "eval/mobility.h"
#include "eval/pieces.h"
#include "eval/prepare_root.h"
#include "eval/root_tables.h"
#include "eval/running_bounds.h"
#include "eval/square_geometry.h"
#include "eval/squares.h"

static const int FullAlpha = -30000, FullBeta = 30000;

int ScalePercent(int current, int p) {
  if (current == 0) return p;
  int v = current * p / 100;
  return v < 1 ? 1 : v;
}

int lazyEval(const PlyState* ps) {
  int side = ps->side;
  return ps->material[side] - ps->material[side ^ 1] - DrawContempt[side] + ps->pstSum;
}

// The board key leaves out castling rights and the endgame-after-captures state, which
// the positional value reads; they are mixed into the cache keys (low two bits clear).
static uint32_t CacheSalt(uint32_t flags, int afterCaptures) {
  uint32_t castling = (flags & AllCastling) >> 6;
  return castling * 0x9E3779B8u ^ (afterCaptures ? 0x5BD1E998u : 0u);
}

void PrefetchEvaluation(int side, uint32_t key1, uint32_t flags, int capturedKinds) {
  PrefetchEvalEntry(side, key1 ^ CacheSalt(flags, EndgameAfterCaptures[capturedKinds & 0xFF]));
}

// A side that stands worse and has given check with each of its last five moves, all of
// them reversible, is heading for a perpetual: the total moves towards a draw. Applied
// after the cache, since it depends on the line and not on the position.
static int CheckingRun(const Position* pos, const PlyState* ps, int m, int v) {
  if (m + v >= 0 || ps->ply < 9) return v;
  if (!ps->irreversible || pos->keyPtr - ps->irreversible < 9) return v;
  const PlyState* base = &pos->plies[0];
  for (int k = 1; k <= 9; k += 2) {
    const PlyState* up = ps - k;
    if (up < base || !(up->flags & InCheckFlag)) return v;
  }
  return (m * (80 - 100) + v * 80) / 100;
}

static void UpdateBounds(int side, int v) {
  if (v > PositionalMax[side]) {
    PositionalMax[side] = v;
    PositionalMin[side ^ 1] = -v;
  }
  if (v < PositionalMin[side]) {
    PositionalMin[side] = v;
    PositionalMax[side ^ 1] = -v;
  }
}

// The blocked centre pawns of the opening.
static int BlockedCentrePawns(const EvalNode* n) {
  const int8_t* b = n->board;
  int v = 0;
  if (b[sq::E2] == WPawn && b[sq::E3]) v -= 30;
  if (b[sq::D2] == WPawn && b[sq::D3]) v -= 30;
  if (b[sq::E7] == BPawn && b[sq::E6]) v += 30;
  if (b[sq::D7] == BPawn && b[sq::D6]) v += 30;
  return v;
}

static int LockedPosition(const EvalNode* n) {
  const PawnEntry* e = n->pe;
  if (!(e->flags & PawnLocked)) return 0;
  if (!(e->kingReach[White] & SquareBit(n->king[White])) || !(e->kingReach[Black] & SquareBit(n->king[Black])))
    return 0;
  int allPawns = e->openFiles == 0 && e->pawnCount[White] + e->pawnCount[Black] == 16;
  int blockedEnding = n->pawnEnding && !n->unstoppable[White] && !n->unstoppable[Black];
  return allPawns || blockedEnding;
}

// Every term but the centre, summed from White's view.
static int SumTerms(EvalNode* n) {
  if (!(PhaseCode & 0x64)) {
    if (PhaseCode & 1) n->acc[GroupRest] += BlockedCentrePawns(n);
  } else {
    EvaluateSpecialEndings(n);
    if (n->drawFlag || n->hasFixedValue) return 0;
  }
  EvaluatePieces(n);
  EvaluatePieceCorrections(n);
  if (n->endgame) EvaluateEndgamePawnTerms(n);
  if (n->pawnEnding)
    EvaluatePawnEnding(n);
  else if (n->pe->narrowScale)
    n->drawScale = ScalePercent(n->drawScale, n->pe->narrowScale);
  if (n->drawFlag) return 0;
  EvaluateMaterialEntry(n);
  EvaluateBishopColours(n);
  EvaluateKingAttackPatterns(n);
  EvaluateKingSafety(n);
  if (LockedPosition(n)) n->drawScale = ScalePercent(n->drawScale, 2);
  n->acc[GroupRest] += n->side == White ? 10 : -10;
  int kingWeight = OptionWeights[WeightKingSafety];
  int pawnWeight = OptionWeights[n->endgame ? WeightPawnStructureEnd : WeightPawnStructure];
  int king = kingWeight == 100 ? n->kingAcc : n->kingAcc * kingWeight / 100;
  int pawns = 0, sum = 0;
  for (int g = 0; g < EvalGroupCount; g++) {
    pawns += n->pawnAcc[g];
    sum += n->acc[g];
  }
  if (pawnWeight != 100) pawns = pawns * pawnWeight / 100;
  return sum + king + pawns;
}

static void FillBreakdown(const EvalNode* n, int centre, int m, EvalBreakdown* bd) {
  int kingWeight = OptionWeights[WeightKingSafety];
  int pawnWeight = OptionWeights[n->endgame ? WeightPawnStructureEnd : WeightPawnStructure];
  for (int g = 0; g < EvalGroupCount; g++) bd->group[g] = n->acc[g] + n->pawnAcc[g] * pawnWeight / 100;
  bd->group[GroupKingSafety] += n->kingAcc * kingWeight / 100;
  bd->group[GroupCentreAndMobility] += centre;
  if (n->hasFixedValue) {
    for (int g = 0; g < EvalGroupCount; g++) bd->group[g] = 0;
    bd->group[GroupMaterialAndEndings] = n->fixedValue;
  }
  if (n->drawFlag)
    for (int g = 0; g < EvalGroupCount; g++) bd->group[g] = 0;
  bd->lazy = n->side == White ? m : -m;
  bd->drawScale = n->drawScale;
  bd->drawFlag = n->drawFlag;
  bd->attackFlag = n->attackFlag;
}

int EvaluatePosition(Position* pos, PlyState* ps, int m, int alpha, int beta, int* drawFlag, int statsMode,
                     EvalBreakdown* bd) {
  *drawFlag = 0;
  int side = ps->side;
  int fullWindow = alpha == FullAlpha && beta == FullBeta;
  int usable = !fullWindow && !bd;
  int afterCaptures = EndgameAfterCaptures[ps->capturedKinds];
  uint32_t salt = CacheSalt(ps->flags, afterCaptures);
  uint32_t key1 = ps->key1 ^ salt, key2 = ps->key2 ^ salt;
  int stored = 0, attackFlag = 0;
  if (usable && EvalCacheProbe(side, key1, key2, EvalSignature, 0, &stored, &attackFlag)) {
    ps->attackFlag = uint8_t(attackFlag);
    return CheckingRun(pos, ps, m, stored);
  }

  EvalNode n;
  SetUpEvalNode(&n, pos, ps);
  PhaseCode = (PhaseCode & ~0x10) | (n.pawnEnding ? 0x10 : 0);
  int s;
  if (usable && EvalCacheProbe(side, key1, key2, EvalSignature, 1, &stored, &attackFlag)) {
    n.attackFlag = attackFlag;
    s = side == White ? stored : -stored;
  } else {
    s = SumTerms(&n);
  }
  if (n.drawFlag) {
    if (statsMode >= 0) {
      int d = -m;
      if (d > PositionalMax[side]) {
        PositionalMax[side] = d;
        PositionalMin[side ^ 1] = -d;
      } else if (d < PositionalMin[side]) {
        PositionalMin[side] = d;
        PositionalMax[side ^ 1] = -d;
      }
    }
    ps->attackFlag = uint8_t(n.attackFlag);
    *drawFlag = 1;
    if (bd) FillBreakdown(&n, 0, m, bd);
    return -m;
  }

  int complete = 1, centre = 0;
  if (n.hasFixedValue) {
    s = n.fixedValue;
  } else {
    int h = LazyMargin / 2;
    int skip = side == White ? (h + CentreMax + s + m < alpha || CentreMin - h + s + m > beta)
                             : (h - CentreMin - s + m < alpha || m - h - CentreMax - s > beta);
    if (skip && !fullWindow && !bd) {
      complete = 0;
    } else {
      centre = CentreAndMobility(&n);
      if (statsMode >= 0) {
        if (centre > CentreMax) CentreMax = centre;
        if (centre < CentreMin) CentreMin = centre;
      }
      s += centre;
    }
  }
  int v = side == White ? s : -s;
  if (n.drawScale) v = (m * (n.drawScale - 100) + v * n.drawScale) / 100;
  ps->attackFlag = uint8_t(n.attackFlag);
  if (complete) {
    EvalCacheStore(side, key1, key2, EvalSignature, 0, v, n.attackFlag);
  } else if (n.drawScale == 0) {
    // A partial entry keeps the unscaled sum; completing it later adds the centre term.
    EvalCacheStore(side, key1, key2, EvalSignature, 1, v, n.attackFlag);
  }
  v = CheckingRun(pos, ps, m, v);
  if (complete && statsMode >= 0) UpdateBounds(side, v);
  if (bd) FillBreakdown(&n, centre, m, bd);
  return v;
}

int Evaluate(Position* pos, PlyState* ps, int alpha, int beta, int statsMode) {
  int m = lazyEval(ps);
  int side = ps->side;
  if (ps->ply > 1 && (ps->ply > 6 || MinorPiecesFlag == 0)) {
    if (PositionalMax[side] + LazyMargin + m < alpha) return m;
    if (PositionalMin[side] - LazyMargin + m > beta) return m;
  }
  int drawFlag = 0;
  int p = EvaluatePosition(pos, ps, m, alpha, beta, &drawFlag, statsMode, nullptr);
  return drawFlag ? 0 : p + m;
}

int EvaluateWithBreakdown(Position* pos, PlyState* ps, EvalBreakdown* bd) {
  *bd = EvalBreakdown{};
  int m = lazyEval(ps);
  int drawFlag = 0;
  int p = EvaluatePosition(pos, ps, m, FullAlpha, FullBeta, &drawFlag, 0, bd);
  bd->total = drawFlag ? 0 : p + m;
  return bd->total;
}
