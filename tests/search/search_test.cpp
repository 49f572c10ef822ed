#include "search/search.h"
#include "search_fixture.h"
#include "search/repetition.h"

namespace {

class SearchTest : public SearchFixture {};

// Mates in k moves (known by an outside engine) score 30000 - (2k - 1) by depth 2k + 1.
TEST_F(SearchTest, FindsForcedMates) {
  struct Case { const char* fen; int k; const char* move; };
  const Case cases[] = {
      {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 1, "a1a8"},
      {"6k1/pp3ppp/8/8/8/8/q4PPP/1R4K1 b - - 0 1", 1, "a2b1"},
      {"k7/8/2K5/8/8/8/8/7R w - - 0 1", 2, nullptr},
      {"7k/8/5K2/8/8/8/8/R7 w - - 0 1", 2, nullptr},
      {"r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", 3, "f8c5"},
  };
  for (const Case& c : cases) {
    Load(c.fen);
    const RootResult r = SearchTo(2 * c.k + 1);
    EXPECT_EQ(r.score, MateScore - (2 * c.k - 1)) << c.fen;
    if (c.move) {
      EXPECT_EQ(Text(r.best), c.move) << c.fen;
    }
  }
}

TEST_F(SearchTest, MatedAndStalemated) {
  Load("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");  // mated at the root
  SetIterationLimits(3);
  EXPECT_EQ(Search(pos.get(), root, -MateScore, MateScore, 3, 1, 0), -MateScore);
  Load("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");  // stalemate
  SetIterationLimits(3);
  EXPECT_EQ(Search(pos.get(), root, -MateScore, MateScore, 3, 1, 0), 0);
  // The mated side at ply 3 of a line sees ply - 30000.
  Load("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
  SetIterationLimits(5);
  PlyState* p1 = Play(root, "g1f1");
  PlyState* p2 = Play(p1, "g8h8");
  PlyState* p3 = Play(p2, "a1a8");
  EXPECT_EQ(Search(pos.get(), p3, -MateScore, MateScore, 2, 1, 0), 3 - MateScore);
}

TEST_F(SearchTest, InsufficientMaterialIsADrawAtOnce) {
  struct Case { const char* fen; bool draw; };
  const Case cases[] = {
      {"8/8/4k3/8/8/3NK3/8/8 w - - 0 1", true},
      {"8/8/4k3/8/8/3BK3/8/8 b - - 0 1", true},
      {"8/8/4k3/8/8/4K3/8/8 w - - 0 1", true},
      {"8/8/4k3/8/8/2NNK3/8/8 w - - 0 1", false},
      {"8/8/4k3/8/8/3RK3/8/8 w - - 0 1", false},
      {"8/8/4k3/8/8/3PK3/8/8 w - - 0 1", false},
  };
  for (const Case& c : cases) {
    Load(c.fen);
    SetIterationLimits(4);
    const int score = Search(pos.get(), root, -MateScore, MateScore, 4, 1, 0);
    if (c.draw) {
      EXPECT_EQ(score, 0) << c.fen;
      EXPECT_EQ(pos->nodeCount, 0u) << c.fen;
    } else {
      EXPECT_GT(pos->nodeCount, 0u) << c.fen;
    }
  }
}

// Lays out a key history of `plies` distinct reversible plies before the root.
static void SetReversiblePlies(Position* pos, PlyState* root, int plies) {
  for (int i = 0; i < plies; i++) pos->keyBuffer[i] = 0x51ED0000u + uint32_t(i);
  pos->keyBuffer[plies] = root->key2;
  pos->keyPtr = &pos->keyBuffer[plies];
  root->irreversible = &pos->keyBuffer[0];
}

TEST_F(SearchTest, FiftyMoveRule) {
  struct Case { const char* fen; int plies; int expected; bool exact; };
  const Case cases[] = {
      // At 99 plies the capture of the rook still wins; at 100 the root is a draw.
      {"8/8/4k3/8/8/4K3/8/Q6r w - - 0 1", 99, 0, false},
      {"8/8/4k3/8/8/4K3/8/Q6r w - - 0 1", 100, 0, true},
      // In check with a legal move: a draw; in check without one: mated.
      {"4k3/8/8/8/8/8/3q4/4K3 w - - 0 1", 100, 0, true},
      {"R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1", 100, -MateScore, true},
  };
  for (const Case& c : cases) {
    Load(c.fen);
    SetReversiblePlies(pos.get(), root, c.plies);
    SetIterationLimits(3);
    const int score = Search(pos.get(), root, -MateScore, MateScore, 3, 1, 0);
    if (c.exact) {
      EXPECT_EQ(score, c.expected) << c.fen << " " << c.plies;
    } else {
      EXPECT_GT(score, 500) << c.fen << " " << c.plies;
    }
  }
}

TEST_F(SearchTest, RepetitionInsideTheSearch) {
  // Knights out and back: the position at ply 4 repeats the root, a draw at once.
  Load("4k1n1/8/8/8/8/8/8/1N2K3 w - - 0 1");
  SetIterationLimits(4);
  PlyState* node = root;
  for (const char* move : {"b1c3", "g8f6", "c3b1", "f6g8"}) node = Play(node, move);
  ASSERT_EQ(node->key2, root->key2);
  EXPECT_EQ(Search(pos.get(), node, -100, 100, 2, 1, 0), 0);
  EXPECT_EQ(pos->nodeCount, 0u);

  // Near the root (ply 2) one earlier occurrence is not enough, two are.
  Load("4k1n1/8/8/8/8/8/8/1N2K3 w - - 0 1");
  SetIterationLimits(4);
  SetReversiblePlies(pos.get(), root, 4);
  PlyState* p2 = Play(Play(root, "b1c3"), "g8f6");
  ASSERT_EQ(pos->keyPtr, &pos->keyBuffer[6]);
  pos->keyBuffer[0] = p2->key2;
  Search(pos.get(), p2, -100, 100, 2, 1, 0);
  EXPECT_GT(pos->nodeCount, 0u);
  pos->nodeCount = 0;
  pos->keyBuffer[2] = p2->key2;
  EXPECT_EQ(Search(pos.get(), p2, -100, 100, 2, 1, 0), 0);
  EXPECT_EQ(pos->nodeCount, 0u);
}

TEST_F(SearchTest, SameSearchSameNodes) {
  const char* fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";
  Load(fen);
  ClearHashTables();
  const RootResult first = SearchTo(6);
  Load(fen);
  ClearHashTables();
  const RootResult second = SearchTo(6);
  EXPECT_EQ(first.nodes, second.nodes);
  EXPECT_EQ(first.best, second.best);
  EXPECT_EQ(first.score, second.score);
}

// An entry made under other evaluation settings still orders the moves but cuts nothing.
TEST_F(SearchTest, EntriesOfOtherSettingsGiveOnlyTheirMove) {
  const char* fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";
  struct Case { bool trusted; };
  for (const Case c : {Case{true}, Case{false}}) {
    Load(fen);
    ClearHashTables();
    SetIterationLimits(3);
    const Move move = FindMove(root, "d2d3");
    const uint32_t generation = TransGeneration == 2 ? 31 : TransGeneration - 1;
    GenerationSignature[generation] = c.trusted ? CurrentEvalSignature : CurrentEvalSignature + 1;
    WriteTransEntry(TransSlotA(root->side, root->key1), root->key2, move, 0, PackTransData(123, 9, generation));
    const int score = Search(pos.get(), root, -MateScore, MateScore, 3, 1, 0);
    if (c.trusted) {
      EXPECT_EQ(score, 123);
      EXPECT_EQ(pos->nodeCount, 1u);
      EXPECT_EQ(root->bestMove, move);
    } else {
      EXPECT_NE(score, 123);
      EXPECT_GT(pos->nodeCount, 100u);
      EXPECT_EQ(root->hashMove1, move);  // searched first
    }
  }
}

// A null-move cut-off at a null-window node is kept in the table as a lower bound with no move;
// at a wide window the null move decides nothing.
TEST_F(SearchTest, NullMoveCutoffIsStoredAsALowerBound) {
  const char* fen = "rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
  Load(fen);
  ClearHashTables();
  SetIterationLimits(6);
  ASSERT_NE(NullMoveSwitch, 0);
  const int score = Search(pos.get(), root, 0, 1, 6, NullMoveSwitch, 0);
  EXPECT_GE(score, 1);
  EXPECT_EQ(root->bestMove, 0u);
  TransEntry e;
  ASSERT_TRUE(ReadTransEntry(TransSlotA(root->side, root->key1), root->key2, &e) ||
              ReadTransEntry(TransSlotB(root->side, root->key1), root->key2, &e));
  EXPECT_TRUE(EntryIsLower(e));
  EXPECT_EQ(e.move, 0u);
  EXPECT_EQ(EntryScore(e), score);
  EXPECT_EQ(EntryDepth(e), 6);
  for (const Move* k = pos->killers[root->ply]; k < pos->killers[root->ply] + 2; k++) EXPECT_EQ(*k, 0u);

  Load(fen);
  ClearHashTables();
  SetIterationLimits(6);
  Search(pos.get(), root, -MateScore, MateScore, 6, NullMoveSwitch, 0);
  EXPECT_NE(root->bestMove, 0u);
}

TEST_F(SearchTest, StopFlagEndsTheSearchWithoutStoring) {
  Load("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4");
  ClearHashTables();
  SetIterationLimits(4);
  StopFlag = 1;
  EXPECT_EQ(Search(pos.get(), root, -MateScore, MateScore, 4, 1, 0), 0);
  TransEntry e;
  EXPECT_FALSE(ReadTransEntry(TransSlotA(root->side, root->key1), root->key2, &e));
  StopFlag = 0;
}

}  // namespace
