// Pawn-structure analysis: the facts and scores of a PawnEntry and the pawn table.
#include <initializer_list>

#include "board/make_move.h"
#include "board/movegen.h"
#include "board/option_values.h"
#include "eval/eval_fixture.h"
#include "eval/eval_positions.h"
#include "eval/pawn_hash.h"
#include "eval/pawn_structure.h"
#include "eval/root_tables.h"
#include "eval/squares.h"

namespace {

uint64_t Bit(int s) { return uint64_t(1) << (s - 1); }

struct PawnStructureTest : ::testing::Test {
  EvalSetup s;
  PawnEntry e{};
  // Analyses the FEN's pawns under a given phase class.
  const PawnEntry& Analyse(const char* fen, int phase) {
    s.Load(fen);
    int saved = PhaseCode;
    PhaseCode = phase;
    AnalysePawns(s.pos.get(), &e);
    PhaseCode = saved;
    return e;
  }
};

}  // namespace

TEST_F(PawnStructureTest, NoPawnIsPassedInTheOpening) {
  const char* fen = "4k3/8/8/3P4/8/8/8/4K3 w - - 0 1";
  EXPECT_EQ(Analyse(fen, 1).passed[White], 0u);
  EXPECT_EQ(Analyse(fen, 2).passed[White], Bit(sq::D5));
}

TEST_F(PawnStructureTest, OnlyTheFrontOfDoubledPassersIsPassed) {
  const PawnEntry& a = Analyse("4k3/8/3P4/3P4/8/8/8/4K3 w - - 0 1", 4);
  EXPECT_EQ(a.passed[White], Bit(sq::D6));
  const PawnEntry& b = Analyse("4k3/8/8/8/3p4/3p4/8/4K3 b - - 0 1", 4);  // Black runs down
  EXPECT_EQ(b.passed[Black], Bit(sq::D3));
}

TEST_F(PawnStructureTest, KingsOnlyLeaveTheCentreAndAverageFileEmpty) {
  const PawnEntry& a = Analyse("4k3/8/8/8/8/8/8/4K3 w - - 0 1", 4);
  EXPECT_EQ(a.centreSquare[White], 0);
  EXPECT_EQ(a.centreSquare[Black], 0);
  EXPECT_EQ(a.averageFile, 0);
  EXPECT_EQ(a.openFiles, 8);
}

// White d3 and d4 alone. d3: doubled -7, half-open for Black -2, isolated doubled -15,
// weak -10, Black rook on the file -2; d4 the same with a passer value of 32 instead of
// nothing. Then the isolated count -2 and the pawn-count difference of two -4.
TEST_F(PawnStructureTest, IsolatedDoubledPairScoresEveryTerm) {
  const PawnEntry& a = Analyse("4k3/8/8/8/3P4/3P4/8/4K3 w - - 0 1", 4);
  EXPECT_EQ(a.score, -36 + (32 - 7 - 2 - 15 - 10 - 2) - 2 - 4);
  EXPECT_EQ(a.passed[White], Bit(sq::D4));
  EXPECT_EQ(a.isolated[White], 2);
  EXPECT_EQ(a.rookCorrection[Black], -2 - 7 - 2 - 7);
  EXPECT_EQ(a.weak[White], Bit(sq::D3) | Bit(sq::D4));
  EXPECT_TRUE(a.flags & PawnWhiteWeakLow);
  EXPECT_TRUE(a.flags & PawnOpenCentre);
  // The colour-flipped structure gives the mirrored entry.
  const PawnEntry& b = Analyse("4k3/8/3p4/3p4/8/8/8/4K3 b - - 0 1", 4);
  EXPECT_EQ(b.score, 36 - (32 - 7 - 2 - 15 - 10 - 2) + 2 + 4);
  EXPECT_EQ(b.rookCorrection[White], 2 + 7 + 2 + 7);
  EXPECT_TRUE(b.flags & PawnBlackWeakLow);
}

// d4 and e5 are connected passers one rank apart: half the pair value. In the middlegame
// the endgame correction gets half the difference of the two tables, (Q - Qm) / 2. Emptying
// the endgame tables ("Passed Pawns (Endgame)" 0) takes off the passer values 32 + 44 and
// turns that half from (30 - 21) / 2 = 4 into (0 - 21) / 2 = -10.
TEST_F(PawnStructureTest, HalfConnectedPassersHalveTheTableDifference) {
  const char* fen = "4k3/8/8/4P3/3P4/8/8/4K3 w - - 0 1";
  const int full = Analyse(fen, 2).endgameCorrection;
  EXPECT_EQ(e.passed[White], Bit(sq::D4) | Bit(sq::E5));
  OptionWeights[WeightPassedPawnsEnd] = 0;
  const int empty = Analyse(fen, 2).endgameCorrection;
  OptionWeights[WeightPassedPawnsEnd] = 100;
  EXPECT_EQ(full - empty, 32 + 44 + 4 - -10);
}

