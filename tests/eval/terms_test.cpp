// Single terms: pieces, mobility and king safety on positions worked out by hand.
#include "eval/eval_fixture.h"
#include "eval/eval_node.h"
#include "eval/king_safety.h"
#include "eval/mobility.h"
#include "eval/pieces.h"
#include "eval/squares.h"
#include "protocol/options.h"

namespace {

struct TermsTest : ::testing::Test {
  void TearDown() override {
    for (int i = 0; i < OptionWeightCount; i++) OptionWeights[i] = 100;
    SetOptionDefaults();
  }
  EvalSetup s;
  EvalNode n;
  EvalNode& Node(const char* fen) {
    s.Load(fen);
    SetUpEvalNode(&n, s.pos.get(), s.root);
    return n;
  }
};

}  // namespace

// Open centre +6, endgame +3, then the trap.
TEST_F(TermsTest, BishopTrappedOnA7) {
  EXPECT_EQ(PieceTerm(&Node("4k3/B1p5/1p6/8/8/8/8/4K3 w - - 0 1"), White, sq::A7), 6 + 3 - 120);
  EXPECT_EQ(PieceTerm(&Node("4k3/B7/1p6/8/8/8/8/4K3 w - - 0 1"), White, sq::A7), 6 + 3 - 60);
  EXPECT_EQ(PieceTerm(&Node("4k3/8/8/8/8/1P6/b1P5/4K3 b - - 0 1"), Black, sq::A2), 6 + 3 - 120);
}

// Targets c3 3, g3 2, d2 2, f2 2, g5 2, c5 3 are safe; d6 and f6 are covered by the e7 pawn
// and count -3 although e5 defends them.
TEST_F(TermsTest, KnightTargetsCoveredByPawnsCountMinusThree) {
  EXPECT_EQ(MobilityTerm(&Node("4k3/4p3/8/4P3/4N3/8/8/4K3 w - - 0 1"), White, sq::E4), 3 + 2 + 2 + 2 + 2 + 3 - 6);
}

TEST_F(TermsTest, OnlyPawnsShortenTheBishopsPawnMobility) {
  ClearMobilityCache();
  EXPECT_EQ(MobilityTerm(&Node("4k3/8/8/8/8/8/8/2B1K3 w - - 0 1"), White, sq::C1), 10);  // 7 squares
  EXPECT_EQ(MobilityTerm(&Node("4k3/8/8/8/8/4N3/8/2B1K3 w - - 0 1"), White, sq::C1), 10);
  EXPECT_EQ(MobilityTerm(&Node("4k3/8/8/8/8/4P3/8/2B1K3 w - - 0 1"), White, sq::C1), 2);  // 3 squares
  // An enemy pawn counts and ends the diagonal; squares it covers do not count.
  EXPECT_EQ(MobilityTerm(&Node("4k3/8/8/8/8/4p3/8/2B1K3 w - - 0 1"), White, sq::C1), 2);
}

TEST_F(TermsTest, CentreControlWeightActsOnTheCentrePartOnly) {
  const char* fen = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 8";
  auto centre = [&](int weight) {
    OptionWeights[WeightCenterControl] = weight;
    EvalBreakdown bd;
    s.Load(fen);
    EvaluateWithBreakdown(s.pos.get(), s.root, &bd);
    return bd;
  };
  EvalBreakdown normal = centre(100), four = centre(400), quarter = centre(25);
  int part = (four.group[GroupCentreAndMobility] - normal.group[GroupCentreAndMobility]) / 3;
  int mobility = normal.group[GroupCentreAndMobility] - part;
  EXPECT_NE(part, 0);
  EXPECT_EQ(quarter.group[GroupCentreAndMobility], part * 25 / 100 + mobility);
  for (int g = 0; g < EvalGroupCount; g++) {
    if (g != GroupCentreAndMobility) {
      EXPECT_EQ(quarter.group[g], normal.group[g]) << EvalGroupName[g];
    }
  }
}

