#include <gtest/gtest.h>

#include <string>

#include "board/fen.h"
#include "board/move_text.h"
#include "board/test_fens.h"

namespace {

struct ParseCase {
  const char* fen;
  const char* text;
  Move expected;
};

class MoveTextCases : public ::testing::TestWithParam<ParseCase> {};

TEST_P(MoveTextCases, ParsesAgainstTheBoard) {
  int8_t board[65];
  RootState state;
  ASSERT_EQ(ParseFen(GetParam().fen, board, &state), 1);
  EXPECT_EQ(ParseMoveText(board, GetParam().text, state.side), GetParam().expected) << GetParam().text;
}


INSTANTIATE_TEST_SUITE_P(
    MoveText, MoveTextCases,
    ::testing::Values(
        ParseCase{StartFen, "e2e4", 0x20800E8D},
        ParseCase{StartFen, "E2E4", 0x20800E8D},                           // upper-case files
        ParseCase{StartFen, "g1f3", MakeMoveWord(7, 22, WKnight)},
        ParseCase{StartFen, "e3e4", 0},                                    // empty from-square
        ParseCase{StartFen, "e7e8x", 0},
        ParseCase{StartFen, "e2e9", 0},
        ParseCase{StartFen, "i2i4", 0},
        ParseCase{StartFen, "e2e4e", 0},
        ParseCase{StartFen, "e2e", 0},
        ParseCase{StartFen, "", 0},
        ParseCase{StartFen, "e2e4qq", 0},
        ParseCase{"3k4/4P3/8/8/8/8/8/4K3 w - -", "e7e8Q", MakeMoveWord(53, 61, WPawn, 0, WQueen)},
        ParseCase{"4k3/8/8/8/8/8/4p3/K7 b - -", "e2e1q", MakeMoveWord(13, 5, BPawn, 0, BQueen)},
        ParseCase{"4k3/8/8/8/8/8/4p3/K7 b - -", "e2e1n", MakeMoveWord(13, 5, BPawn, 0, BKnight)},
        ParseCase{"4k3/8/8/8/8/8/8/4K2R w - -", "e1g1", 0x8400385},    // castling whatever the rights
        ParseCase{"4k3/8/8/8/8/8/8/4K2R w - -", "e1f1", MakeMoveWord(5, 6, WKing)},
        ParseCase{"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "e5d6", MakeMoveWord(37, 44, WPawn, BPawn) | MoveEnPassant},
        ParseCase{"4k3/8/8/8/3Pp3/8/8/4K3 b - d3", "e4d3", MakeMoveWord(29, 20, BPawn, WPawn) | MoveEnPassant},
        ParseCase{"4k3/8/3n4/4P3/8/8/8/4K3 w - -", "e5d6", MakeMoveWord(37, 44, WPawn, BKnight)}));

TEST(MoveText, AnyLengthIsSafe) {
  int8_t board[65];
  RootState state;
  SetStartPosition(board, &state);
  std::string longText(100 * 1024, 'e');
  EXPECT_EQ(ParseMoveText(board, longText.c_str(), 0), 0u);
  EXPECT_EQ(ParseMoveText(board, nullptr, 0), 0u);
}

struct TextCase {
  Move move;
  const char* coordinate;
  const char* longForm;
};

class MoveWriteCases : public ::testing::TestWithParam<TextCase> {};

TEST_P(MoveWriteCases, WritesBothForms) {
  char buffer[32];
  const TextCase& c = GetParam();
  EXPECT_EQ(MoveToText(buffer, c.move), int(std::string(c.coordinate).size()));
  EXPECT_STREQ(buffer, c.coordinate);
  EXPECT_EQ(MoveToLongText(buffer, c.move, 0), int(std::string(c.longForm).size()));
  EXPECT_STREQ(buffer, c.longForm);
  EXPECT_EQ(MoveToLongText(buffer, c.move, 1), int(std::string(c.longForm).size()) + 1);
  EXPECT_EQ(std::string(buffer), std::string(" ") + c.longForm);
}

INSTANTIATE_TEST_SUITE_P(
    MoveText, MoveWriteCases,
    ::testing::Values(TextCase{0x20800E8D, " e2e4", "e2-e4"},
                      TextCase{MakeMoveWord(7, 22, WKnight), " g1f3", "Ng1-f3"},
                      TextCase{0x8400385, " e1g1", "O-O"},
                      TextCase{0xA401DBD, " e8c8", "O-O-O"},
                      TextCase{MakeMoveWord(37, 44, WPawn, BPawn) | MoveEnPassant, " e5d6", "e5xd6"},
                      TextCase{MakeMoveWord(53, 60, WPawn, BQueen, WQueen), " e7d8q", "e7xd8Q"},
                      TextCase{MakeMoveWord(50, 57, WPawn, BRook, WKnight), " b7a8n", "b7xa8N"},
                      TextCase{MakeMoveWord(13, 5, BPawn, 0, BBishop), " e2e1b", "e2-e1B"}));

}  // namespace
