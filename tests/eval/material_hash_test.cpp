// The material table across the searches of a game: kept while the root values its entries
// read stay the same, cleared when they change, and its kept entries equal fresh balances.
#include <gtest/gtest.h>

#include <initializer_list>

#include "board/make_move.h"
#include "board/movegen.h"
#include "board/test_fens.h"
#include "eval/eval_fixture.h"
#include "eval/material.h"
#include "protocol/options.h"

namespace {

struct MaterialHashTest : ::testing::Test {
  void SetUp() override {
    SetOptionDefaults();
    ClearMaterialHash();
  }
  void TearDown() override { SetOptionDefaults(); }
  EvalSetup s;

  // Looks up every node of a two-ply walk from the root; counts the entries that differ
  // from what the balance works out afresh.
  int WalkLookups(PlyState* ps, int depth) {
    int wrong = 0;
    MaterialEntry scratch{};
    if (!MaterialEntryIsOk(MaterialLookup(s.pos.get(), ps, &scratch), s.pos.get(), ps)) wrong++;
    if (depth == 0) return wrong;
    GenerateMoves(s.pos.get(), ps, GenAll, 1);
    for (const MoveEntry* list : {ps->tacticalBase, ps->quietBase})
      for (const MoveEntry* e = list; e->score != MoveListEnd; e++) {
        ps->move = e->move;
        PlyState* next = MakeMove(s.pos.get(), ps);
        if (!next) continue;
        wrong += WalkLookups(next, depth - 1);
        UnmakeMove(s.pos.get(), ps);
      }
    return wrong;
  }
};

}  // namespace

TEST_F(MaterialHashTest, KeptWhileTheRootValuesStayAndRightWhenKept) {
  const char* const before = "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQK2R w KQkq - 6 5";
  const char* const after = "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQ1RK1 b kq - 7 5";  // castled
  EXPECT_EQ(WalkLookups(s.Load(before), 2), 0);
  const int filled = MaterialHashFilled();
  EXPECT_GT(filled, 0);
  s.Load(after);
  EXPECT_EQ(MaterialHashFilled(), filled);  // the same pawns at the root: nothing cleared
  EXPECT_EQ(WalkLookups(s.root, 2), 0);     // and the kept entries are what a fresh balance gives
}

TEST_F(MaterialHashTest, ClearedWhenTheRootValuesChange) {
  struct Case {
    const char* first;
    const char* second;
  } cases[] = {
      // A pawn fewer at the root.
      {KiwipeteFen, "r3k2r/p1ppqpb1/bn2pnp1/3PN3/4P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"},
      // The pawn count falls to five, where the root count stops being kept.
      {"4k3/pppppp2/8/8/8/8/PPPPPP2/4K3 w - - 0 1", "4k3/ppppp3/8/8/8/8/PPPPPP2/4K3 w - - 0 1"},
  };
  for (const Case& c : cases) {
    ClearMaterialHash();
    EXPECT_EQ(WalkLookups(s.Load(c.first), 1), 0) << c.first;
    EXPECT_GT(MaterialHashFilled(), 0) << c.first;
    s.Load(c.second);
    EXPECT_EQ(MaterialHashFilled(), 0) << c.second;
    EXPECT_EQ(WalkLookups(s.root, 1), 0) << c.second;
  }
}
