#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/engine_fixture.h"
#include "protocol/run_command.h"

// The interpreter names what it could not follow in "info string" lines of its output.
class InfoStrings : public InfoStringFixture {
 protected:
  void TearDown() override {
    InfoStringFixture::TearDown();
    Exec("position startpos");
    Exec("setoption name Style value Intelligent");
  }
};

TEST_F(InfoStrings, BadWordsAreNamedAndGoodCommandsStayQuiet) {
  struct Case {
    const char* line;
    std::vector<std::string> notes;  // the start of each expected note, in order
  } cases[] = {
      {"position", {"position: expected 'startpos' or 'fen'"}},
      {"position fen xyz", {"position: not a playable FEN"}},
      {"position fen 8/8/8/8/8/8/8/8 w - -", {"position: not a playable FEN"}},
      {"position banana moves e2e4", {"position: expected 'startpos' or 'fen', not 'banana'"}},
      {"position startpos moves e2e4 zz99 e7e5 e2e4",
       {"position: 'zz99' is not a legal move here", "position: 2 move words skipped"}},
      {"position startpos moves e2e4 e7e5", {}},
      {"setoption", {"setoption: no option name given"}},
      {"setoption name NoSuchOption value 3", {"setoption: unknown option 'NoSuchOption'"}},
      {"setoption name Hash value banana", {"setoption: 'Hash' does not take the value 'banana'"}},
      {"setoption name Clear Hash value x", {"setoption: 'Clear Hash' does not take the value 'x'"}},
      {"setoption name Ponder", {"setoption: 'Ponder' does not take the value ''"}},
      {"setoption name Style value Solid", {}},
      {"setoption name Clear Hash", {}},
      {"go depth 1 wtime abc", {"go: 'wtime' needs a number, not 'abc'"}},
      {"go depth 1 frobnicate", {"go: unknown word 'frobnicate' ignored"}},
      {"go depth 1 movetime", {"go: 'movetime' needs a number"}},
      {"go depth 1 searchmoves zz e2e5",
       {"go: searchmoves 'zz' is not a legal move", "go: searchmoves 'e2e5' is not a legal move",
        "go: no legal move among searchmoves"}},
      {"go depth 1 searchmoves e2e4 d2d4", {}},
      {"go depth 1 mate 3 nodes 500", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Exec("position startpos");
    Notes().clear();
    Exec(c.line);
    ASSERT_EQ(Notes().size(), c.notes.size());
    for (size_t i = 0; i < c.notes.size(); ++i) EXPECT_EQ(Notes()[i].rfind(c.notes[i], 0), 0u) << Notes()[i];
  }
}

TEST_F(InfoStrings, LongWordsAreCutAndMatedRootsNamed) {
  Exec("position startpos moves " + std::string(5000, 'a'));
  ASSERT_EQ(Notes().size(), 1u);
  EXPECT_EQ(Notes()[0], "position: '" + std::string(40, 'a') + "' is not a legal move here; skipped");
  for (const char* fen : {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1"}) {
    SCOPED_TRACE(fen);
    Exec(std::string("position fen ") + fen);
    Notes().clear();
    Exec("go depth 3");
    ASSERT_EQ(Notes().size(), 1u);
    EXPECT_EQ(Notes()[0], "go: the position has no legal move");
  }
}
