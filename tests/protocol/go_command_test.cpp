#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/engine_fixture.h"
#include "board/move_text.h"
#include "protocol/interpreter.h"
#include "protocol/run_command.h"
#include "search/root_search.h"
#include "search/search_flags.h"
#include "search/time_control.h"

static std::vector<std::string> SearchMoveTexts() {
  std::vector<std::string> texts;
  for (const Move* m = SearchMovesList; *m; ++m) {
    char text[16];
    MoveToText(text, *m);
    texts.push_back(text + 1);
  }
  return texts;
}

class GoCommand : public EngineFixture {
 protected:
  void TearDown() override { Exec("position startpos"); }
};

TEST_F(GoCommand, SearchmovesKeepsOnlyLegalMovesOfTheGamePosition) {
  struct Case {
    const char* position;
    const char* go;
    std::vector<std::string> moves;
  } cases[] = {
      {"position startpos", "go depth 1 searchmoves e2e4 xx d2d4", {"e2e4", "d2d4"}},
      {"position startpos", "go searchmoves e7e5 e2e5 g1f3 depth 1", {"g1f3"}},
      {"position startpos moves e2e4", "go depth 1 searchmoves e7e5 e2e4", {"e7e5"}},
      {"position startpos", "go depth 1 e2e4", {}},
      {"position startpos", "go depth 1", {}},
  };
  for (const Case& c : cases) {
    Exec(c.position);
    EXPECT_EQ(Exec(c.go), 1);
    EXPECT_EQ(SearchMoveTexts(), c.moves) << c.go;
    EXPECT_EQ(SearchMode.load(), 0) << c.go;
  }
}

TEST_F(GoCommand, SearchmovesWordsOfAnyLengthAndNumber) {
  Exec("position startpos");
  std::string line = "go depth 1 searchmoves " + std::string(100000, 'a');
  for (int i = 0; i < 1000; ++i) line += " e2e4";  // repeats beyond the list's room
  line += " d2d4";
  Exec(line);
  std::vector<std::string> moves = SearchMoveTexts();
  ASSERT_EQ(moves.size(), size_t(SearchMovesCapacity));
  EXPECT_EQ(moves.front(), "e2e4");
}

TEST_F(GoCommand, NodesLowerThePollInterval) {
  Exec("go nodes 5000");
  EXPECT_EQ(RootTime.nodeLimit, 5000);
  EXPECT_LE(PollInterval, 101u);
  Exec("go depth 1");
  EXPECT_EQ(RootTime.nodeLimit, 0);
}
