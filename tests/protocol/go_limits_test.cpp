#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "protocol/go_limits.h"

static GoLimits Read(const char* words, int side) {
  std::vector<char> line(words, words + strlen(words) + 1);
  char* cursor = line.data();
  GoLimits limits;
  ReadGoLimits(&cursor, side, &limits);
  return limits;
}

static TimeChoice Choose(const char* words, int side = 0) { return ChooseTimeMode(Read(words, side)); }

TEST(GoLimits, TimeAndIncrementAreTakenForTheSideToMove) {
  struct Case {
    const char* words;
    int side;
    int32_t time, increment;
    int timeGiven;
  } cases[] = {
      {"wtime 1000 btime 9000", 0, 1000, 0, 1},
      {"wtime 1000 btime 9000", 1, 9000, 0, 1},
      {"wtime 1000 winc 50 binc 70", 0, 1000, 50, 1},
      {"wtime 1000 winc 50 binc 70", 1, 0, 70, 0},
      {"btime 500", 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    GoLimits limits = Read(c.words, c.side);
    EXPECT_EQ(limits.time, c.time) << c.words << " side " << c.side;
    EXPECT_EQ(limits.increment, c.increment) << c.words << " side " << c.side;
    EXPECT_EQ(limits.timeGiven, c.timeGiven) << c.words << " side " << c.side;
  }
}

TEST(GoLimits, MissingNumberEndsTheReadingButKeepsEarlierWords) {
  GoLimits limits = Read("ponder depth 7 movetime", 0);
  EXPECT_EQ(limits.ponder, 1);
  EXPECT_EQ(limits.depthGiven, 1);
  EXPECT_EQ(limits.depth, 7);
  EXPECT_EQ(limits.moveTimeGiven, 0);
  limits = Read("depth x7", 0);  // a word without digits reads as 0
  EXPECT_EQ(limits.depthGiven, 1);
  EXPECT_EQ(limits.depth, 0);
}

TEST(GoLimits, WordsBeforeSearchmovesAreIgnored) {
  GoLimits limits = Read("e2e4 fast depth 3 infinite", 0);
  EXPECT_EQ(limits.depth, 3);
  EXPECT_EQ(limits.infinite, 1);
}

TEST(GoLimits, TheFirstMatchingRuleChoosesTheTimeMode) {
  struct Case {
    const char* words;
    TimeControlKind kind;
    int mode, value;
  } cases[] = {
      {"infinite movetime 100 depth 4", FixedControl, 1, 99},
      {"depth 5 movetime 1000", FixedControl, 0, 1000},
      {"wtime 5000 depth 5", FixedControl, 1, 5},
      {"mate 3 wtime 5000", FixedControl, 1, 99},
      {"nodes 5000 mate 2", FixedControl, 1, 99},
      {"movestogo 30", KeepTimeControl, 0, 0},
      {"winc 100", KeepTimeControl, 0, 0},
      {"", KeepTimeControl, 0, 0},
      {"ponder", KeepTimeControl, 0, 0},
  };
  for (const Case& c : cases) {
    TimeChoice choice = Choose(c.words);
    EXPECT_EQ(choice.kind, c.kind) << c.words;
    if (c.kind == FixedControl) {
      EXPECT_EQ(choice.mode, c.mode) << c.words;
      EXPECT_EQ(choice.value, c.value) << c.words;
    }
  }
}

TEST(GoLimits, NodesSetTheLimitAndShortenThePollInterval) {
  TimeChoice choice = Choose("nodes 5000");
  EXPECT_EQ(choice.nodeLimit, 5000);
  EXPECT_EQ(choice.pollInterval, 101u);
  choice = Choose("nodes 0");
  EXPECT_EQ(choice.pollInterval, 1u);
  choice = Choose("nodes -100000");  // never a zero or negative interval
  EXPECT_EQ(choice.pollInterval, 0u);
  choice = Choose("depth 3");
  EXPECT_EQ(choice.nodeLimit, 0);
  EXPECT_EQ(choice.pollInterval, 0u);
}

TEST(GoLimits, TimeLeftChoosesMovesInTimeOrWholeGame) {
  TimeChoice choice = Choose("movestogo 40 wtime 120000 btime 120000");
  EXPECT_EQ(choice.kind, MovesInTimeControl);
  EXPECT_EQ(choice.movesToGo, 40);
  EXPECT_EQ(choice.timeLeft, 120000);
  EXPECT_EQ(choice.increment, 0);

  choice = Choose("wtime 300000 btime 290000 winc 5000 binc 4000", 1);
  EXPECT_EQ(choice.kind, WholeGameControl);
  EXPECT_EQ(choice.timeLeft, 290000);
  EXPECT_EQ(choice.increment, 4000);
}
