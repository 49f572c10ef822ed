#include "eval/kpk.h"
#include <initializer_list>
#include <cstdint>

namespace {

// Squares 0..63 inside this file (a1 = 0). Index: side to move (0 the pawn's side),
// pawn square on files a-d and ranks 2-7, strong king, weak king.
constexpr int PawnSlots = 24;
constexpr int TableSize = 2 * PawnSlots * 64 * 64;
enum : uint8_t { Unknown = 0, Win = 1, Draw = 2, Invalid = 3 };

uint8_t table[TableSize];
bool solved = false;

int FileOf0(int s) { return s & 7; }
int RankOf0(int s) { return s >> 3; }
int Dist(int a, int b) {
  int df = FileOf0(a) - FileOf0(b), dr = RankOf0(a) - RankOf0(b);
  if (df < 0) df = -df;
  if (dr < 0) dr = -dr;
  return df > dr ? df : dr;
}
int Index(int stm, int pawn, int strong, int weak) {
  int slot = (RankOf0(pawn) - 1) * 4 + FileOf0(pawn);
  return ((stm * PawnSlots + slot) * 64 + strong) * 64 + weak;
}
// Whether the pawn on p attacks square s.
bool PawnAttacks(int p, int s) { return RankOf0(s) == RankOf0(p) + 1 && (FileOf0(s) - FileOf0(p) == 1 || FileOf0(p) - FileOf0(s) == 1); }

const int KingSteps[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
int Step(int s, int i) {
  int f = FileOf0(s) + KingSteps[i][0], r = RankOf0(s) + KingSteps[i][1];
  return (f < 0 || f > 7 || r < 0 || r > 7) ? -1 : r * 8 + f;
}

// After a promotion on q with the defender to move: a win unless the new piece is taken
// at once or the defender is stalemated. `rookLike`: rook instead of queen.
bool PromotionWins(int q, int strong, int weak, bool rookLike) {
  if (Dist(weak, q) == 1 && Dist(strong, q) > 1) return false;
  auto attacked = [&](int s) {
    if (Dist(strong, s) <= 1) return true;
    int df = FileOf0(s) - FileOf0(q), dr = RankOf0(s) - RankOf0(q);
    bool line = df == 0 || dr == 0;
    bool diagonal = df == dr || df == -dr;
    if (!(line || (!rookLike && diagonal)) || s == q) return false;
    // The strong king may stand between the piece and s.
    int sf = df > 0 ? 1 : df < 0 ? -1 : 0, sr = dr > 0 ? 1 : dr < 0 ? -1 : 0;
    for (int t = q + sr * 8 + sf; t != s; t += sr * 8 + sf)
      if (t == strong) return false;
    return true;
  };
  bool inCheck = attacked(weak);
  for (int i = 0; i < 8; i++) {
    int t = Step(weak, i);
    if (t >= 0 && t != strong && !attacked(t)) return true;  // the defender can move
  }
  return inCheck;
}

uint8_t Classify(int stm, int pawn, int strong, int weak) {
  if (strong == weak || strong == pawn || weak == pawn || Dist(strong, weak) <= 1) return Invalid;
  if (stm == 0) {
    if (PawnAttacks(pawn, weak)) return Invalid;
    if (RankOf0(pawn) == 6) {
      int q = pawn + 8;
      if (q != strong && q != weak &&
          (PromotionWins(q, strong, weak, false) || PromotionWins(q, strong, weak, true)))
        return Win;
    }
    return Unknown;
  }
  bool canMove = false;
  for (int i = 0; i < 8; i++) {
    int t = Step(weak, i);
    if (t < 0 || Dist(t, strong) <= 1 || PawnAttacks(pawn, t)) continue;
    if (t == pawn) return Draw;  // the undefended pawn is taken
    canMove = true;
  }
  if (!canMove) return PawnAttacks(pawn, weak) ? Win : Draw;
  return Unknown;
}

// The pawn's side moves: a win when some move reaches a won position.
bool StrongMoveWins(int pawn, int strong, int weak) {
  for (int i = 0; i < 8; i++) {
    int t = Step(strong, i);
    if (t < 0 || t == pawn || Dist(t, weak) <= 1) continue;
    if (table[Index(1, pawn, t, weak)] == Win) return true;
  }
  int ahead = pawn + 8;
  if (RankOf0(pawn) < 6 && ahead != strong && ahead != weak) {
    if (table[Index(1, ahead, strong, weak)] == Win) return true;
    int twice = pawn + 16;
    if (RankOf0(pawn) == 1 && twice != strong && twice != weak && table[Index(1, twice, strong, weak)] == Win)
      return true;
  }
  return false;
}

// The defender moves: a loss only when every move reaches a won position.
bool WeakMovesLose(int pawn, int strong, int weak) {
  for (int i = 0; i < 8; i++) {
    int t = Step(weak, i);
    if (t < 0 || Dist(t, strong) <= 1 || PawnAttacks(pawn, t)) continue;
    if (table[Index(0, pawn, strong, t)] != Win) return false;
  }
  return true;
}

void Solve() {
  for (int stm = 0; stm < 2; stm++)
    for (int slot = 0; slot < PawnSlots; slot++) {
      int pawn = (slot / 4 + 1) * 8 + slot % 4;
      for (int strong = 0; strong < 64; strong++)
        for (int weak = 0; weak < 64; weak++) table[Index(stm, pawn, strong, weak)] = Classify(stm, pawn, strong, weak);
    }
  for (bool changed = true; changed;) {
    changed = false;
    for (int slot = PawnSlots - 1; slot >= 0; slot--) {
      int pawn = (slot / 4 + 1) * 8 + slot % 4;
      for (int stm = 1; stm >= 0; stm--)
        for (int strong = 0; strong < 64; strong++)
          for (int weak = 0; weak < 64; weak++) {
            uint8_t& v = table[Index(stm, pawn, strong, weak)];
            if (v != Unknown) continue;
            if (stm == 0 ? StrongMoveWins(pawn, strong, weak) : WeakMovesLose(pawn, strong, weak)) {
              v = Win;
              changed = true;
            }
          }
    }
  }
  solved = true;
}

}  // namespace

void InitKpkTable() {
  if (!solved) Solve();
}

int KpkWins(int sideToMove, int pawnSide, int strongKing, int weakKing, int pawnSquare) {
  InitKpkTable();
  int p = pawnSquare - 1, s = strongKing - 1, w = weakKing - 1;
  if (p < 0 || p > 63 || s < 0 || s > 63 || w < 0 || w > 63) return 0;
  if (pawnSide) {  // mirror the ranks so that the pawn runs up the board
    p ^= 56;
    s ^= 56;
    w ^= 56;
  }
  if (FileOf0(p) > 3) {  // and the files so that it stands on a-d
    p ^= 7;
    s ^= 7;
    w ^= 7;
  }
  if (RankOf0(p) < 1 || RankOf0(p) > 6) return 0;
  return table[Index(sideToMove == pawnSide ? 0 : 1, p, s, w)] == Win ? 500 : 0;
}
