#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <set>

#include "board/fen.h"
#include "board/geometry.h"
#include "board/keys.h"
#include "board/move_checks.h"
#include "board/movegen.h"
#include "board/piece_lists.h"
#include "board/root_ply.h"
#include "board/test_fens.h"
#include "search/learning_check.h"

// Positions with castling, en passant, promotions and captures for both sides; none has
// the side to move in check, so the generator lists every pseudo-legal move.
static const char* const CheckFens[] = {
    StartFen,
    KiwipeteFen,
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/Pp2P3/2N2Q1p/1PPBBPPP/R3K2R b KQkq a3 0 1",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N w - - 0 1",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
};

class LearningCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildGeometryTables();
    pos_.reset(new Position());
  }
  // Sets the position up and returns its root ply state.
  PlyState* Setup(const int8_t board[65], int side, uint32_t flags) {
    memcpy(pos_->board, board, sizeof pos_->board);
    BuildPieceLists(pos_.get());
    BuildAttackTables(pos_.get());
    pos_->keyPtr = nullptr;
    return SetupRootPly(pos_.get(), side, flags);
  }
  std::set<Move> Generated(const int8_t board[65], int side, uint32_t flags) {
    PlyState* ps = Setup(board, side, flags);
    GenerateMoves(pos_.get(), ps, GenAll, 1);
    std::set<Move> moves;
    for (MoveEntry* e = ps->tacticalBase; e->score != MoveListEnd; e++) moves.insert(e->move);
    for (MoveEntry* e = ps->quietBase; e->score != MoveListEnd; e++) moves.insert(e->move);
    return moves;
  }
  static LearningRecord RecordOf(const int8_t board[65], int side) {
    LearningRecord r;
    memset(&r, 0, sizeof r);
    memcpy(r.board, board, sizeof r.board);
    r.board[0] = 0;
    r.side = uint8_t(side);
    ComputeKeys(r.board, &r.slotKey, &r.lock);
    return r;
  }
  static uint32_t RightsOnBoard(const int8_t b[65]) {
    return (b[5] == WKing && b[8] == WRook ? WhiteKingSide : 0) | (b[5] == WKing && b[1] == WRook ? WhiteQueenSide : 0) |
           (b[61] == BKing && b[64] == BRook ? BlackKingSide : 0) | (b[61] == BKing && b[57] == BRook ? BlackQueenSide : 0);
  }

  std::unique_ptr<Position> pos_;
};

// The generator also lists castling by the rights alone; those that the board refuses are
// left out.
TEST_F(LearningCheck, EveryGeneratedMoveIsAccepted) {
  for (const char* fen : CheckFens) {
    int8_t board[65];
    RootState state;
    ASSERT_TRUE(ParseFen(fen, board, &state));
    LearningRecord r = RecordOf(board, state.side);
    for (Move move : Generated(board, state.side, state.flags)) {
      if (!IsMovePlausible(move, board, state.flags)) continue;
      r.bestMove = move;
      EXPECT_TRUE(LearnedMoveIsSound(&r)) << fen << " move " << std::hex << move;
    }
  }
}

// Random move words built around the board's pieces: whatever the check accepts, the
// generator makes under the rights the placement allows.
TEST_F(LearningCheck, AcceptedMovesAreMovesTheGeneratorMakes) {
  static const int Promotions[] = {0, WQueen, WRook, WBishop, WKnight};
  static const Move Flags[] = {0, 0, 0, 0, MoveEnPassant, MoveCastle, MoveDoubleStep};
  uint32_t seed = 7;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  int accepted = 0;
  for (const char* fen : CheckFens) {
    int8_t board[65];
    RootState state;
    ASSERT_TRUE(ParseFen(fen, board, &state));
    LearningRecord r = RecordOf(board, state.side);
    for (int i = 0; i < 20000; i++) {
      static const int Steps[] = {1, 7, 8, 9, 6, 10, 15, 17, 16, 2, 24, 27, 36};
      int from = 1 + int(next(64));
      if (next(4) && board[from] && PieceSide(board[from]) != state.side) continue;
      int to = next(2) ? 1 + int(next(64)) : from + (next(2) ? 1 : -1) * Steps[next(13)];
      if (to < 1 || to > 64) continue;
      int piece = board[from];
      if (piece == 0) continue;
      int promotion = next(6) ? 0 : Promotions[next(5)];
      if (promotion) promotion |= state.side * BlackBit;
      int captured = next(8) ? board[to] : int(next(16));
      Move move = MakeMoveWord(from, to, piece, captured, promotion) | (next(3) ? 0 : Flags[next(7)]);
      r.bestMove = move;
      if (!LearnedMoveIsSound(&r)) continue;
      accepted++;
      uint32_t flags = RightsOnBoard(board) | (move & MoveEnPassant ? uint32_t(to) : 0);
      std::set<Move> moves = Generated(board, state.side, flags);
      EXPECT_TRUE(moves.count(move)) << fen << " move " << std::hex << move;
    }
  }
  EXPECT_GT(accepted, 200);
}

TEST_F(LearningCheck, ReplyMustFitThePositionAfterTheMove) {
  int8_t board[65];
  RootState state;
  ASSERT_TRUE(ParseFen(CheckFens[0], board, &state));
  LearningRecord r = RecordOf(board, White);
  r.bestMove = MakeMoveWord(13, 29, WPawn) | MoveDoubleStep;  // e2e4
  r.reply = MakeMoveWord(52, 36, BPawn) | MoveDoubleStep;     // d7d5
  uint32_t key1 = 0, key2 = 0;
  EXPECT_TRUE(LearnedReplyIsSound(&r, state.flags, &key1, &key2));
  int8_t after[65];
  memcpy(after, board, sizeof after);
  after[29] = WPawn, after[13] = 0;
  uint32_t want1, want2;
  ComputeKeys(after, &want1, &want2);
  EXPECT_EQ(key1, want1);
  EXPECT_EQ(key2, want2);

  r.reply = MakeMoveWord(36, 29, BPawn, WPawn);  // d5xe4 before d5 was played
  EXPECT_FALSE(LearnedReplyIsSound(&r, state.flags, &key1, &key2));
  r.reply = MakeMoveWord(5, 6, WKing);  // the mover again
  EXPECT_FALSE(LearnedReplyIsSound(&r, state.flags, &key1, &key2));
  // Castling needs the root's real rights, not those the placement would allow.
  ASSERT_TRUE(ParseFen("r3k2r/8/8/8/8/8/8/R3K2R w - - 0 1", board, &state));
  r = RecordOf(board, White);
  r.bestMove = 0x8400385;
  r.reply = MakeMoveWord(57, 58, BRook);
  EXPECT_FALSE(LearnedReplyIsSound(&r, state.flags, &key1, &key2));
  EXPECT_TRUE(LearnedReplyIsSound(&r, WhiteKingSide, &key1, &key2));
}