TEST_F(TermsTest, KingWithoutAttackersLeftIsSafeInTheEndgame) {
  EvalNode& node = Node("8/p7/8/8/8/3n4/P7/4K2k w - - 0 1");
  EXPECT_EQ(KingSafety(&node, White), 0);  // no queen and a PhaseCount of 1
  EXPECT_EQ(KingSafety(&node, Black), 0);  // White has no piece
}

TEST_F(TermsTest, SupportedQueenContactSetsTheAttackFlagOnlyWithQuiescenceChecks) {
  // Qh3 and Bb7 both hit g2, next to the king, which defends it alone; Black to move.
  const char* fen = "r4rk1/1b3ppp/8/8/8/7q/PPP2P1P/R2Q1RK1 b - - 0 1";
  CombinationQuiesceChecks = 1;
  EvalNode& on = Node(fen);
  KingSafety(&on, White);
  EXPECT_EQ(on.attackFlag, 1);
  CombinationQuiesceChecks = 0;
  EvalNode& off = Node(fen);
  KingSafety(&off, White);
  EXPECT_EQ(off.attackFlag, 0);
  // Through the whole evaluation and the cache as well.
  s.Load(fen);
  s.Full();
  EXPECT_EQ(s.root->attackFlag, 0);
  CombinationQuiesceChecks = 1;
  s.Load(fen);
  s.Full();
  EXPECT_EQ(s.root->attackFlag, 1);
}

TEST_F(TermsTest, WeightsScaleOnlyTheirOwnTerms) {
  const char* middlegame = "r2q1rk1/pb1nbppp/1p2pn2/2pp4/3P4/1PNBPN2/PBQ2PPP/R4RK1 w - - 0 11";
  auto groups = [&](int index, int weight) {
    OptionWeights[index] = weight;
    EvalBreakdown bd;
    s.Load(middlegame);
    EvaluateWithBreakdown(s.pos.get(), s.root, &bd);
    OptionWeights[index] = 100;
    return bd;
  };
  EvalBreakdown base = groups(WeightKingSafety, 100);
  EvalBreakdown king = groups(WeightKingSafety, 200);
  EvalBreakdown pawns = groups(WeightPawnStructure, 50);
  EvalBreakdown endgamePawns = groups(WeightPawnStructureEnd, 50);
  ASSERT_NE(base.group[GroupKingSafety], 0);
  ASSERT_NE(base.group[GroupPawnStructure], 0);
  EXPECT_EQ(king.group[GroupKingSafety], 2 * base.group[GroupKingSafety]);
  EXPECT_EQ(pawns.group[GroupPawnStructure], base.group[GroupPawnStructure] * 50 / 100);
  for (int g = 0; g < EvalGroupCount; g++) {
    if (g != GroupKingSafety) {
      EXPECT_EQ(king.group[g], base.group[g]) << EvalGroupName[g];
    }
    if (g != GroupPawnStructure && g != GroupPassedPawns) {
      EXPECT_EQ(pawns.group[g], base.group[g]) << EvalGroupName[g];
    }
    EXPECT_EQ(endgamePawns.group[g], base.group[g]) << EvalGroupName[g];  // not an endgame
  }
}

// The square helpers by mask and shift agree with the board's file and rank on every square.
TEST(SquareHelpers, AgreeWithTheBoardsFileAndRank) {
  for (int a = 1; a <= 64; a++) {
    EXPECT_EQ(SquareFile(a), FileOf(a)) << a;
    EXPECT_EQ(SquareRank(a), RankOf(a)) << a;
    EXPECT_EQ(RelRank(White, a), RankOf(a)) << a;
    EXPECT_EQ(RelRank(Black, a), 9 - RankOf(a)) << a;
    EXPECT_EQ(IsDarkSquare(a), (FileOf(a) + RankOf(a)) % 2 == 0) << a;
    for (int b = 1; b <= 64; b++) {
      int df = FileOf(a) - FileOf(b), dr = RankOf(a) - RankOf(b);
      df = df < 0 ? -df : df;
      dr = dr < 0 ? -dr : dr;
      EXPECT_EQ(Distance(a, b), df > dr ? df : dr) << a << " " << b;
      EXPECT_EQ(OnDiagonal(a, b), a != b && df == dr) << a << " " << b;
    }
  }
}
