// Searches of positions the registered tablebases answer: the reported mate distances, the
// root's own result, the drawing moves kept when the side to move is ahead in a drawn
// position, the end of the search when it agrees with the table and the tables given up
// when it does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "api/engine_fixture.h"
#include "api/startup.h"
#include "board/game.h"
#include "board/move_text.h"
#include "board/option_values.h"
#include "eval/prepare_root.h"
#include "protocol/interpreter.h"
#include "search/root_moves.h"
#include "search/root_search.h"
#include "search/search.h"
#include "tablebase/generated_tables.h"

namespace {

// White mates in 34: no rook capture and no check at the root.
const char* const QueenWins = "8/8/8/8/3k4/8/4r3/K6Q w - - 0 1";
// A draw only by Qxd2+ or Qd6: every other move lets the rook win the queen or hold it to a
// lost ending.
const char* const QueenDraws = "8/3K4/8/8/3Q4/8/3r4/4k3 w - - 0 1";

const char* TablesDir() {
  static const char* const names[] = {"kqkr", "kqk"};
  static const char* dir = GeneratedTablesDir(names, 2);
  return dir;
}

class TablebaseSearch : public InfoStringFixture {
 protected:
  void SetUp() override {
    InfoStringFixture::SetUp();
    ASSERT_NE(TablesDir(), nullptr) << GeneratedTablesError();
    ASSERT_EQ(RestartTablebases(TablesDir(), 4096), 4);
    Run("setoption name Position Learning value false");
    Run("setoption name Use Tablebases value Normal");
  }
  void TearDown() override {
    Run("setoption name Use Tablebases value Normal");
    Run("setoption name Position Learning value true");
    StartTablebases();  // back to the settings file's tables (none)
    InfoStringFixture::TearDown();
  }

  static void Run(const std::string& command) {
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    ExecuteCommand(line.data());
  }

  // Searches the position (a "position ..." command) to the depth; the info strings and
  // host lines of that search only.
  void Search(const std::string& position, int depth) {
    Received = HostRecord{};
    Notes().clear();
    Run("ucinewgame");
    Run(position);
    Run("go depth " + std::to_string(depth));
  }

  // The score text of the last line the host received ("mate 12", "cp 31").
  static std::string LastScore() {
    for (auto line = Received.lines.rbegin(); line != Received.lines.rend(); ++line) {
      size_t at = line->find("score ");
      if (at == std::string::npos) continue;
      size_t end = line->find(' ', line->find(' ', at + 6) + 1);
      return line->substr(at + 6, end - at - 6);
    }
    return "";
  }

  static std::string TablebaseNote() {
    for (const std::string& note : Notes())
      if (note.rfind("tablebase: ", 0) == 0) return note.substr(11);
    return "";
  }

  // The root of a position (a "position ..." command) set up on the engine's position.
  static PlyState* LoadRoot(const std::string& position) {
    Run(position);
    LoadRootIntoPosition(EnginePosition);
    return PrepareRoot(EnginePosition, &GameHistory[GameLength]);
  }

  // The table's score of a position, from its side to move.
  static int TableScore(const std::string& position) {
    return TimedTablebaseProbe(EnginePosition, LoadRoot(position));
  }

  // The legal moves of a position, as texts.
  static std::vector<std::string> MoveTexts(const std::string& position) {
    static RootRecord record;
    BuildRootMoves(EnginePosition, LoadRoot(position), &record);
    std::vector<std::string> texts;
    for (int i = 0; i < record.count; ++i) texts.push_back(Text(record.moves[i].move));
    return texts;
  }

