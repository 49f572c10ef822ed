#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "board/move_checks.h"
#include "board/move_order.h"
#include "board/test_fens.h"
#include "board_fixture.h"

namespace {

int Sq(const char* name) { return (name[0] - 'a' + 1) + 8 * (name[1] - '1'); }

using Texts = std::vector<std::string>;

TEST(MoveGen, StartPositionQuietOrder) {
  BoardSetup b;
  PlyState* root = b.Load(StartFen);
  GenerateMoves(b.pos.get(), root, GenQuiet, 1);
  Texts expected = {"e1g1", "e1c1"};
  for (char f = 'a'; f <= 'h'; f++) {
    expected.push_back(std::string{f, '2', f, '3'});
    expected.push_back(std::string{f, '2', f, '4'});
  }
  for (const char* m : {"b1c3", "b1a3", "g1h3", "g1f3"}) expected.push_back(m);
  EXPECT_EQ(MoveStrings(ListMoves(root->quietBase)), expected);
  EXPECT_EQ(root->listsMade, 2);
  EXPECT_EQ(root->moveTotal, 22);
  EXPECT_EQ(root->quietCursor, root->quietBase + 23);
  EXPECT_EQ(ListMoves(root->quietBase)[3], MakeMoveWord(Sq("a2"), Sq("a4"), WPawn) | MoveDoubleStep);

  GenerateMoves(b.pos.get(), root, GenTactical, 1);
  EXPECT_TRUE(ListMoves(root->tacticalBase).empty());
  EXPECT_EQ(root->listsMade, 3);
}

TEST(MoveGen, PromotionOrderFollowsTheFlag) {
  BoardSetup b;
  PlyState* root = b.Load("k7/4P3/8/8/8/8/8/4K3 w - - 0 1");
  GenerateMoves(b.pos.get(), root, GenTactical, 0);
  std::vector<Move> queenOnly = ListMoves(root->tacticalBase);
  ASSERT_EQ(queenOnly.size(), 1u);
  EXPECT_EQ(queenOnly[0], MakeMoveWord(Sq("e7"), Sq("e8"), WPawn, 0, WQueen));

  root = b.Load("k7/4P3/8/8/8/8/8/4K3 w - - 0 1");
  GenerateMoves(b.pos.get(), root, GenTactical, 1);
  EXPECT_EQ(MoveStrings(ListMoves(root->tacticalBase)), (Texts{"e7e8q", "e7e8r", "e7e8n", "e7e8b"}));

  root = b.Load("4k3/8/8/8/8/8/1p6/2N1K3 b - - 0 1");
  GenerateMoves(b.pos.get(), root, GenAll, 1);
  EXPECT_EQ(MoveStrings(ListMoves(root->tacticalBase)),
            (Texts{"b2c1q", "b2c1r", "b2c1n", "b2c1b", "b2b1q", "b2b1r", "b2b1n", "b2b1b"}));
}

TEST(MoveGen, EvasionsSkipTheSquareBehindTheKing) {
  BoardSetup b;
  PlyState* root = b.Load("8/4k3/8/8/8/8/8/K3R3 b - - 0 1");
  ASSERT_TRUE(root->flags & InCheckFlag);
  GenerateMoves(b.pos.get(), root, GenTactical, 1);
  EXPECT_EQ(root->listsMade, 3);
  Texts quiet = MoveStrings(ListMoves(root->quietBase));
  EXPECT_EQ(std::count(quiet.begin(), quiet.end(), "e7e8"), 0);
  EXPECT_EQ(std::count(quiet.begin(), quiet.end(), "e7d7"), 1);
  EXPECT_EQ(std::count(quiet.begin(), quiet.end(), "e7e6"), 0);  // still on the file
}

TEST(MoveGen, EvasionsAgainstDoubleCheckAreKingMovesOnly) {
  BoardSetup b;
  PlyState* root = b.Load("4k3/8/8/8/1b6/8/4r3/R3K3 w Q - 0 1");
  ASSERT_TRUE(root->flags & InCheckFlag);
  GenerateMoves(b.pos.get(), root, GenAll, 1);
  for (Move m : ListMoves(root->quietBase)) EXPECT_EQ(MovePiece(m), WKing) << MoveString(m);
  for (Move m : ListMoves(root->tacticalBase)) EXPECT_EQ(MovePiece(m), WKing) << MoveString(m);
  Texts tactical = MoveStrings(ListMoves(root->tacticalBase));
  EXPECT_EQ(tactical, (Texts{"e1e2"}));  // the rook on e2 is not defended
}

struct ScoreCase {
  const char* fen;
  const char* move;
  int score;
};

class CaptureScores : public ::testing::TestWithParam<ScoreCase> {};

TEST_P(CaptureScores, ScoresTheExchange) {
  BoardSetup b;
  PlyState* root = b.Load(GetParam().fen);
  Move move = ParseMoveText(b.pos->board, GetParam().move, root->side);
  EXPECT_EQ(CaptureScore(move, b.pos.get()), GetParam().score) << GetParam().move;
}

INSTANTIATE_TEST_SUITE_P(
    MoveGen, CaptureScores,
    ::testing::Values(ScoreCase{"4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", "e4d5", 325},    // undefended knight
                      ScoreCase{"4k3/2p5/3p4/8/8/8/8/3QK3 w - - 0 1", "d1d6", -955},  // queen takes a defended pawn
                      ScoreCase{"4k3/2p5/3p4/2P1P3/8/8/8/4K3 w - - 0 1", "e5d6", 100},  // supported, defended once
                      ScoreCase{"4k3/2p1p3/3p4/2P1P3/8/8/8/4K3 w - - 0 1", "e5d6", 0},  // defended twice
                      ScoreCase{"k7/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7e8q", 1055 - 100},
                      ScoreCase{"3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7e8q", -101},    // push into a guarded square
                      ScoreCase{"3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7d8q", 1055 - 100 + 541},  // unguarded capture
                      ScoreCase{"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", 100}));

TEST(MoveGen, PickBestTakesTheHighestAboveTheThreshold) {
  MoveEntry list[4] = {{11, -955}, {22, 325}, {33, -101}, {0, MoveListEnd}};
  EXPECT_EQ(PickBest(-101, list), 22u);
  EXPECT_EQ(list[1].move, 33u);  // the last entry moved into the gap
  EXPECT_EQ(list[2].score, MoveListEnd);
  EXPECT_EQ(PickBest(-101, list), 0u);
  EXPECT_EQ(PickBest(int32_t(0x80000000), list), 33u);
  EXPECT_EQ(PickBest(int32_t(0x80000000), list), 11u);
  EXPECT_EQ(PickBest(int32_t(0x80000000), list), 0u);
  MoveEntry ties[3] = {{1, 5}, {2, 5}, {0, MoveListEnd}};
  EXPECT_EQ(PickBest(0, ties), 1u);  // earliest wins on equal scores
}

TEST(MoveGen, KillersScoreJustBelowTheEndAndHistoryIsRestored) {
  BoardSetup b;
  PlyState* root = b.Load(StartFen);
  Position* pos = b.pos.get();
  Move g1f3 = MakeMoveWord(Sq("g1"), Sq("f3"), WKnight);
  Move b1c3 = MakeMoveWord(Sq("b1"), Sq("c3"), WKnight);
  Move e2e4 = MakeMoveWord(Sq("e2"), Sq("e4"), WPawn) | MoveDoubleStep;
  PlyState* ps = &pos->plies[2];
  *ps = *root;
  ps->ply = 2;
  ps->side = White;
  pos->killers[2][0] = g1f3;
  pos->killers[2][1] = 0;
  pos->killers[0][0] = b1c3;
  pos->killers[0][1] = g1f3;  // a killer of both plies gets the current ply's value
  pos->history[White][e2e4 & 0x3FFF] = 77;
  pos->history[White][g1f3 & 0x3FFF] = 5;
  GenerateMoves(pos, ps, GenQuiet, 1);
  for (const MoveEntry* e = ps->quietBase; e->score != MoveListEnd; e++) {
    if (e->move == g1f3) EXPECT_EQ(e->score, 0x7FFFFE0B);
    else if (e->move == b1c3) EXPECT_EQ(e->score, 0x7FFFFE0A);
    else if (e->move == e2e4) EXPECT_EQ(e->score, 77);
    else EXPECT_EQ(e->score, 0) << MoveString(e->move);
  }
  EXPECT_EQ(pos->history[White][g1f3 & 0x3FFF], 5);
  EXPECT_EQ(pos->history[White][b1c3 & 0x3FFF], 0);
  EXPECT_EQ(pos->history[White][0], 0);
}

std::vector<Move> BothLists(const PlyState* ps) {
  std::vector<Move> all = ListMoves(ps->tacticalBase);
  std::vector<Move> quiet = ListMoves(ps->quietBase);
  all.insert(all.end(), quiet.begin(), quiet.end());
  return all;
}

TEST(MoveGen, HashMovesAreRemovedAfterGeneration) {
  BoardSetup b;
  PlyState* root = b.Load(KiwipeteFen);
  GenerateMoves(b.pos.get(), root, GenAll, 1);
  size_t plain = BothLists(root).size();
  root = b.Load(KiwipeteFen);
  Move hash = ParseMoveText(b.pos->board, "e2a6", White);
  Move candidate = ParseMoveText(b.pos->board, "a2a3", White);
  root->hashMove1 = hash;
  root->triedHashMove2 = candidate;
  GenerateMoves(b.pos.get(), root, GenAll, 1);
  std::vector<Move> all = BothLists(root);
  EXPECT_EQ(std::count(all.begin(), all.end(), hash), 0);
  EXPECT_EQ(std::count(all.begin(), all.end(), candidate), 0);
  EXPECT_EQ(all.size(), plain - 2);
  size_t quiet = ListMoves(root->quietBase).size();
  RemoveMove(root, ParseMoveText(b.pos->board, "h1h2", White));  // absent: nothing happens
  EXPECT_EQ(ListMoves(root->quietBase).size(), quiet);
}

struct PlausibleCase {
  const char* fen;
  Move move;
  int plausible;
};

class Plausible : public ::testing::TestWithParam<PlausibleCase> {};

TEST_P(Plausible, ChecksTheMoveAgainstTheBoard) {
  int8_t board[65];
  RootState state;
  ASSERT_EQ(ParseFen(GetParam().fen, board, &state), 1);
  board[0] = -1;
  EXPECT_EQ(IsMovePlausible(GetParam().move, board, state.flags), GetParam().plausible) << MoveString(GetParam().move);
}


INSTANTIATE_TEST_SUITE_P(
    MoveGen, Plausible,
    ::testing::Values(
        PlausibleCase{CastlingFen, 0x8400385, 1},
        PlausibleCase{"r3k2r/8/8/8/8/8/8/R3KB1R w KQkq - 0 1", 0x8400385, 0},   // f1 occupied
        PlausibleCase{"r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", 0x8400385, 0},     // no right
        PlausibleCase{"r3k2r/8/8/8/8/8/8/RN2K2R w KQkq - 0 1", 0x8400185, 0},   // b1 occupied
        PlausibleCase{CastlingFen, 0xA401DBD, 1},
        PlausibleCase{StartFen, 0x20800E8D, 1},                                   // e2e4
        PlausibleCase{StartFen, MakeMoveWord(13, 29, WPawn), 0},                  // double step without its bit
        PlausibleCase{StartFen, MakeMoveWord(13, 21, WPawn) | MoveDoubleStep, 0},
        PlausibleCase{StartFen, MakeMoveWord(7, 22, WKnight), 1},                 // g1f3
        PlausibleCase{StartFen, MakeMoveWord(7, 23, WKnight), 0},                 // not a knight jump
        PlausibleCase{StartFen, MakeMoveWord(6, 27, WBishop), 0},                 // jumps over e2
        PlausibleCase{StartFen, MakeMoveWord(7, 22, WBishop), 0},                 // another piece stands there
        PlausibleCase{StartFen, MakeMoveWord(7, 13, WKnight), 0},                 // own piece on the square
        PlausibleCase{"4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", MakeMoveWord(29, 36, WPawn, BKnight), 1},
        PlausibleCase{"4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", MakeMoveWord(29, 36, WPawn, BBishop), 0},
        PlausibleCase{"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", MakeMoveWord(37, 44, WPawn, BPawn) | MoveEnPassant, 1},
        PlausibleCase{"4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1", MakeMoveWord(37, 44, WPawn, BPawn) | MoveEnPassant, 0},
        PlausibleCase{"4k3/4P3/8/8/8/8/8/4K3 w - - 0 1", MakeMoveWord(53, 61, WPawn), 0},  // last rank without promotion
        PlausibleCase{"4k3/4P3/8/8/8/8/8/4K3 w - - 0 1", MakeMoveWord(53, 61, WPawn, 0, WQueen), 0},  // e8 taken by the king
        PlausibleCase{"3k4/4P3/8/8/8/8/8/4K3 w - - 0 1", MakeMoveWord(53, 61, WPawn, 0, WQueen), 1},
        PlausibleCase{"3k4/4P3/8/8/8/8/8/4K3 w - - 0 1", MakeMoveWord(53, 61, WPawn, 0, BQueen), 0},
        PlausibleCase{"3k4/4P3/8/8/8/8/8/4K3 w - - 0 1", MakeMoveWord(53, 60, WPawn, BKing, WQueen), 0},  // takes a king
        PlausibleCase{StartFen, MoveNull, 0},
        PlausibleCase{StartFen, 0, 0},
        PlausibleCase{StartFen, 0x20800E8Du | 0x40000000u, 0}));

TEST(MoveGen, PieceMissesSquare) {
  int8_t board[65];
  RootState state;
  ASSERT_EQ(ParseFen("4k3/8/8/8/3p4/8/1B6/4K3 w - - 0 1", board, &state), 1);
  EXPECT_EQ(PieceMissesSquare(board, WBishop, Sq("b2"), Sq("d4")), 0);
  EXPECT_EQ(PieceMissesSquare(board, WBishop, Sq("b2"), Sq("e5")), 1);  // blocked by d4
  EXPECT_EQ(PieceMissesSquare(board, WBishop, Sq("b2"), Sq("c3")), 0);  // an empty target square
  EXPECT_EQ(PieceMissesSquare(board, WBishop, Sq("b2"), Sq("b4")), 1);
  EXPECT_EQ(PieceMissesSquare(board, WRook, Sq("b2"), Sq("b8")), 0);
  EXPECT_EQ(PieceMissesSquare(board, WPawn, Sq("c3"), Sq("d4")), 0);
  EXPECT_EQ(PieceMissesSquare(board, BPawn, Sq("c3"), Sq("d4")), 1);
  EXPECT_EQ(PieceMissesSquare(board, BPawn, Sq("d4"), Sq("e3")), 0);
  EXPECT_EQ(PieceMissesSquare(board, WKnight, Sq("b1"), Sq("c3")), 0);
  EXPECT_EQ(PieceMissesSquare(board, WKing, Sq("e1"), Sq("e3")), 1);
}

// A ply whose stacks have no room left gets empty lists rather than writing past them.
TEST(MoveGen, FullStacksGiveEmptyLists) {
  BoardSetup b;
  PlyState* root = b.Load(StartFen);
  root->quietBase = root->quietCursor = b.pos->quietStack + QuietStackSize - 10;
  GenerateMoves(b.pos.get(), root, GenAll, 1);
  EXPECT_TRUE(ListMoves(root->quietBase).empty());
  EXPECT_TRUE(ListMoves(root->tacticalBase).empty());
  EXPECT_EQ(root->quietCursor, b.pos->quietStack + QuietStackSize - 10);
}

}  // namespace
