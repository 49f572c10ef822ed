#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "board/fen.h"
#include "board/playable.h"
#include "board/test_fens.h"
#include "board/types.h"

namespace {

int Sq(const char* name) { return (name[0] - 'a' + 1) + 8 * (name[1] - '1'); }

struct FenCase {
  const char* fen;
  int result;
  int side;
  uint32_t flags;
};

class FenCases : public ::testing::TestWithParam<FenCase> {};

TEST_P(FenCases, ParsesAsExpected) {
  const FenCase& c = GetParam();
  int8_t board[65];
  std::memset(board, 7, sizeof board);
  RootState state{-5, 0xFFFF};
  EXPECT_EQ(ParseFen(c.fen, board, &state), c.result);
  if (c.result == 1) {
    EXPECT_EQ(state.side, c.side);
    EXPECT_EQ(state.flags, c.flags);
    EXPECT_EQ(board[0], 7);  // index 0 untouched
  } else {
    EXPECT_EQ(state.side, -5);  // a failed parse leaves board and state as they were
    EXPECT_EQ(board[1], 7);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fen, FenCases,
    ::testing::Values(
        FenCase{"8/8/8/8/8/8/8/8 w", 1, 0, 0},
        FenCase{StartFen, 1, 0, 0x3C0},
        FenCase{"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w KQkq - 0 1", 1, 0, 0x1C0},  // h1 rook missing
        FenCase{"r3k2r/8/8/8/8/8/8/R3K2R b Kq - 0 1", 1, 1, 0x240},
        FenCase{"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e3 0 1", 1, 0, 0x3C0},   // e3, White to move
        FenCase{"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 1, 1, 0x3C0 | 21},
        FenCase{"rnbqkbnr/pppp1ppp/8/4p3/8/8/PPPPPPPP/RNBQKBNR w KQkq e6 0 2", 1, 0, 0x3C0 | 45},
        FenCase{"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq e3 0 1", 1, 1, 0x3C0},  // no pawn passed e3
        FenCase{"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq z3 0 1", 1, 1, 0x3C0},
        FenCase{"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkX - 0 1", 1, 0, 0x380},  // stops at X
        FenCase{"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w -x", 1, 0, 0},
        FenCase{"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w", 1, 0, 0},
        FenCase{"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR wKQkq", 1, 0, 0},
        FenCase{"4k3/8/8/8/8/8/8/4K3 b", 1, 1, 0},
        FenCase{"7/8/8/8/8/8/8/8 w", 1, 0, 0},    // a rank ended early by '/'
        FenCase{"44/8/8/8/8/8/8/8 w", 1, 0, 0},   // digits adding up to eight
        FenCase{"8/8/8/8/8/8/8/X7 w", 0, 0, 0},   // not a piece letter
        FenCase{"8/8/8/8/8/8/8/8K w", 0, 0, 0},   // eighth file followed by a piece
        FenCase{"9/8/8/8/8/8/8/8 w", 1, 0, 0},    // a count past the eighth file ends the rank
        FenCase{"8/8/8/8/8/8/8/8 x", 0, 0, 0},
        FenCase{"8/8/8/8/8/8/8/8", 0, 0, 0},
        FenCase{"8/8/8", 0, 0, 0},
        FenCase{"", 0, 0, 0},
        FenCase{"rnbqkbnr/pppp", 0, 0, 0}));

TEST(Fen, PlacesPiecesRankByRank) {
  int8_t board[65] = {};
  RootState state;
  ASSERT_EQ(ParseFen(KiwipeteFen, board, &state), 1);
  EXPECT_EQ(board[Sq("a8")], BRook);
  EXPECT_EQ(board[Sq("e8")], BKing);
  EXPECT_EQ(board[Sq("e7")], BQueen);
  EXPECT_EQ(board[Sq("d5")], WPawn);
  EXPECT_EQ(board[Sq("e5")], WKnight);
  EXPECT_EQ(board[Sq("h3")], BPawn);
  EXPECT_EQ(board[Sq("f3")], WQueen);
  EXPECT_EQ(board[Sq("e1")], WKing);
  EXPECT_EQ(board[Sq("b1")], 0);
  EXPECT_EQ(state.flags, 0x3C0u);
}

TEST(Fen, StartPosition) {
  int8_t board[65];
  RootState state;
  SetStartPosition(board, &state);
  const int8_t rank1[8] = {6, 3, 5, 7, 1, 5, 3, 6};
  EXPECT_EQ(board[0], -1);
  for (int f = 0; f < 8; f++) {
    EXPECT_EQ(board[1 + f], rank1[f]);
    EXPECT_EQ(board[9 + f], WPawn);
    EXPECT_EQ(board[49 + f], BPawn);
    EXPECT_EQ(board[57 + f], rank1[f] + 8);
    for (int r = 3; r <= 6; r++) EXPECT_EQ(board[f + 1 + 8 * (r - 1)], 0);
  }
  EXPECT_EQ(state.side, 0);
  EXPECT_EQ(state.flags, 0x3C0u);
}

// Junk, cut-short and very long texts never read past their end or write past the board.
TEST(Fen, AnyTextIsSafe) {
  std::mt19937 random(7);
  const std::string alphabet = "rnbqkpRNBQKP12345678/ -wbKQkqa3e6h9x\t";
  const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e3 0 1";
  int8_t guard[80];
  for (int i = 0; i < 20000; i++) {
    std::string text;
    if (i % 3 == 0) {
      text = start.substr(0, random() % (start.size() + 1));
    } else {
      int length = int(random() % 80);
      for (int k = 0; k < length; k++) text += alphabet[random() % alphabet.size()];
    }
    std::memset(guard, 0x55, sizeof guard);
    RootState state{0, 0};
    int result = ParseFen(text.c_str(), guard + 1, &state);
    ASSERT_TRUE(result == 0 || result == 1);
    ASSERT_EQ(guard[0], 0x55);
    ASSERT_EQ(guard[1], 0x55);  // board index 0
    for (int k = 66; k < 80; k++) ASSERT_EQ(guard[k], 0x55);
    if (result) {
      ASSERT_TRUE(state.flags <= 0x3FF);
    }
  }
  std::string huge(100 * 1024, '/');
  int8_t board[65];
  RootState state;
  EXPECT_EQ(ParseFen(huge.c_str(), board, &state), 0);
  std::string longTail = start + std::string(100 * 1024, 'K');
  EXPECT_EQ(ParseFen(longTail.c_str(), board, &state), 1);
  std::string longRank = std::string(100 * 1024, '0');
  EXPECT_EQ(ParseFen(longRank.c_str(), board, &state), 0);
  EXPECT_EQ(ParseFen(nullptr, board, &state), 0);
}

struct PlayableCase {
  const char* fen;
  int playable;
};

class PlayableCases : public ::testing::TestWithParam<PlayableCase> {};

TEST_P(PlayableCases, JudgesTheBoard) {
  int8_t board[65];
  RootState state;
  ASSERT_EQ(ParseFen(GetParam().fen, board, &state), 1);
  EXPECT_EQ(IsPlayablePosition(board, &state), GetParam().playable) << GetParam().fen;
}

INSTANTIATE_TEST_SUITE_P(
    Fen, PlayableCases,
    ::testing::Values(
        PlayableCase{StartFen, 1},
        PlayableCase{"8/8/8/8/8/8/8/8 w", 0},                 // no kings
        PlayableCase{"4k3/8/8/8/8/8/8/4K2K w - -", 0},        // two White kings
        PlayableCase{"4k3/8/8/8/8/8/8/8 w - -", 0},           // no White king
        PlayableCase{"P3k3/8/8/8/8/8/8/4K3 w - -", 0},        // pawn on rank 8
        PlayableCase{"4k3/8/8/8/8/8/8/p3K3 w - -", 0},        // pawn on rank 1
        PlayableCase{"4k3/8/8/8/8/8/8/4K2R w - -", 1},
        PlayableCase{"4k3/8/8/8/8/8/8/4R1K1 w - -", 0},       // side not to move in check
        PlayableCase{"4k3/8/8/8/8/8/8/4R1K1 b - -", 1},       // side to move in check is fine
        PlayableCase{"4k3/8/8/8/8/8/3K4/4q3 w - -", 1},
        PlayableCase{"3k4/4K3/8/8/8/8/8/8 w - -", 0},         // kings touching
        PlayableCase{"NNNNkNNN/NNNNNNNN/8/8/8/8/8/4K3 b - -", 0},   // 15 knights: more than the slots hold
        PlayableCase{"NNNNkNNN/NNN5/8/8/8/8/8/4K3 b - -", 1},       // ten knights
        PlayableCase{"QQQQkQQQ/QQ6/8/8/8/8/8/4K3 b - -", 1},        // nine queens
        PlayableCase{"4k3/8/8/8/NNNNNNNN/8/PPPPPPPP/4K3 w - -", 0}, // seventeen White pieces
        PlayableCase{"1nbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 1}));

TEST(Fen, PlayableRejectsStateThatDoesNotFitTheBoard) {
  int8_t board[65];
  RootState state;
  ASSERT_EQ(ParseFen("4k3/8/8/8/8/8/8/4K3 w - -", board, &state), 1);
  state.flags = WhiteKingSide;
  EXPECT_EQ(IsPlayablePosition(board, &state), 0);
  state.flags = 45;  // e6 without a Black pawn on e5
  EXPECT_EQ(IsPlayablePosition(board, &state), 0);
  state.flags = 0;
  state.side = 2;
  EXPECT_EQ(IsPlayablePosition(board, &state), 0);
  board[10] = 4;  // not a piece code
  state.side = 0;
  EXPECT_EQ(IsPlayablePosition(board, &state), 0);
}

}  // namespace