  static std::string Text(Move move) {
    char buffer[16];
    MoveToText(buffer, move);
    return buffer + (buffer[0] == ' ');
  }
};

// Both sides play on from a KQKR win: every search reports the table's distance (White's
// "mate n", then Black's "mate -(n-1)" and White's "mate n-1"), so neither side gives a move away.
TEST_F(TablebaseSearch, MateDistancesFollowTheTableAlongTheGame) {
  std::string position = std::string("position fen ") + QueenWins + " moves";
  const int table = TableScore(position);
  ASSERT_GT(table, MateThreshold);
  int mate = (30001 - table) / 2;
  ASSERT_EQ(mate, 34);
  for (int ply = 0; ply < 8; ++ply) {
    Search(position, 10);
    const bool white = ply % 2 == 0;
    char note[16], score[16];
    snprintf(note, sizeof note, "%sM%d", white ? "+" : "-", mate);
    snprintf(score, sizeof score, "mate %s%d", white ? "" : "-", mate);
    EXPECT_EQ(TablebaseNote(), note) << position;
    EXPECT_EQ(LastScore(), score) << position;
    EXPECT_EQ(RootInfo.tablebaseScore, white ? 30000 - 2 * mate : -29999 + 2 * mate) << position;
    EXPECT_EQ(RootDepth, 4) << "the search ends once it agrees with the table";
    EXPECT_GT(TablebaseHits, 0);
    position.append(" ").append(Text(RootInfo.bestMove));
    if (white) --mate;  // the loser is mated in one move fewer than the winner's mate
  }
}

// Lines through captures (probes of the losing side) and quiet lines (probes of the winning
// side) score alike: the capture that leads to the shorter mate is preferred, and the score
// still agrees with the table.
TEST_F(TablebaseSearch, ProbesOfEitherSideCompareExactly) {
  struct Case {
    const char* fen;
    const char* expectedMove;
  } cases[] = {
      {"8/8/8/8/3k4/8/1r6/K6Q w - - 0 1", "a1b2"},  // the king takes the rook: KQK
      {"3k4/8/8/8/8/8/1r6/K6Q b - - 0 1", nullptr},  // the loser's view of a KQKR
  };
  for (const Case& c : cases) {
    const std::string position = std::string("position fen ") + c.fen;
    const int table = TableScore(position);
    ASSERT_NE(table, NoTablebaseScore) << c.fen;
    Search(position, 8);
    EXPECT_EQ(RootDepth, 4) << c.fen;
    EXPECT_LE(std::abs(RootInfo.score - table), 1) << c.fen;
    if (c.expectedMove) {
      EXPECT_EQ(Text(RootInfo.bestMove), c.expectedMove) << c.fen;
    }
  }
}

// Ahead in a drawn position, the search keeps exactly the moves that do not lose and runs
// over them without probes, trying to win the draw.
TEST_F(TablebaseSearch, DrawnRootAheadSearchesOnlyTheDrawingMoves) {
  const std::string position = std::string("position fen ") + QueenDraws;
  ASSERT_EQ(TableScore(position), 0);
  std::vector<std::string> drawing, losing;
  for (const std::string& move : MoveTexts(position)) {
    const int after = TableScore(position + " moves " + move);
    (after == NoTablebaseScore || after <= 0 ? drawing : losing).push_back(move);
  }
  ASSERT_GE(drawing.size(), 2u);
  ASSERT_GE(losing.size(), 1u) << "the case needs moves that lose";

  Search(position, 6);
  EXPECT_EQ(TablebaseNote(), "Remis");
  std::vector<std::string> kept;
  for (int i = 0; i < RootInfo.count; ++i) kept.push_back(Text(RootInfo.moves[i].move));
  std::sort(kept.begin(), kept.end());
  std::sort(drawing.begin(), drawing.end());
  EXPECT_EQ(kept, drawing);
  EXPECT_EQ(TablebasePieceLimit, 0) << "probes are off for this search";
  EXPECT_EQ(RootDepth, 6) << "the root counts as unresolved";
  EXPECT_NE(std::find(drawing.begin(), drawing.end(), Text(RootInfo.bestMove)), drawing.end());
}

// The drawing-moves rule applies only to the side that is ahead, searching one line freely.
TEST_F(TablebaseSearch, DrawnRootRuleNeedsOneLineNoSearchmovesAndMoreMaterial) {
  struct Case {
    const char* setup;
    const char* go;
    int limitAfter;  // the probes stay on when the rule does not apply
  } cases[] = {
      {"setoption name MultiPV value 1", "go depth 5", 0},
      {"setoption name MultiPV value 2", "go depth 5", 4},
      {"setoption name MultiPV value 1", "go depth 5 searchmoves d4d6 d7c7", 4},
  };
  for (const Case& c : cases) {
    Run(c.setup);
    Run("ucinewgame");
    Run(std::string("position fen ") + QueenDraws);
    Run(c.go);
    EXPECT_EQ(TablebasePieceLimit, c.limitAfter) << c.setup << " / " << c.go;
  }
  Run("setoption name MultiPV value 1");
  // Black to move, behind in material: the drawn root simply ends at depth 4.
  Search("position fen 8/3K4/3Q4/8/8/8/3r4/4k3 b - - 0 1", 10);
  EXPECT_EQ(TablebaseNote(), "Remis");
  EXPECT_EQ(RootDepth, 4);
  EXPECT_EQ(TablebasePieceLimit, 4);
}

// A search that cannot reach the table's result (here the host allows only a move that
// loses the queen) gives the tables up and goes on; "Never" probes nothing.
TEST_F(TablebaseSearch, DisagreementAndNeverSwitchTheProbesOff) {
  Received = HostRecord{};
  Notes().clear();
  Run("ucinewgame");
  Run(std::string("position fen ") + QueenWins);
  Run("go depth 7 searchmoves h1h2");
  EXPECT_EQ(TablebaseNote(), "+M34");
  EXPECT_EQ(Text(RootInfo.bestMove), "h1h2");
  EXPECT_EQ(TablebasePieceLimit, 0);
  EXPECT_EQ(RootInfo.tablebaseScore, NoTablebaseScore);
  EXPECT_EQ(RootDepth, 7) << "the search goes on past depth 4";

  Run("setoption name Use Tablebases value Never");
  Search(std::string("position fen ") + QueenWins, 6);
  EXPECT_EQ(TablebaseHits, 0);
  EXPECT_EQ(TablebaseNote(), "");
  EXPECT_EQ(RootDepth, 6);
  EXPECT_EQ(TablebasePieceLimit, 0);
}

// A position without registered tables is named as such and searched as usual.
TEST_F(TablebaseSearch, UnregisteredEndgameIsSearchedAsUsual) {
  Search("position fen 8/8/8/8/3k4/8/4r3/K6R w - - 0 1", 6);
  EXPECT_EQ(TablebaseNote(), "nicht in Datenbank");
  EXPECT_EQ(TablebaseHits, 0);
  EXPECT_EQ(RootDepth, 6);
  EXPECT_EQ(TablebasePieceLimit, 4);
}

// Table results as search scores, one point nearer to zero than the mates they announce.
TEST(TablebaseScores, ResultsBecomeScoresNearTheMates) {
  struct Case {
    int32_t result;
    int score;
  } cases[] = {
      {0, 0},          {1, 29998},       {12, 29976},      {-32767, -29999}, {-1, -29997},
      {-11, -29977},   {499, 29002},     {500, NoTablebaseScore},           {-500, NoTablebaseScore},
      {32767, NoTablebaseScore},
  };
  for (const Case& c : cases) EXPECT_EQ(TablebaseScoreOfResult(c.result), c.score) << c.result;
}

}  // namespace
