// The telling members' index formulas written out term by term, against the routines, on
// random legal positions already in the index's canonical orientation (the side to move's
// king in the a1-d1-d4 triangle, with the other king on or below the diagonal when it stands
// on it; with pawns, on files a-d).
#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <functional>
#include <random>

#include "tablebase/endgame_table.h"
#include "tablebase/index_positions.h"
#include "tablebase/index_tables.h"

namespace {

int Lower(int sq, std::initializer_list<int> others) {
  int n = 0;
  for (int o : others) n += o < sq;
  return n;
}

uint64_t Pair2(int a, int b) {
  if (a > b) std::swap(a, b);
  return uint64_t(b) * uint64_t(b - 1) / 2 + uint64_t(a);
}

bool Canonical(int record, int side, const TbTestPosition& p) {
  int own = side == 0 ? p.white[0] : p.black[0], other = side == 0 ? p.black[0] : p.white[0];
  if (RecordHasPawns(record)) return (own & 7) < 4;
  return TbTriangle[own] && (TbOffDiagonal[own] || TbOnOrBelow[other]);
}

using Formula = std::function<uint64_t(const int32_t* w, const int32_t* b)>;

void CheckFormula(const char* name, int side, const Formula& formula) {
  BuildTablebaseIndexTables();
  int record = EndgameRecordByName(name);
  std::mt19937_64 rng{uint64_t(record)};
  for (int n = 0; n < 2000; n++) {
    TbTestPosition p;
    do p = RandomLegalPosition(record, side, rng);
    while (!Canonical(record, side, p));
    ASSERT_EQ(IndexOf(record, side, p), formula(p.white, p.black)) << name << " side " << side;
  }
}

constexpr int K = 0, P = 4, N = 8, R = 16, Q = 20;

TEST(TbIndexFormula, KrkBlack) {
  CheckFormula("krk", 1, [](const int32_t* w, const int32_t* b) {
    return TbPawnlessPair[b[K]][w[K]] * 62u + uint64_t(w[R] - Lower(w[R], {b[K], w[K]}));
  });
}

TEST(TbIndexFormula, KrkWhite) {
  CheckFormula("krk", 0, [](const int32_t* w, const int32_t* b) {
    return TbPlacementOffsets(false, PlaceRook, 1)[TbPawnlessPair[w[K]][b[K]]] +
           uint64_t(TbPlacement[PlaceRook][b[K]][w[R]] - (w[K] < w[R]));
  });
}

TEST(TbIndexFormula, KqqkBothSides) {
  CheckFormula("kqqk", 1, [](const int32_t* w, const int32_t* b) {
    int q1 = w[Q] - Lower(w[Q], {w[K], b[K]}), q2 = w[Q + 1] - Lower(w[Q + 1], {w[K], b[K]});
    return TbPawnlessPair[b[K]][w[K]] * 1891u + Pair2(q1, q2);
  });
  CheckFormula("kqqk", 0, [](const int32_t* w, const int32_t* b) {
    int q1 = TbPlacement[PlaceQueen][b[K]][w[Q]] - (w[K] < w[Q]);
    int q2 = TbPlacement[PlaceQueen][b[K]][w[Q + 1]] - (w[K] < w[Q + 1]);
    return TbPlacementOffsets(false, PlaceQueen, 2)[TbPawnlessPair[w[K]][b[K]]] + Pair2(q1, q2);
  });
}

TEST(TbIndexFormula, KqrkBlack) {
  CheckFormula("kqrk", 1, [](const int32_t* w, const int32_t* b) {
    uint64_t queen = uint64_t(w[Q] - Lower(w[Q], {w[K], b[K]}));
    uint64_t rook = uint64_t(w[R] - Lower(w[R], {w[K], b[K], w[Q]}));
    return (TbPawnlessPair[b[K]][w[K]] * 62u + queen) * 61u + rook;
  });
}

TEST(TbIndexFormula, KrpkrBlack) {
  CheckFormula("krpkr", 1, [](const int32_t* w, const int32_t* b) {
    uint64_t head = TbPlacementOffsets(true, PlaceRook, 1)[TbPawnPair[b[K]][w[K]]] +
                    uint64_t(TbPlacement[PlaceRook][w[K]][b[R]] - (b[K] < b[R]));
    uint64_t rook = uint64_t(w[R] - Lower(w[R], {b[K], w[K], b[R], w[P]}));
    return (head * 60 + rook) * 48 + uint64_t(w[P] - 8);
  });
}

TEST(TbIndexFormula, KqqqkBlack) {
  CheckFormula("kqqqk", 1, [](const int32_t* w, const int32_t* b) {
    int q[3];
    for (int j = 0; j < 3; j++) q[j] = w[Q + j] - Lower(w[Q + j], {w[K], b[K]});
    std::sort(q, q + 3);
    return TbPawnlessPair[b[K]][w[K]] * 37820u + uint64_t(q[2]) * uint64_t(q[2] - 1) * uint64_t(q[2] - 2) / 6 +
           Pair2(q[0], q[1]);
  });
}

uint64_t KpkWhitePart(const int32_t* w, const int32_t* b) {
  bool kingCounts = w[K] >= 8 && w[K] <= 55 && w[K] < w[P];
  return TbPlacementOffsets(true, PlaceCheckPawn, 1)[TbPawnPair[w[K]][b[K]]] +
         uint64_t(TbPlacement[PlaceCheckPawn][b[K]][w[P]] - kingCounts);
}

TEST(TbIndexFormula, KpkAndKpkpWhite) {
  CheckFormula("kpk", 0, KpkWhitePart);
  CheckFormula("kpkp", 0, [](const int32_t* w, const int32_t* b) {
    return KpkWhitePart(w, b) * 47 + uint64_t(b[P] - 8 - (w[P] < b[P]));
  });
}

TEST(TbIndexFormula, KnnknnWhite) {
  CheckFormula("knnknn", 0, [](const int32_t* w, const int32_t* b) {
    bool kingCounts = TbPlacement[PlaceKnight][b[K]][w[K]] != NoPlacement;
    int n1 = TbPlacement[PlaceKnight][b[K]][w[N]] - (kingCounts && w[K] < w[N]);
    int n2 = TbPlacement[PlaceKnight][b[K]][w[N + 1]] - (kingCounts && w[K] < w[N + 1]);
    int m1 = b[N] - Lower(b[N], {w[K], b[K], w[N], w[N + 1]});
    int m2 = b[N + 1] - Lower(b[N + 1], {w[K], b[K], w[N], w[N + 1]});
    return (TbPlacementOffsets(false, PlaceKnight, 2)[TbPawnlessPair[w[K]][b[K]]] + Pair2(n1, n2)) *
               1770 + Pair2(m1, m2);
  });
}

}  // namespace
