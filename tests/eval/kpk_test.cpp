// KpkWins against the true result of king and pawn against king, found here by an
// independent solver over every placement (pawn on all eight files, both sides to move).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "eval/kpk.h"

namespace {

// Squares 1..64 as in the engine; the pawn is White's and runs up the board.
int F(int s) { return (s - 1) % 8; }
int R(int s) { return (s - 1) / 8; }
int Sq(int f, int r) { return (f < 0 || f > 7 || r < 0 || r > 7) ? 0 : r * 8 + f + 1; }
bool Near(int a, int b) { return a != b && std::abs(F(a) - F(b)) <= 1 && std::abs(R(a) - R(b)) <= 1; }
bool PawnHits(int p, int s) { return R(s) == R(p) + 1 && std::abs(F(s) - F(p)) == 1; }

std::vector<int> KingMoves(int k) {
  std::vector<int> m;
  for (int df = -1; df <= 1; df++)
    for (int dr = -1; dr <= 1; dr++)
      if ((df || dr) && Sq(F(k) + df, R(k) + dr)) m.push_back(Sq(F(k) + df, R(k) + dr));
  return m;
}

// Attack of a queen (diagonals too) or rook on q against s, with the White king w as the
// only possible blocker (the Black king is off the board while it moves).
bool PieceHits(int q, bool queen, int w, int s) {
  int df = F(s) - F(q), dr = R(s) - R(q);
  if (s == q || !(df == 0 || dr == 0 || (queen && std::abs(df) == std::abs(dr)))) return false;
  int sf = (df > 0) - (df < 0), sr = (dr > 0) - (dr < 0);
  for (int f = F(q) + sf, r = R(q) + sr; Sq(f, r) != s; f += sf, r += sr)
    if (Sq(f, r) == w) return false;
  return true;
}

// Black to move after a promotion on q: 1 when White wins.
int AfterPromotion(int w, int q, bool queen, int b) {
  bool anyMove = false;
  for (int t : KingMoves(b)) {
    if (Near(t, w)) continue;
    if (t == q) return 0;  // the new piece is taken (it is not next to White's king)
    if (!PieceHits(q, queen, w, t)) anyMove = true;
  }
  if (anyMove) return 1;
  return PieceHits(q, queen, w, b) ? 1 : 0;  // mate or stalemate
}

struct Solver {
  // value[stm][pawn][white king][black king]: 1 White wins, 0 not (yet) known to win.
  std::vector<int8_t> value = std::vector<int8_t>(2 * 65 * 65 * 65, 0);
  std::vector<int8_t> legal = std::vector<int8_t>(2 * 65 * 65 * 65, 0);
  static int I(int stm, int p, int w, int b) { return ((stm * 65 + p) * 65 + w) * 65 + b; }

  void Run() {
    for (int stm = 0; stm < 2; stm++)
      for (int p = 9; p <= 56; p++)
        for (int w = 1; w <= 64; w++)
          for (int b = 1; b <= 64; b++)
            legal[I(stm, p, w, b)] = w != b && w != p && b != p && !Near(w, b) && !(stm == 0 && PawnHits(p, b));
    for (bool changed = true; changed;) {
      changed = false;
      for (int stm = 0; stm < 2; stm++)
        for (int p = 9; p <= 56; p++)
          for (int w = 1; w <= 64; w++)
            for (int b = 1; b <= 64; b++) {
              int i = I(stm, p, w, b);
              if (!legal[i] || value[i]) continue;
              int v = stm == 0 ? WhiteWins(p, w, b) : BlackLoses(p, w, b);
              if (v) {
                value[i] = 1;
                changed = true;
              }
            }
    }
  }
  int WhiteWins(int p, int w, int b) {
    for (int t : KingMoves(w))
      if (t != p && !Near(t, b) && value[I(1, p, t, b)]) return 1;
    int ahead = p + 8;
    if (ahead == w || ahead == b) return 0;
    if (R(p) == 6) return AfterPromotion(w, ahead, true, b) || AfterPromotion(w, ahead, false, b);
    if (value[I(1, ahead, w, b)]) return 1;
    return R(p) == 1 && p + 16 != w && p + 16 != b && value[I(1, p + 16, w, b)];
  }
  int BlackLoses(int p, int w, int b) {
    bool anyMove = false;
    for (int t : KingMoves(b)) {
      if (Near(t, w) || PawnHits(p, t)) continue;
      if (t == p) return 0;
      anyMove = true;
      if (!value[I(0, p, w, t)]) return 0;
    }
    return anyMove ? 1 : PawnHits(p, b);
  }
};

int Mirror(int s) { return ((s - 1) ^ 56) + 1; }

}  // namespace

TEST(Kpk, KnownPositions) {
  struct Case {
    int stm, pawnSide, strong, weak, pawn, result;
  } cases[] = {
      {0, 0, 5, 37, 13, 0},    // Ke1 Pe2 against Ke5: a draw
      {0, 0, 44, 60, 36, 500}, // Kd6 Pd5 against Kd8, White to move: a win
      {1, 0, 44, 60, 36, 500}, // the same with Black to move
      {0, 0, 42, 57, 33, 0},   // Kb6 Pa5 against Ka8: the rook pawn draws
      {1, 0, 8, 1, 33, 500},   // Pa5 outruns the king on a1
      {1, 0, 45, 61, 53, 0},   // Ke6 Pe7 against Ke8, Black to move: stalemate
      {0, 0, 45, 61, 53, 500}, // White to move wins with Kf6
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KpkWins(c.stm, c.pawnSide, c.strong, c.weak, c.pawn), c.result)
        << c.stm << " " << c.strong << " " << c.weak << " " << c.pawn;
  }
}

TEST(Kpk, AgreesWithARetrogradeSolutionEverywhere) {
  Solver solver;
  solver.Run();
  int disagreements = 0, wins = 0, positions = 0;
  for (int stm = 0; stm < 2; stm++)
    for (int p = 9; p <= 56; p++)
      for (int w = 1; w <= 64; w++)
        for (int b = 1; b <= 64; b++) {
          int i = Solver::I(stm, p, w, b);
          if (!solver.legal[i]) continue;
          positions++;
          int expected = solver.value[i] ? 500 : 0;
          wins += expected != 0;
          int white = KpkWins(stm, 0, w, b, p);
          // The same placement with colours exchanged: Black's pawn runs down the board.
          int black = KpkWins(stm ^ 1, 1, Mirror(w), Mirror(b), Mirror(p));
          if (white != expected || black != expected) {
            if (disagreements++ < 10)
              ADD_FAILURE() << "stm " << stm << " pawn " << p << " kings " << w << " " << b << ": " << white << "/"
                            << black << " expected " << expected;
          }
        }
  EXPECT_EQ(disagreements, 0);
  EXPECT_GT(wins, positions / 2);
}
