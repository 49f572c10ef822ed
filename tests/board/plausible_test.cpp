// IsMovePlausible against the generator: over the positions of a perft tree, a move word of
// the side to move is plausible exactly when the generator produces it (castling aside when
// a piece stands between king and rook), so moves taken from elsewhere are safe to make.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "board/move_checks.h"
#include "board/position_check.h"
#include "board/test_fens.h"
#include "board_fixture.h"

namespace {

std::vector<Move> Generated(Position* pos, PlyState* ps) {
  GenerateMoves(pos, ps, GenAll, 1);
  std::vector<Move> moves = ListMoves(ps->tacticalBase);
  std::vector<Move> quiet = ListMoves(ps->quietBase);
  moves.insert(moves.end(), quiet.begin(), quiet.end());
  std::sort(moves.begin(), moves.end());
  return moves;
}

bool CastlingPathClear(const int8_t* board, Move m) {
  int from = MoveFrom(m), to = MoveTo(m);
  if (to > from) return board[from + 1] == 0 && board[from + 2] == 0;
  return board[from - 1] == 0 && board[from - 2] == 0 && board[from - 3] == 0;
}

// A random word for a piece of the side to move: its squares, the piece found on to, and
// random promotion and special bits.
Move RandomWord(const Position* pos, int side, std::mt19937* random) {
  int from;
  do from = 1 + int((*random)() % 64);
  while (pos->board[from] <= 0 || PieceSide(pos->board[from]) != side);
  int to = 1 + int((*random)() % 64);
  int captured = pos->board[to] > 0 ? pos->board[to] : 0;
  uint32_t bits = (*random)();
  Move move = MakeMoveWord(from, to, pos->board[from], captured);
  if (bits & 1) move |= Move((bits >> 8) & 15) << 14;
  if ((bits & 0x30) == 0x10) move |= MoveEnPassant | Move(WPawn + (side ^ 1) * BlackBit) << 18;
  if ((bits & 0xC0) == 0x40) move |= MoveCastle;
  if ((bits & 0x600) == 0x200) move |= MoveDoubleStep;
  return move;
}

class PlausibleWalk : public ::testing::TestWithParam<const char*> {};

TEST_P(PlausibleWalk, PlausibleMovesAreTheGeneratedOnes) {
  BoardSetup b;
  PlyState* root = b.Load(GetParam());
  Position* pos = b.pos.get();
  std::mt19937 random(99);
  int checked = 0;
  std::vector<Move> rootMoves = Generated(pos, root);
  for (Move first : rootMoves) {
    root->move = first;
    PlyState* ps = MakeMove(pos, root);
    if (ps == nullptr) continue;
    std::vector<Move> moves = Generated(pos, ps);
    for (Move m : moves) {
      bool expected = !(m & MoveCastle) || CastlingPathClear(pos->board, m);
      EXPECT_EQ(IsMovePlausible(m, pos->board, ps->flags), expected ? 1 : 0) << MoveString(m);
    }
    // Random words with extra bits: plausible ones must be generated (in check the generator
    // gives evasions only, so there the test stops at the first direction).
    if (ps->flags & InCheckFlag) {
      UnmakeMove(pos, root);
      continue;
    }
    std::vector<Move> candidates = moves;
    for (int i = 0; i < 400; i++) candidates.push_back(RandomWord(pos, ps->side, &random));
    for (Move m : candidates) {
      if (!IsMovePlausible(m, pos->board, ps->flags)) continue;
      checked++;
      EXPECT_TRUE(std::binary_search(moves.begin(), moves.end(), m)) << MoveString(m) << " " << std::hex << m;
    }
    UnmakeMove(pos, root);
  }
  EXPECT_GT(checked, 100);
  EXPECT_TRUE(PositionIsOk(pos, root));
}

INSTANTIATE_TEST_SUITE_P(Board, PlausibleWalk,
                         ::testing::Values(StartFen, KiwipeteFen, EndgameFen, PromotionsFen, TalkchessFen,
                                           CastlingFen,
                                           "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3"));

}  // namespace
