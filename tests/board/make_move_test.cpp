#include <gtest/gtest.h>

#include <cstring>

#include "board/geometry.h"
#include "board/keys.h"
#include "board/position_check.h"
#include "board/test_fens.h"
#include "board_fixture.h"
#include "eval/piece_square.h"

namespace {

int Sq(const char* name) { return (name[0] - 'a' + 1) + 8 * (name[1] - '1'); }

bool Attacks(const Position* pos, int side, int target, int attacker) {
  const AttackCell& cell = pos->attacks[side].cell[target];
  for (int i = 0; i < cell.count; i++)
    if (cell.from[i] == attacker) return true;
  return false;
}

// The parts of the position that unmake restores byte for byte.
struct Snapshot {
  int8_t board[65];
  uint8_t entryOf[65];
  uint8_t pieceList[2][PieceListSize];
  PieceSlots slots[16];
  uint8_t pieceCount[16];
  int undoTop;
  uint32_t* keyPtr;
};

Snapshot Take(const Position* pos) {
  Snapshot s;
  std::memcpy(s.board, pos->board, sizeof s.board);
  std::memcpy(s.entryOf, pos->entryOf, sizeof s.entryOf);
  std::memcpy(s.pieceList, pos->pieceList, sizeof s.pieceList);
  std::memcpy(s.slots, pos->slots, sizeof s.slots);
  std::memcpy(s.pieceCount, pos->pieceCount, sizeof s.pieceCount);
  s.undoTop = pos->undoTop;
  s.keyPtr = pos->keyPtr;
  return s;
}

void ExpectSame(const Snapshot& a, const Snapshot& b) {
  EXPECT_EQ(std::memcmp(a.board, b.board, sizeof a.board), 0);
  for (int sq = 1; sq <= 64; sq++)
    if (a.board[sq]) {
      EXPECT_EQ(a.entryOf[sq], b.entryOf[sq]) << sq;
    }
  EXPECT_EQ(std::memcmp(a.pieceList, b.pieceList, sizeof a.pieceList), 0);
  EXPECT_EQ(std::memcmp(a.slots, b.slots, sizeof a.slots), 0);
  EXPECT_EQ(std::memcmp(a.pieceCount, b.pieceCount, sizeof a.pieceCount), 0);
  EXPECT_EQ(a.undoTop, b.undoTop);
  EXPECT_EQ(a.keyPtr, b.keyPtr);
}

// Parses the text on the current board, makes it and checks the result.
PlyState* Play(BoardSetup& b, PlyState* ps, const char* text) {
  ps->move = ParseMoveText(b.pos->board, text, ps->side);
  EXPECT_NE(ps->move, 0u) << text;
  return MakeMove(b.pos.get(), ps);
}

TEST(MakeMove, PawnDoubleStepFromTheStart) {
  BoardSetup b;
  PlyState* root = b.Load(StartFen);
  uint32_t* before = b.pos->keyPtr;
  PlyState* next = Play(b, root, "e2e4");
  ASSERT_NE(next, nullptr);
  uint32_t key1, key2;
  ComputeKeys(b.pos->board, &key1, &key2);
  EXPECT_EQ(next->key1, key1);
  EXPECT_EQ(next->key2, key2);
  EXPECT_EQ(next->flags & EnPassantMask, 21u);
  EXPECT_EQ(next->flags & AllCastling, AllCastling);
  EXPECT_EQ(b.pos->keyPtr, before + 1);
  EXPECT_EQ(*b.pos->keyPtr, key2);
  EXPECT_EQ(next->irreversible, b.pos->keyPtr);
  for (const char* s : {"f3", "g4", "h5"}) EXPECT_TRUE(Attacks(b.pos.get(), White, Sq(s), Sq("d1"))) << s;
  for (const char* s : {"d3", "c4", "b5", "a6"}) EXPECT_TRUE(Attacks(b.pos.get(), White, Sq(s), Sq("f1"))) << s;
  EXPECT_TRUE(PositionIsOk(b.pos.get(), next));
  UnmakeMove(b.pos.get(), root);
  EXPECT_EQ(b.pos->keyPtr, before);
  EXPECT_TRUE(PositionIsOk(b.pos.get(), root));
}

struct RightsCase {
  const char* fen;
  const char* move;
  uint32_t rightsAfter;
};

class MakeMoveRights : public ::testing::TestWithParam<RightsCase> {};

TEST_P(MakeMoveRights, DropsTheRightsTheMoveTouches) {
  BoardSetup b;
  PlyState* root = b.Load(GetParam().fen);
  PlyState* next = Play(b, root, GetParam().move);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->flags & AllCastling, GetParam().rightsAfter);
  EXPECT_TRUE(PositionIsOk(b.pos.get(), next));
}

