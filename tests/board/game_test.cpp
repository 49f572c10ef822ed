#include <gtest/gtest.h>

#include <string>

#include "board/game.h"
#include "board/keys.h"
#include "board/move_text.h"
#include "board/position_check.h"
#include "board/test_fens.h"
#include "board_fixture.h"

namespace {

int Sq(const char* name) { return (name[0] - 'a' + 1) + 8 * (name[1] - '1'); }

// A fresh game from a FEN (or the start position), as the interpreter sets one up.
class Game : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(AllocateGameHistory(), 1); }
  void TearDown() override { FreeGameHistory(); }

  void Start(const char* fen = nullptr) {
    int8_t board[65];
    RootState state;
    if (fen == nullptr) {
      SetStartPosition(board, &state);
    } else {
      ASSERT_EQ(ParseFen(fen, board, &state), 1);
    }
    SetGameRoot(board, state);
  }

  // Plays a move text as "position ... moves" does; returns whether it was played.
  bool Play(const char* text) {
    Move move = ParseLegalGameMove(text);
    return move != 0 && ApplyGameMove(move) == 1;
  }

  uint32_t BoardKey2() {
    uint32_t key1, key2;
    ComputeKeys(RootBoard, &key1, &key2);
    return key2;
  }
};

TEST_F(Game, StartAndOneMove) {
  Start();
  uint32_t startKey = BoardKey2();
  EXPECT_EQ(KeyHistoryTop, KeyHistory + 3);
  ASSERT_TRUE(Play("e2e4"));
  EXPECT_EQ(GameLength, 1);
  EXPECT_EQ(GameHistory[1].side, 1);
  EXPECT_EQ(GameHistory[1].flags, 0x3C0 | 21);
  EXPECT_EQ(GameHistory[1].move, 0x20800E8Du);
  EXPECT_EQ(KeyHistory[0] | KeyHistory[1] | KeyHistory[2], 0u);
  EXPECT_EQ(KeyHistory[3], startKey);
  EXPECT_EQ(KeyHistoryTop, KeyHistory + 4);
  EXPECT_EQ(*KeyHistoryTop, BoardKey2());
  EXPECT_EQ(RootBoard[Sq("e4")], WPawn);
  EXPECT_EQ(RootBoard[Sq("e2")], 0);
}

struct GameMoveCase {
  const char* fen;
  const char* text;
  bool legal;
};

class GameMoves : public Game, public ::testing::WithParamInterface<GameMoveCase> {};

