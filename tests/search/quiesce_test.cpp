#include "search/node_patterns.h"
#include "search/quiesce.h"
#include "search_fixture.h"

namespace {

class QuiesceTest : public SearchFixture {};

TEST_F(QuiesceTest, MatedInCheckScoresThePly) {
  Load("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");
  EXPECT_EQ(Quiesce(pos.get(), root, -MateScore, MateScore, 0), -MateScore);
  Load("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
  PlyState* mated = Play(Play(Play(root, "g1f1"), "g8h8"), "a1a8");
  EXPECT_EQ(Quiesce(pos.get(), mated, -MateScore, MateScore, -2), 3 - MateScore);
}

TEST_F(QuiesceTest, FarBelowAlphaReturnsAlphaAtOnce) {
  // White can take a pawn; nothing it does comes near alpha.
  Load("3qk3/8/8/8/3p4/8/8/3RK3 w - - 0 1");
  const int eval = Evaluate(pos.get(), root, -MateScore, MateScore, 0);
  pos->nodeCount = 0;
  EXPECT_EQ(Quiesce(pos.get(), root, eval + 1156, eval + 1200, 0), eval + 1156);
  EXPECT_EQ(pos->nodeCount, 1u);
  // Just inside the margin the node stands pat with its own (fail-soft) score.
  EXPECT_LT(Quiesce(pos.get(), root, eval + 1154, eval + 1200, 0), eval + 1154);
}

TEST_F(QuiesceTest, ResolvesCapturesAndStoresItsResult) {
  // A free queen: the quiescence search takes it.
  Load("4k3/8/8/3q4/8/8/8/3RK3 w - - 0 1");
  const int standPat = Evaluate(pos.get(), root, -MateScore, MateScore, 0);
  const int score = Quiesce(pos.get(), root, -MateScore, MateScore, 0);
  EXPECT_GT(score, standPat + 900);
  EXPECT_EQ(Text(root->bestMove), "d1d5");
  TransEntry e;
  ASSERT_TRUE(ReadTransEntry(TransSlotA(root->side, root->key1), root->key2, &e));
  EXPECT_EQ(e.move, root->bestMove);
  EXPECT_EQ(EntryDepth(e), 0);
  EXPECT_TRUE(EntryIsExact(e));
  // The stored entry answers the same question without a move being made.
  pos->nodeCount = 0;
  EXPECT_EQ(Quiesce(pos.get(), root, -MateScore, MateScore, 0), score);
  EXPECT_EQ(pos->nodeCount, 1u);
}

TEST_F(QuiesceTest, QuietChecksIntoDefendedSquares) {
  struct Case { const char* fen; const char* move; bool searched; };
  const Case cases[] = {
      {"4k3/8/8/8/8/8/8/1R2K3 w - - 0 1", "b1b8", true},     // undefended
      {"4k3/3n4/8/8/8/8/8/1R2K3 w - - 0 1", "b1b8", false},  // defended once, far from the king
      {"4k3/8/8/8/8/8/8/3RK3 w - - 0 1", "d1d8", false},     // next to the king, alone
      {"3rk3/8/1n6/8/8/8/8/2R1K3 w - - 0 1", "c1c8", false}, // defended twice
      {"4k3/8/8/8/8/8/3R4/3RK3 w - - 0 1", "d2d8", true},    // next to the king, rook behind
      {"4k3/8/8/6B1/8/8/8/3RK3 w - - 0 1", "d1d8", true},    // next to the king, second attacker
  };
  for (const Case& c : cases) {
    Load(c.fen);
    const Move move = FindMove(root, c.move);
    ASSERT_NE(move, 0u) << c.fen;
    EXPECT_EQ(QuietCheckWorthSearching(pos.get(), root, move) != 0, c.searched) << c.fen;
  }
}

}  // namespace