INSTANTIATE_TEST_SUITE_P(
    MakeMove, MakeMoveRights,
    ::testing::Values(RightsCase{CastlingFen, "h1h8", 0x140},   // captures on h8
                      RightsCase{CastlingFen, "e1e2", 0x0C0},
                      RightsCase{CastlingFen, "a1a2", 0x2C0},
                      RightsCase{CastlingFen, "e1g1", 0x0C0},
                      RightsCase{"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "a8a1", 0x280},   // captures on a1
                      RightsCase{"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", 0x300},
                      RightsCase{"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "h8h7", 0x340}));

struct RefusedCase {
  const char* fen;
  const char* move;
};

class MakeMoveRefuses : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(MakeMoveRefuses, IllegalMovesLeaveThePositionUnchanged) {
  BoardSetup b;
  PlyState* root = b.Load(GetParam().fen);
  Snapshot before = Take(b.pos.get());
  EXPECT_EQ(Play(b, root, GetParam().move), nullptr);
  ExpectSame(before, Take(b.pos.get()));
  EXPECT_TRUE(PositionIsOk(b.pos.get(), root));
}

INSTANTIATE_TEST_SUITE_P(
    MakeMove, MakeMoveRefuses,
    ::testing::Values(RefusedCase{"4k3/8/8/8/8/8/5b2/4K2R w K - 0 1", "e1g1"},        // in check from f2
                      RefusedCase{"4k3/8/8/8/2b5/8/8/4K2R w K - 0 1", "e1g1"},        // bishop c4 attacks f1
                      RefusedCase{"4k3/8/8/8/8/8/8/4KN1R w K - 0 1", "e1g1"},         // f1 occupied
                      RefusedCase{"4k3/8/8/8/8/8/8/RN2K3 w Q - 0 1", "e1c1"},         // b1 occupied
                      RefusedCase{"4k3/8/8/8/8/8/8/R3K2r w Q - 0 1", "e1c1"},         // in check
                      RefusedCase{"4k3/8/8/8/8/8/8/R3K1r1 w Q - 0 1", "e1c1"},        // in check along the rank
                      RefusedCase{"4k3/8/8/8/8/8/8/R2rK3 w Q - 0 1", "e1c1"},         // d1 occupied and attacked
                      RefusedCase{"3rk3/8/8/8/8/8/8/R3K3 w Q - 0 1", "e1c1"},         // d1 attacked
                      RefusedCase{"8/8/8/KPp4r/8/8/8/7k w - c6 0 1", "b5c6"},         // en passant opens the rank
                      RefusedCase{"4k3/8/8/8/8/8/4R3/4K3 b - - 0 1", "e8e7"},         // into an attacked square
                      RefusedCase{"4k3/4r3/8/8/8/8/4B3/4K3 w - - 0 1", "e2d3"}));     // pinned piece

TEST(MakeMove, CastlingMovesTheRook) {
  BoardSetup b;
  PlyState* root = b.Load(CastlingFen);
  PlyState* next = Play(b, root, "e1c1");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(b.pos->board[Sq("c1")], WKing);
  EXPECT_EQ(b.pos->board[Sq("d1")], WRook);
  EXPECT_EQ(b.pos->board[Sq("a1")], 0);
  EXPECT_EQ(next->irreversible, b.pos->keyPtr);
  EXPECT_TRUE(PositionIsOk(b.pos.get(), next));
  PlyState* after = Play(b, next, "e8g8");
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(b.pos->board[Sq("g8")], BKing);
  EXPECT_EQ(b.pos->board[Sq("f8")], BRook);
  EXPECT_TRUE(PositionIsOk(b.pos.get(), after));
  UnmakeMove(b.pos.get(), next);
  UnmakeMove(b.pos.get(), root);
  EXPECT_TRUE(PositionIsOk(b.pos.get(), root));
}

TEST(MakeMove, EnPassantCaptureAndUnmake) {
  BoardSetup b;
  PlyState* root = b.Load("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
  Snapshot before = Take(b.pos.get());
  PlyState* next = Play(b, root, "e5d6");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(b.pos->board[Sq("d5")], 0);
  EXPECT_EQ(b.pos->board[Sq("d6")], WPawn);
  EXPECT_EQ(next->menCount, root->menCount - 1);
  EXPECT_EQ(next->material[Black], 0);
  EXPECT_EQ(next->signature[Black], 0u);
  EXPECT_TRUE(PositionIsOk(b.pos.get(), next));
  UnmakeMove(b.pos.get(), root);
  ExpectSame(before, Take(b.pos.get()));
  EXPECT_TRUE(PositionIsOk(b.pos.get(), root));
}

TEST(MakeMove, PromotionAndUnmakeRestoreCountsAndSlots) {
  BoardSetup b;
  PlyState* root = b.Load("1r2k3/P7/8/8/8/8/8/Q3K3 w - - 0 1");
  Snapshot before = Take(b.pos.get());
  int pawnEntry = b.pos->entryOf[Sq("a7")];
  PlyState* next = Play(b, root, "a7b8q");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(b.pos->pieceCount[WQueen], 2);
  EXPECT_EQ(b.pos->pieceCount[WPawn], 0);
  EXPECT_EQ(b.pos->pieceCount[BRook], 0);
  EXPECT_EQ(b.pos->slots[WQueen].count, 2);
  EXPECT_EQ(b.pos->slots[WQueen].entry[1], pawnEntry);
  EXPECT_EQ(b.pos->pieceList[White][pawnEntry], Sq("b8"));
  EXPECT_EQ(next->material[White], 2 * 1055);
  EXPECT_EQ(next->phaseCount[White], 12);
  EXPECT_EQ(next->phaseCount[Black], 0);
  EXPECT_EQ(next->signature[White], 2048u);
  EXPECT_EQ(next->capturedKinds, 0x10);
  EXPECT_TRUE(PositionIsOk(b.pos.get(), next));
  UnmakeMove(b.pos.get(), root);
  ExpectSame(before, Take(b.pos.get()));
  EXPECT_EQ(b.pos->pieceList[White][pawnEntry], Sq("a7"));
  EXPECT_TRUE(PositionIsOk(b.pos.get(), root));
}

// Ten knights fill their slots: an eleventh by promotion is refused, a queen is not.
TEST(MakeMove, PromotionIntoFullSlotsIsRefused) {
  BoardSetup b;
  PlyState* root = b.Load("NNNNNNN1/NNN4P/8/8/8/8/8/k3K3 w - - 0 1");
  EXPECT_EQ(Play(b, root, "h7h8n"), nullptr);
  EXPECT_TRUE(PositionIsOk(b.pos.get(), root));
  PlyState* next = Play(b, root, "h7h8q");
  ASSERT_NE(next, nullptr);
  EXPECT_TRUE(PositionIsOk(b.pos.get(), next));
}

TEST(MakeMove, NullMoveKeepsKeysClearsEnPassantNegatesScore) {
  BoardSetup b;
  PieceSquareTable[WPawn][Sq("e4")] = 30;
  PlyState* root = b.Load("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  PieceSquareTable[WPawn][Sq("e4")] = 0;
  EXPECT_EQ(root->pstSum, -30);
  root->move = MoveNull;
  PlyState* next = MakeMove(b.pos.get(), root);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->key1, root->key1);
  EXPECT_EQ(next->key2, root->key2);
  EXPECT_EQ(next->flags, AllCastling);
  EXPECT_EQ(next->pstSum, 30);
  EXPECT_EQ(next->irreversible, b.pos->keyPtr);
  UnmakeMove(b.pos.get(), root);
  EXPECT_EQ(b.pos->keyPtr, root->irreversible);
}

TEST(MakeMove, PieceSquareSumFollowsTheMove) {
  BoardSetup b;
  PlyState* root = b.Load("4k3/8/8/3p4/4P3/8/8/4K2R w K - 0 1");
  PieceSquareTable[WPawn][Sq("e4")] = 5;
  PieceSquareTable[WPawn][Sq("d5")] = 20;
  PieceSquareTable[BPawn][Sq("d5")] = 7;
  PieceSquareTable[WRook][Sq("f1")] = 11;
  root->pstSum = 5 - 7;
  PlyState* next = Play(b, root, "e4d5");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->pstSum, -(5 - 7 - 5 + 20 + 7));
  UnmakeMove(b.pos.get(), root);
  root->pstSum = 5 - 7;
  next = Play(b, root, "e1g1");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->pstSum, -(5 - 7 + 11));
  UnmakeMove(b.pos.get(), root);
  for (auto& row : PieceSquareTable)
    for (auto& v : row) v = 0;
}

TEST(MakeMove, GivingCheckSetsTheFlagAndCounter) {
  BoardSetup b;
  PlyState* root = b.Load("4k3/8/8/8/8/8/8/R3K3 w Q - 0 1");
  PlyState* next = Play(b, root, "a1a8");
  ASSERT_NE(next, nullptr);
  EXPECT_TRUE(next->flags & InCheckFlag);
  EXPECT_EQ(next->checkCount[Black], 1);
  EXPECT_EQ(next->checkCount[White], 0);
  EXPECT_EQ(next->irreversible, root->irreversible);  // a quiet rook move is reversible
}

}  // namespace
