// Centre control and knight and bishop mobility, the last (and lazily skipped) term.
#include "eval/mobility.h"
#include <initializer_list>
#include <cstdint>
#include "board/geometry.h"
#include "board/keys.h"
#include "board/option_values.h"
#include "board/types.h"
#include "eval/root_tables.h"
#include "eval/square_geometry.h"
#include "eval/squares.h"

struct MobilityEntry {
  uint32_t word0;  // key 1 in bits 8-31, the value (signed 8-bit) in bits 0-7
  uint32_t word1;  // key 2
};
constexpr int MobilityCacheSize = 65536;
static MobilityEntry MobilityCache[MobilityCacheSize];

static const int8_t KnightSafeSquare[65] = {
    0, 0, 1, 1, 1, 1, 1, 1, 0,  //
    1, 2, 2, 2, 2, 2, 2, 1,     //
    1, 2, 3, 3, 3, 3, 2, 1,     //
    1, 2, 3, 4, 4, 3, 2, 1,     //
    1, 2, 3, 4, 4, 3, 2, 1,     //
    1, 2, 3, 3, 3, 3, 2, 1,     //
    1, 2, 2, 2, 2, 2, 2, 1,     //
    0, 1, 1, 1, 1, 1, 1, 0,
};
static const int BishopPawnMobility[18] = {-20, -13, -5, 2, 4, 6, 8, 10, 11, 11, 12, 12, 13, 13, 14, 14, 14, 14};
static const int Diagonals[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};

void ClearMobilityCache() {
  for (int i = 0; i < MobilityCacheSize; i++) MobilityCache[i] = MobilityEntry{};
}

static int CentrePart(const EvalNode* n) {
  const AttackCell* w = n->pos->attacks[White].cell;
  const AttackCell* b = n->pos->attacks[Black].cell;
  auto W = [&](int s) { return w[s].count; };
  auto B = [&](int s) { return b[s].count; };
  using namespace sq;
  int v = 0;
  for (int s : {C3, C4, C5, C6, F3, F4, F5, F6}) v += W(s) - B(s);
  v += 3 * (W(D5) + W(E5) - B(D4) - B(E4));
  v += 2 * (W(D4) + W(E4) + W(D6) + W(E6) - B(D5) - B(E5) - B(D3) - B(E3));
  v += W(D3) + W(E3) + W(C7) + W(D7) + W(E7) + W(F7) - B(D6) - B(E6) - B(C2) - B(D2) - B(E2) - B(F2);
  return 2 * v;
}

static int KnightMobility(const EvalNode* n, int us, int s) {
  int them = us ^ 1, v = 0, safe = 0;
  for (const uint8_t* jump = KnightTargets[s]; *jump; jump++) {
    int t = *jump, code = n->board[t];
    if (n->pe->pawnAttacks[them] & SquareBit(t)) {
      v -= 3;
    } else if ((!code || PieceSide(code) == them) && AttackCount(n, us, t) > AttackCount(n, them, t)) {
      v += KnightSafeSquare[t];
      safe = 1;
    } else {
      v += 1;
    }
  }
  return safe ? v : v + PieceConstants.knightNoSafeSquare;
}

// Squares on the bishop's diagonals not covered by enemy pawns, with pawns as the only
// obstacles: own pawns end a diagonal, an enemy pawn ends it after counting.
static int BishopPawnMobilityCount(const EvalNode* n, int us, int s) {
  int them = us ^ 1, count = 0;
  for (const auto& d : Diagonals) {
    for (int t = StepFrom(s, d[0], d[1]); t; t = StepFrom(t, d[0], d[1])) {
      int code = n->board[t];
      if (code == OwnPiece(us, WPawn)) break;
      if (!(n->pe->pawnAttacks[them] & SquareBit(t))) count++;
      if (code == OwnPiece(them, WPawn)) break;
    }
  }
  return count;
}

static inline uint32_t BishopKey1(const EvalNode* n, int us, int s) {
  return n->ps->pawnKey1 ^ ZobristKey1[OwnPiece(us, WBishop)][s];
}

void PrefetchBishopMobility(const EvalNode* n, int us, int s) {
  __builtin_prefetch(&MobilityCache[BishopKey1(n, us, s) & (MobilityCacheSize - 1)]);
}

static int BishopMobility(const EvalNode* n, int us, int s) {
  uint32_t key1 = BishopKey1(n, us, s);
  uint32_t key2 = n->ps->pawnKey2 ^ ZobristKey2[OwnPiece(us, WBishop)][s];
  MobilityEntry* e = &MobilityCache[key1 & (MobilityCacheSize - 1)];
  if ((e->word0 >> 8) == (key1 >> 8) && e->word1 == key2) return int8_t(e->word0 & 0xFF);
  int count = BishopPawnMobilityCount(n, us, s);
  int v = BishopPawnMobility[count > 17 ? 17 : count];
  e->word0 = (key1 & 0xFFFFFF00u) | (uint32_t(v) & 0xFF);
  e->word1 = key2;
  return v;
}

int MobilityTerm(EvalNode* n, int us, int s) {
  int kind = PieceKind(n->board[s]);
  return kind == WKnight ? KnightMobility(n, us, s) : kind == WBishop ? BishopMobility(n, us, s) : 0;
}

int CentreAndMobility(EvalNode* n) {
  int t = 0;
  if (!n->endgame) {
    int centre = CentrePart(n);
    if (OptionWeights[WeightCenterControl] != 100) centre = centre * OptionWeights[WeightCenterControl] / 100;
    t += centre;
  }
  // Only knights and bishops have a term: their slots are read instead of the whole list.
  const Position* pos = n->pos;
  for (int us = White; us <= Black; us++) {
    const uint8_t* list = pos->pieceList[us];
    const PieceSlots* knights = &pos->slots[OwnPiece(us, WKnight)];
    const PieceSlots* bishops = &pos->slots[OwnPiece(us, WBishop)];
    int v = 0;
    for (int i = 0; i < knights->count; i++) {
      int s = list[knights->entry[i]];
      if (s && s != CapturedMark) v += KnightMobility(n, us, s);
    }
    for (int i = 0; i < bishops->count; i++) {
      int s = list[bishops->entry[i]];
      if (s && s != CapturedMark) v += BishopMobility(n, us, s);
    }
    t += Sign(us) * v;
  }
  return t;
}
