// Values of single positions: mates and stalemates on the board, short mates, promotions
// and en passant.
#include <gtest/gtest.h>

#include "tablebase/generate_tables.h"
#include "tablebase/generated_tables.h"

namespace {

struct ValueCase {
  const char* fen;
  int moves;     // +n mate in n, -n mated in n, 0 draw
  bool mateNow;  // the side to move is checkmated
};

void ExpectValues(const ValueCase* cases, int count) {
  for (int i = 0; i < count; i++) {
    uint16_t value = GeneratedValueOfFen(cases[i].fen);
    ASSERT_NE(value, GenBroken) << cases[i].fen << " " << GeneratedTablesError();
    bool mateNow;
    int moves = GenValueMoves(value, &mateNow);
    EXPECT_EQ(moves, cases[i].moves) << cases[i].fen;
    EXPECT_EQ(mateNow, cases[i].mateNow) << cases[i].fen;
  }
}

TEST(TbGeneratePositions, MatesAndStalemates) {
  static const ValueCase cases[] = {
      {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", 0, true},     // queen mate
      {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 0, false},    // stalemate
      {"R6k/8/6K1/8/8/8/8/8 b - - 0 1", 0, true},      // rook mate on the edge
      {"k7/P7/1K6/8/8/8/8/8 b - - 0 1", 0, false},     // pawn stalemate in the corner
      {"k7/P7/K7/8/8/8/8/8 w - - 0 1", 0, false},      // blocked rook pawn: a draw
      {"7k/8/6K1/8/8/8/8/1Q6 w - - 0 1", 1, false},    // Qb8 mates
      {"7k/8/6K1/8/8/8/8/1Q6 b - - 0 1", -1, false},   // Kg8 forced, Qb8 mates
      {"8/8/8/8/8/8/1k6/1Q1K4 b - - 0 1", 0, false},   // Kxb1: a draw
  };
  ExpectValues(cases, sizeof cases / sizeof cases[0]);
}

// A pawn on the seventh rank: promoting is at most one move beyond the queen's mate.
TEST(TbGeneratePositions, PromotionsReachOtherTables) {
  uint16_t pawn = GeneratedValueOfFen("8/4P3/8/8/8/8/k7/4K3 w - - 0 1");
  uint16_t queen = GeneratedValueOfFen("4Q3/8/8/8/8/8/k7/4K3 b - - 0 1");
  ASSERT_NE(pawn, GenBroken);
  ASSERT_NE(queen, GenBroken);
  bool mateNow;
  int afterPromotion = GenValueMoves(queen, &mateNow);
  ASSERT_LT(afterPromotion, 0);
  EXPECT_LE(GenValueMoves(pawn, &mateNow), -afterPromotion + 1);
  EXPECT_GT(GenValueMoves(pawn, &mateNow), 0);
}

// Black's d4 pawn may take e3 en passant only right after e2-e4: with the right the position
// is worth the best of its moves and the capture, and the capture here saves Black.
TEST(SlowTbGeneratePositions, EnPassantRight) {
  const char* withRight = "8/8/8/8/3pP3/8/8/k1K5 b - e3 0 1";
  const char* without = "8/8/8/8/3pP3/8/8/k1K5 b - - 0 1";
  const char* afterCapture = "8/8/8/8/8/4p3/8/k1K5 w - - 0 1";
  uint16_t a = GeneratedValueOfFen(withRight), b = GeneratedValueOfFen(without), c = GeneratedValueOfFen(afterCapture);
  ASSERT_NE(a, GenBroken) << GeneratedTablesError();
  ASSERT_NE(b, GenBroken);
  ASSERT_NE(c, GenBroken);
  uint16_t capture = GenMoverValue(c);
  uint16_t best = GenPreference(capture) > GenPreference(b) ? capture : b;
  EXPECT_EQ(a, best);
}

}  // namespace