TEST_P(GameMoves, OnlyLegalMovesAreTaken) {
  Start(GetParam().fen);
  Move move = ParseLegalGameMove(GetParam().text);
  EXPECT_EQ(move != 0, GetParam().legal) << GetParam().text;
  if (move) {
    EXPECT_EQ(move, ParseMoveText(RootBoard, GetParam().text, RootStateNow.side));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Game, GameMoves,
    ::testing::Values(GameMoveCase{StartFen, "e2e4", true}, GameMoveCase{StartFen, "g1f3", true},
                      GameMoveCase{StartFen, "e2e5", false}, GameMoveCase{StartFen, "e1g1", false},
                      GameMoveCase{StartFen, "e7e5", false},  // not the side to move
                      GameMoveCase{StartFen, "a1a3", false}, GameMoveCase{StartFen, "e2e4q", false},
                      GameMoveCase{StartFen, "", false}, GameMoveCase{StartFen, "zz", false},
                      GameMoveCase{"k7/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7e8q", true},
                      GameMoveCase{"k7/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7e8N", true},
                      GameMoveCase{"k7/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7e8", false},   // no promotion piece
                      GameMoveCase{"k7/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7e8k", false},
                      GameMoveCase{"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", true},
                      GameMoveCase{"4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1", "e5d6", false},
                      GameMoveCase{"4k3/4r3/8/8/8/8/4B3/4K3 w - - 0 1", "e2d3", false},  // pinned
                      GameMoveCase{CastlingFen, "e1c1", true},
                      GameMoveCase{"r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", "e1g1", false}));

TEST_F(Game, LongAndJunkTextsAreSkipped) {
  Start();
  std::string longText(100 * 1024, 'e');
  EXPECT_EQ(ParseLegalGameMove(longText.c_str()), 0u);
  EXPECT_EQ(ParseLegalGameMove("e2e4" "\x01\xff"), 0u);
  EXPECT_EQ(ParseLegalGameMove(nullptr), 0u);
  EXPECT_EQ(GameLength, 0);
}

TEST_F(Game, SpecialMovesUpdateBoardAndRights) {
  Start(CastlingFen);
  ASSERT_TRUE(Play("a1b1"));
  EXPECT_EQ(GameHistory[GameLength].flags, 0x2C0);
  ASSERT_TRUE(Play("e8g8"));
  EXPECT_EQ(RootBoard[Sq("g8")], BKing);
  EXPECT_EQ(RootBoard[Sq("f8")], BRook);
  EXPECT_EQ(RootBoard[Sq("h8")], 0);
  EXPECT_EQ(GameHistory[GameLength].flags, 0x200);
  ASSERT_TRUE(Play("h1h7"));
  ASSERT_TRUE(Play("g8h7"));
  EXPECT_EQ(GameHistory[GameLength].flags, 0);

  Start("4k3/8/8/8/3p4/8/4P3/4K3 w - - 0 1");
  ASSERT_TRUE(Play("e2e4"));
  EXPECT_EQ(GameHistory[GameLength].flags, uint32_t(Sq("e3")));
  ASSERT_TRUE(Play("d4e3"));
  EXPECT_EQ(RootBoard[Sq("e4")], 0);
  EXPECT_EQ(RootBoard[Sq("e3")], BPawn);
  EXPECT_EQ(*KeyHistoryTop, BoardKey2());
}

// Hundreds of moves grow both histories; the keys repeat with the position.
TEST_F(Game, HistoriesGrowWithTheGame) {
  Start();
  const char* cycle[4] = {"g1f3", "g8f6", "f3g1", "f6g8"};
  for (int i = 0; i < 1000; i++) ASSERT_TRUE(Play(cycle[i % 4])) << i;
  EXPECT_EQ(GameLength, 1000);
  EXPECT_EQ(KeyHistoryTop, KeyHistory + 3 + 1000);
  for (int i = 4; i <= 1000; i++) EXPECT_EQ(KeyHistory[3 + i], KeyHistory[3 + i - 4]);
  EXPECT_EQ(GameHistory[1000].side, 0);
  EXPECT_EQ(RootBoard[Sq("g1")], WKnight);
}

TEST_F(Game, LoadRootIntoPositionBuildsAConsistentPosition) {
  Start(KiwipeteFen);
  ASSERT_TRUE(Play("e1g1"));
  ASSERT_TRUE(Play("h3g2"));
  BoardSetup b;
  LoadRootIntoPosition(b.pos.get());
  PlyState* root = &b.pos->plies[0];
  EXPECT_EQ(root->side, White);
  EXPECT_EQ(root->flags & AllCastling, 0x0C0u);
  EXPECT_TRUE(PositionIsOk(b.pos.get(), root));
  EXPECT_EQ(b.pos->plies[1].side, Black);
  EXPECT_EQ(b.pos->keyPtr, b.pos->keyBuffer);
  EXPECT_EQ(b.pos->keyBuffer[0], *KeyHistoryTop);
}

// The legal move list agrees with the one-ply perft count and with the text parser, in
// positions with checks, promotions, en passant, castling, mate and stalemate.
TEST_F(Game, LegalMoveListMatchesPerftAndTexts) {
  struct Case {
    const char* fen;
    int count;
  };
  const Case cases[] = {
      {nullptr, 20},
      {KiwipeteFen, 48},
      {EndgameFen, 14},
      {PromotionsFen, 6},
      {TalkchessFen, 44},
      {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", 0},
      {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fen ? c.fen : "startpos");
    Start(c.fen);
    Move moves[256];
    int count = ListLegalGameMoves(moves, 256);
    EXPECT_EQ(count, c.count);
    for (int i = 0; i < count; i++) {
      char text[16];
      MoveToText(text, moves[i]);
      EXPECT_EQ(ParseLegalGameMove(text + 1), moves[i]) << text;
    }
    EXPECT_EQ(ListLegalGameMoves(moves, 3), count < 3 ? count : 3);
  }
}

TEST_F(Game, UnplayableRootTakesNoMoves) {
  const int8_t empty[65] = {};
  SetGameRoot(empty, RootState{0, 0});
  EXPECT_EQ(ParseLegalGameMove("e2e4"), 0u);
  EXPECT_EQ(ApplyGameMove(0), 0);  // no squares
  Move moves[8];
  EXPECT_EQ(ListLegalGameMoves(moves, 8), 0);
}

}  // namespace
