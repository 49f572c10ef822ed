#include "search/principal_variation.h"
#include "board/test_fens.h"
#include "search_fixture.h"

namespace {

class PrincipalVariationTest : public SearchFixture {
 protected:
  struct Step {
    uint32_t key1, key2;
    int side;
    Move move;  // the move played from this position
  };

  // Plays the moves from the root and records each position on the way; the position is
  // left as it was.
  std::vector<Step> Walk(std::initializer_list<const char*> moves) {
    std::vector<Step> steps;
    std::vector<PlyState*> made;
    PlyState* node = root;
    for (const char* text : moves) {
      const Move move = FindMove(node, text);
      steps.push_back({node->key1, node->key2, node->side, move});
      made.push_back(node);
      node = Play(node, text);
    }
    steps.push_back({node->key1, node->key2, node->side, 0});
    for (auto it = made.rbegin(); it != made.rend(); ++it) UnmakeMove(pos.get(), *it);
    return steps;
  }

  static void Store(const Step& s, Move move, int score, uint32_t bound, bool tableB = false) {
    TransEntry* slot = tableB ? TransSlotB(s.side, s.key1) : TransSlotA(s.side, s.key1);
    WriteTransEntry(slot, s.key2, move, 0, PackTransData(score, 5, bound | TransGeneration));
  }

  std::string Extract(Move rootMove, int score) {
    char text[256] = "";
    root->move = rootMove;
    ExtractPV(pos.get(), root, score, text, sizeof text);
    return text;
  }
};

TEST_F(PrincipalVariationTest, FollowsExactEntriesWithTheExpectedScore) {
  Load(StartFen);
  ClearHashTables();
  const std::vector<Step> s = Walk({"e2e4", "e7e5", "g1f3"});
  Store(s[1], s[1].move, 30, 0);
  Store(s[2], s[2].move, -30, FlagLower);  // a bound ends the variation
  EXPECT_EQ(Extract(s[0].move, 30), " e7e5");
  EXPECT_EQ(SavedPv[0], s[0].move);
  EXPECT_EQ(SavedPv[1], s[1].move);
  EXPECT_EQ(SavedPv[2], 0u);
  EXPECT_EQ(SavedPvEntries[1].slot, TransSlotA(s[1].side, s[1].key1));

  Store(s[2], s[2].move, -30, 0);
  EXPECT_EQ(Extract(s[0].move, 30), " e7e5 g1f3");
  EXPECT_EQ(SavedPv[2], s[2].move);
  EXPECT_EQ(Extract(s[0].move, 31), "");  // the score does not match
  EXPECT_EQ(SavedPv[1], 0u);
  // A mate score accepts any exact entry of table A.
  EXPECT_EQ(Extract(s[0].move, 29990), " e7e5 g1f3");
}

TEST_F(PrincipalVariationTest, TableBEntriesMoveIntoTableA) {
  Load(StartFen);
  ClearHashTables();
  const std::vector<Step> s = Walk({"d2d4", "d7d5"});
  Store(s[1], s[1].move, 12, 0, true);
  TransEntry e;
  ASSERT_FALSE(ReadTransEntry(TransSlotA(s[1].side, s[1].key1), s[1].key2, &e));
  EXPECT_EQ(Extract(s[0].move, 12), " d7d5");
  EXPECT_TRUE(ReadTransEntry(TransSlotA(s[1].side, s[1].key1), s[1].key2, &e));
}

TEST_F(PrincipalVariationTest, StopsAtTheThirdOccurrenceAndAtIllegalMoves) {
  Load("4k1n1/8/8/8/8/8/8/1N2K3 w - - 0 1");
  ClearHashTables();
  const std::vector<Step> s = Walk({"b1c3", "g8f6", "c3b1", "f6g8"});
  for (int i = 1; i < 4; i++) Store(s[i], s[i].move, 0, 0);
  Store(s[4], s[0].move, 0, 0);  // back at the root position: the cycle goes on
  const std::string line = Extract(s[0].move, 0);
  // The root position occurs at plies 0, 4 and 8: the variation ends before ply 8.
  EXPECT_EQ(line, " g8f6 c3b1 f6g8 b1c3 g8f6 c3b1 f6g8");
  EXPECT_NE(SavedPv[7], 0u);
  EXPECT_EQ(SavedPv[8], 0u);

  // A king move into the rook's file is plausible but illegal: it is not shown.
  Load("4k3/8/8/8/8/8/8/3RK3 w - - 0 1");
  ClearHashTables();
  const std::vector<Step> t = Walk({"e1f1"});
  Store(t[1], MakeMoveWord(61, 60, BKing), 0, 0);
  EXPECT_EQ(Extract(t[0].move, 0), "");
  EXPECT_EQ(SavedPv[1], 0u);
}

TEST_F(PrincipalVariationTest, SavedEntriesAreWrittenBack) {
  Load(StartFen);
  ClearHashTables();
  const std::vector<Step> s = Walk({"e2e4", "c7c5"});
  Store(s[1], s[1].move, 20, 0);
  ASSERT_EQ(Extract(s[0].move, 20), " c7c5");
  TransEntry* slot = TransSlotA(s[1].side, s[1].key1);
  WriteTransEntry(slot, 0xDEAD, 1, 0, PackTransData(0, 1, TransGeneration));
  RestoreSavedPv();
  TransEntry e;
  ASSERT_TRUE(ReadTransEntry(slot, s[1].key2, &e));
  EXPECT_EQ(e.move, s[1].move);
  // A permanent entry in the slot stays.
  WriteTransEntry(slot, 0xBEEF, 1, 0, PackTransData(0, 1, 1));
  RestoreSavedPv();
  EXPECT_TRUE(ReadTransEntry(slot, 0xBEEF, &e));
}

TEST_F(PrincipalVariationTest, TheTextNeverOverrunsItsBuffer) {
  Load("4k1n1/8/8/8/8/8/8/1N2K3 w - - 0 1");
  ClearHashTables();
  const std::vector<Step> s = Walk({"b1c3", "g8f6", "c3b1", "f6g8"});
  for (int i = 1; i < 4; i++) Store(s[i], s[i].move, 0, 0);
  char text[12];
  std::memset(text, 'x', sizeof text);
  text[0] = 0;
  root->move = s[0].move;
  ExtractPV(pos.get(), root, 0, text, 11);
  EXPECT_STREQ(text, " g8f6 c3b1");
  EXPECT_EQ(text[11], 'x');
}

}  // namespace
