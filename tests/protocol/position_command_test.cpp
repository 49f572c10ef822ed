#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "api/engine_fixture.h"
#include "board/game.h"
#include "board/move_text.h"
#include "board/position.h"
#include "protocol/run_command.h"
#include "search/root_search.h"

// The game as the interpreter left it: board, side, flags and the moves played.
struct GameSnapshot {
  std::vector<int8_t> board;
  int side;
  uint32_t flags;
  std::vector<std::string> moves;
  bool operator==(const GameSnapshot&) const = default;
};

static GameSnapshot Snapshot() {
  GameSnapshot s{std::vector<int8_t>(RootBoard, RootBoard + 65), GameHistory[GameLength].side,
                 GameHistory[GameLength].flags, {}};
  for (int i = 1; i <= GameLength; ++i) {
    char text[16];
    MoveToText(text, GameHistory[i].move);
    s.moves.push_back(text + 1);
  }
  return s;
}

class PositionCommand : public EngineFixture {
 protected:
  void TearDown() override { Exec("position startpos"); }

  // The search position always shows the game's board.
  static void ExpectSearchPositionFollowsGame() {
    EXPECT_EQ(memcmp(EnginePosition->board, RootBoard, 65), 0);
  }
};

TEST_F(PositionCommand, MovesAreReplayedAndUnreadableOrIllegalWordsSkipped) {
  struct Case {
    const char* line;
    std::vector<std::string> played;
  } cases[] = {
      {"position startpos moves e2e4 e9e5 e7e5", {"e2e4", "e7e5"}},
      {"position startpos moves e2e5 e2e4 e2e4 e7e5", {"e2e4", "e7e5"}},  // e2e5 and a repeat are illegal
      {"position startpos moves e7e5 d2d4", {"d2d4"}},                    // not Black's turn
      {"position startpos moves", {}},
      {"position startpos", {}},
      {"position startpos e2e4", {}},  // no "moves": the rest is not read
      {"position startpos moves e1e2 g1f3", {"g1f3"}},
      {"position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8 a7a8n", {"a7a8n"}},  // promotion needs its letter
      {"position xyz moves e2e4", {}},
  };
  for (const Case& c : cases) {
    Exec(c.line);
    EXPECT_EQ(Snapshot().moves, c.played) << c.line;
    ExpectSearchPositionFollowsGame();
  }
}

TEST_F(PositionCommand, BadFenKeepsThePreviousGame) {
  Exec("position startpos moves e2e4 c7c5 g1f3");
  GameSnapshot before = Snapshot();
  std::string junk(100000, '#');
  const std::string lines[] = {
      "position fen",
      "position fen moves e2e4",
      "position fen rnbqkbnr/pppp",
      "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",  // no side to move
      "position fen " + junk,
      "position fen " + junk + " w - - 0 1 moves e2e4",
      "position fen 8/8/8/8/8/8/8/8 w - - 0 1",            // no kings
      "position fen 4k3/8/8/8/8/8/8/KK6 w - - 0 1",        // two white kings
      "position fen P3k3/8/8/8/8/8/8/4K3 w - - 0 1",       // pawn on the last rank
      "position fen 4k3/8/8/8/8/8/4R3/4K3 w - - 0 1",      // the side not to move is in check
      "position fen 4k3/8/8/8/8/8/8/4K3 x - - 0 1",
  };
  for (const std::string& line : lines) {
    Exec(line);
    EXPECT_TRUE(Snapshot() == before) << line.substr(0, 80);
    ExpectSearchPositionFollowsGame();
  }
}

TEST_F(PositionCommand, FenPositionWithMoves) {
  Exec("position fen 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1 moves e2e4 e8d7");
  GameSnapshot s = Snapshot();
  EXPECT_EQ(s.moves, (std::vector<std::string>{"e2e4", "e8d7"}));
  EXPECT_EQ(s.side, 0);
  EXPECT_EQ(RootBoard[SquareOf(5, 4)], WPawn);
  EXPECT_EQ(RootBoard[SquareOf(4, 7)], BKing);
  ExpectSearchPositionFollowsGame();
}

TEST_F(PositionCommand, JunkAfterAGoodFenIsIgnored) {
  Exec("position fen 4k3/8/8/8/8/8/8/4K3 b - - 0 1" + std::string(5000, ' ') + std::string(100000, '#') +
       " moves e8d8");
  EXPECT_EQ(Snapshot().moves, (std::vector<std::string>{"e8d8"}));
  EXPECT_EQ(RootBoard[SquareOf(4, 8)], BKing);
  ExpectSearchPositionFollowsGame();
}

TEST_F(PositionCommand, LinesAndWordsOfAnyLength) {
  std::string line = "position startpos moves";
  for (int i = 0; i < 4000; ++i) line += " zz9";             // 100 KB of unreadable words
  line += " " + std::string(50000, 'e') + " e2e4 " + std::string(3, 'x') + " e7e5";
  Exec(line);
  EXPECT_EQ(Snapshot().moves, (std::vector<std::string>{"e2e4", "e7e5"}));
  ExpectSearchPositionFollowsGame();
}

TEST_F(PositionCommand, LongGamesGrowTheHistory) {
  // Knights out and back: 640 legal moves, more than three history growth steps.
  std::string line = "position startpos moves";
  for (int i = 0; i < 160; ++i) line += " g1f3 g8f6 f3g1 f6g8";
  Exec(line);
  EXPECT_EQ(GameLength, 640);
  GameSnapshot s = Snapshot();
  EXPECT_EQ(s.moves.back(), "f6g8");
  Exec("position startpos");
  EXPECT_EQ(GameLength, 0);
  ExpectSearchPositionFollowsGame();
}

TEST_F(PositionCommand, NoWordAfterPositionChangesNothing) {
  Exec("position startpos moves d2d4");
  GameSnapshot before = Snapshot();
  Exec("position");
  Exec("position    ");
  EXPECT_TRUE(Snapshot() == before);
}
