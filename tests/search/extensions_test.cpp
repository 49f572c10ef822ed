#include "search/extensions.h"
#include "search/search_node.h"
#include "search/search_pruning.h"
#include "search_fixture.h"

namespace {

class ExtensionTest : public SearchFixture {
 protected:
  int Extension(PlyState* node, int depth, int alpha = -MateScore) {
    node->hangingFlag = 0;
    return ComputeExtension(pos.get(), node, depth, alpha, lazyEval(node));
  }
};

TEST_F(ExtensionTest, ChecksExtendUntilTheSelectiveLimit) {
  Load("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
  PlyState* checked = Play(root, "a1a8");
  ASSERT_TRUE(checked->flags & InCheckFlag);
  SetIterationLimits(6);
  EXPECT_EQ(Extension(checked, 4), 1);
  EXPECT_EQ(Extension(checked, 5), 0);  // depth + ply reaches MaxSearchPly
  MaxSearchPly = 10;
  EXPECT_EQ(Extension(checked, 5), 1);
  // A quiet move without check is not extended.
  Load("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
  SetIterationLimits(6);
  EXPECT_EQ(Extension(Play(root, "a1a7"), 3), 0);
}

TEST_F(ExtensionTest, RecaptureIntoAPawnEndingExtendsThreePlies) {
  Load("8/4k3/3r4/8/8/3R4/4P3/4K3 w - - 0 1");
  SetIterationLimits(8);
  const int savedSwitch = PawnEndingExtensionSwitch;
  PlyState* afterCapture = Play(root, "d3d6");
  PlyState* afterRecapture = Play(afterCapture, "e7d6");
  PawnEndingExtensionSwitch = 1;
  EXPECT_EQ(Extension(afterRecapture, 3), 3);
  PawnEndingExtensionSwitch = 0;
  EXPECT_EQ(Extension(afterRecapture, 3), 1);  // an ordinary recapture
  PawnEndingExtensionSwitch = savedSwitch;
}

TEST_F(ExtensionTest, PawnReachingTheSeventhRankWithSupport) {
  Load("8/8/8/8/8/3p4/2k5/6K1 b - - 0 1");
  SetIterationLimits(8);
  PlyState* pushed = Play(root, "d3d2");
  EXPECT_EQ(Extension(pushed, 3), 1);
  // Not when the evaluation is hopeless against alpha.
  EXPECT_EQ(Extension(pushed, 3, lazyEval(pushed) + 5000), 0);
  // Not when White holds the promotion square better.
  Load("8/8/8/8/8/3p4/2k1K3/R7 b - - 0 1");
  SetIterationLimits(8);
  EXPECT_EQ(Extension(Play(root, "d3d2"), 3), 0);
}

class NullMoveTest : public SearchFixture {
 protected:
  NodeFrame Frame(PlyState* node, int alpha, int beta, int depth) {
    NodeFrame f{};
    f.alpha = f.alphaIn = alpha;
    f.beta = beta;
    f.depth = depth;
    f.lazy = lazyEval(node);
    f.singularTest = true;
    return f;
  }
};

TEST_F(NullMoveTest, FailsHighOnlyAtNullWindowNodes) {
  Load("3k4/8/8/8/8/8/8/3QK3 b - - 0 1");  // Black moves, then White is a queen up
  SetIterationLimits(6);
  PlyState* node = Play(root, "d8c7");
  int score = 0;
  NodeFrame narrow = Frame(node, 0, 1, 4);
  ASSERT_EQ(NullMoveCutoff(pos.get(), node, &narrow, &score), 1);
  EXPECT_GE(score, 1);
  EXPECT_FALSE(narrow.singularTest);
  NodeFrame wide = Frame(node, 0, 500, 4);
  EXPECT_EQ(NullMoveCutoff(pos.get(), node, &wide, &score), 0);
  EXPECT_TRUE(wide.singularTest);
  // Through the search: a null-window node fails high on the null move with at least beta.
  EXPECT_GE(Search(pos.get(), node, 0, 1, 4, 1, 0), 1);
  // Too shallow for a null move.
  Load("3k4/8/8/8/8/8/8/3QK3 b - - 0 1");
  PlyState* quiet = Play(root, "d8c7");
  NodeFrame tooShallow = Frame(quiet, 0, 1, 1);
  EXPECT_EQ(NullMoveCutoff(pos.get(), quiet, &tooShallow, &score), 0);
}

TEST_F(NullMoveTest, PawnEndingsNeedFreePawnMoves) {
  // A pawn ending where White's only pawn is blocked: zugzwang is possible, no null move.
  Load("8/8/4k3/8/3p4/3P4/8/3K4 b - - 0 1");
  SetIterationLimits(6);
  PlyState* node = Play(root, "e6e5");
  int score = 0;
  NodeFrame f = Frame(node, -2000, -1999, 5);
  EXPECT_EQ(NullMoveCutoff(pos.get(), node, &f, &score), 0);
  // Two free pawns: the null move is tried (and fails high against a low beta).
  Load("8/8/4k3/8/8/8/P6P/3K4 b - - 0 1");
  SetIterationLimits(6);
  node = Play(root, "e6e5");
  f = Frame(node, -2000, -1999, 5);
  EXPECT_EQ(NullMoveCutoff(pos.get(), node, &f, &score), 1);
}

}  // namespace