TEST_F(PawnStructureTest, CentreTypes) {
  struct Case {
    const char* fen;
    uint16_t flag;
  } cases[] = {
      {"rnbqkbnr/pp3ppp/4p3/2ppP3/3P4/8/PPP2PPP/RNBQKBNR w KQkq - 0 4", PawnClosedCentre},
      {"rnbqkbnr/pp3ppp/8/8/8/8/PP3PPP/RNBQKBNR w KQkq - 0 4", PawnOpenCentre},
      {"rnbqkbnr/pp2pppp/8/2pp4/3P4/8/PPP1PPPP/RNBQKBNR w KQkq - 0 3", PawnClosedCentre},
      {"rnbqkbnr/ppp2ppp/4p3/8/3P4/8/PPP1PPPP/RNBQKBNR w KQkq - 0 3", 0},  // half-open
  };
  for (const Case& c : cases) {
    const PawnEntry& a = Analyse(c.fen, 2);
    EXPECT_EQ(a.flags & (PawnClosedCentre | PawnOpenCentre), c.flag) << c.fen;
  }
}

TEST_F(PawnStructureTest, LockedChainKeepsBothKingsOnTheirSide) {
  const PawnEntry& a = Analyse("4k3/8/1p1p1p1p/pPpPpPpP/P1P1P1P1/8/8/4K3 w - - 0 1", 4);
  EXPECT_TRUE(a.flags & PawnLocked);
  EXPECT_TRUE(a.kingReach[White] & Bit(sq::E1));
  EXPECT_FALSE(a.kingReach[White] & Bit(sq::E8));
  const PawnEntry& b = Analyse("4k3/8/1p1p1p2/pPpPpP2/P1P1P3/8/8/4K3 w - - 0 1", 4);
  EXPECT_FALSE(b.flags & PawnLocked);
}

TEST_F(PawnStructureTest, OutpostsAndNarrowSpan) {
  const PawnEntry& a = Analyse("4k3/8/8/4p3/4P3/8/8/4K3 w - - 0 1", 4);
  EXPECT_EQ(a.narrowScale, 60 - 5);
  EXPECT_TRUE(a.outposts[White] & Bit(sq::D5));
  const PawnEntry& b = Analyse("4k3/2p5/8/8/4P3/8/8/4K3 w - - 0 1", 4);
  EXPECT_FALSE(b.outposts[White] & Bit(sq::D5));  // c7 can still chase a piece from d6 and d5
  EXPECT_TRUE(b.outposts[White] & Bit(sq::F6));
}

TEST_F(PawnStructureTest, TableLookupFollowsTheRootStamp) {
  s.Load("4k3/8/3p4/8/8/4P3/8/4K3 w - - 0 1");
  ClearEvalTables();
  EXPECT_EQ(FindPawnEntry(s.pos.get(), s.root->pawnKey1, s.root->pawnKey2), nullptr);
  const PawnEntry* e = LookupPawnEntry(s.pos.get(), s.root);
  EXPECT_EQ(FindPawnEntry(s.pos.get(), s.root->pawnKey1, s.root->pawnKey2), e);
  PawnStamp ^= 0x100;
  EXPECT_EQ(FindPawnEntry(s.pos.get(), s.root->pawnKey1, s.root->pawnKey2), nullptr);
  PawnStamp ^= 0x100;
}

TEST_F(PawnStructureTest, AdvancedPassersOfBothColours) {
  const PawnEntry& a = Analyse("4k3/8/3P4/8/8/8/8/4K3 w - - 0 1", 4);
  EXPECT_TRUE(PawnEntryHasAdvancedPasser(&a, White));
  EXPECT_FALSE(PawnEntryHasAdvancedPasser(&a, Black));
  const PawnEntry& b = Analyse("4k3/8/8/8/8/3p4/8/4K3 w - - 0 1", 4);
  EXPECT_TRUE(PawnEntryHasAdvancedPasser(&b, Black));
  EXPECT_FALSE(PawnEntryHasAdvancedPasser(&b, White));
}

TEST_F(PawnStructureTest, EntriesAgreeWithTheBoardOverATreeWalk) {
  int checked = 0;
  for (const char* fen : EvalSpreadFens) {
    s.Load(fen);
    PlyState* root = s.root;
    GenerateMoves(s.pos.get(), root, GenAll, 1);
    for (MoveEntry* list : {root->tacticalBase, root->quietBase})
      for (MoveEntry* m = list; m->score != MoveListEnd; m++) {
        root->move = m->move;
        PlyState* child = MakeMove(s.pos.get(), root);
        if (!child) continue;
        const PawnEntry* entry = LookupPawnEntry(s.pos.get(), child);
        EXPECT_TRUE(PawnEntryIsOk(entry, s.pos->board)) << fen;
        EXPECT_EQ(FindPawnEntry(s.pos.get(), child->pawnKey1, child->pawnKey2), entry);
        checked++;
        UnmakeMove(s.pos.get(), root);
      }
  }
  EXPECT_GT(checked, 1000);
  const PawnEntry& a = Analyse("4k3/8/3p4/8/8/4P3/8/4K3 w - - 0 1", 4);
  PawnEntry broken = a;
  broken.rearmost[White][5] = 2;
  EXPECT_TRUE(PawnEntryIsOk(&a, s.pos->board));
  EXPECT_FALSE(PawnEntryIsOk(&broken, s.pos->board));
}
