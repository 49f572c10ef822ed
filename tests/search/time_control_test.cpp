#include "search/time_control.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "board/position.h"
#include "protocol/options.h"
#include "search/root_search.h"
#include "search/search.h"
#include "search/search_flags.h"

namespace {

// Keeps the global time state of one test from leaking into the next.
class TimeControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PonderEnabled = 0;
    TimeUsage = 100;
    ZeroTimeControl();
  }
  void TearDown() override {
    PonderEnabled = 0;
    TimeUsage = 100;
    SetTimeMode(TimeFixedDepth, 3);
    StopFlag.store(0);
    SearchMode.store(0);
  }
};

struct ClockCase {
  const char* name;
  int movesToGo;  // -1: whole-game clock
  int timeLeft, increment, ponder, usage;
  int target, hardLimit;
};

TEST_F(TimeControlTest, AllocationFollowsTheClock) {
  const ClockCase cases[] = {
      {"one minute, no increment", -1, 60000, 0, 0, 100, 944, 14750},
      {"over a minute, no increment", -1, 120000, 0, 0, 100, 3740, 29750},
      {"ten seconds plus 0.1", -1, 10000, 100, 0, 100, 333, 2250},
      {"two minutes plus two seconds", -1, 120000, 2000, 0, 100, 7020, 29750},
      {"increment larger than a third of the clock", -1, 3000, 1500, 0, 100, 64, 500},
      {"40 moves in 5 minutes", 40, 300000, 0, 0, 100, 7142, 33214},
      {"40 moves in 5 minutes, pondering", 40, 300000, 0, 1, 100, 9375, 33214},
      {"9 moves in a minute, pondering: divided by 8.75", 9, 60000, 0, 1, 100, 6857, 16909},
      {"one move to go", 1, 10000, 0, 0, 100, 3333, 9000},
      {"movestogo 0 is a whole-game clock", 0, 60000, 2000, 0, 100, 2788, 14750},
      {"Time Usage 200 doubles the target only", -1, 60000, 0, 0, 200, 1888, 14750},
      {"a tiny target is raised to 28", -1, 1500, 0, 0, 100, 28, 125},
      {"the hard limit never reaches the end of the clock", -1, 500, 0, 0, 100, 28, 58},
      {"with 40 ms left the clock wins over the minimum", -1, 40, 0, 0, 100, 28, 10},
      {"a negative clock", -1, -5000, 0, 0, 100, 28, 0},
  };
  for (const ClockCase& c : cases) {
    PonderEnabled = c.ponder;
    TimeUsage = c.usage;
    if (c.movesToGo >= 0) {
      SetMovesInTimeControl(c.movesToGo, c.timeLeft, c.increment);
      SetTimeMode(TimeMovesToGo, 0);
    } else {
      SetWholeGameControl(c.timeLeft, c.increment);
      SetTimeMode(TimeWholeGame, 0);
    }
    AllocateTime();
    EXPECT_EQ(RootTime.target, c.target) << c.name;
    EXPECT_EQ(RootTime.allocated, c.target) << c.name;
    EXPECT_EQ(RootTime.hardLimit, c.hardLimit) << c.name;
    EXPECT_EQ(RootTime.extra, 0) << c.name;
    EXPECT_LE(RootTime.hardLimit, std::max(c.timeLeft, 0)) << c.name;
  }
}

TEST_F(TimeControlTest, PercentAfterAScoreChange) {
  SetWholeGameControl(60000, 0);
  SetTimeMode(TimeWholeGame, 0);
  EXPECT_EQ(TimePercent(100), 25);   // the score rose: no more than usual
  EXPECT_EQ(TimePercent(9), 25);
  EXPECT_EQ(TimePercent(-100), 35);
  EXPECT_EQ(TimePercent(-600), 75);  // capped
  AllocateTime();
  EXPECT_EQ(LimitFromPercent(75), 44250);

  SetMovesInTimeControl(40, 300000, 0);
  SetTimeMode(TimeMovesToGo, 0);
  EXPECT_EQ(TimePercent(0), 85);
  EXPECT_EQ(TimePercent(300), 85);
  EXPECT_EQ(TimePercent(-500), 35);
  EXPECT_EQ(TimePercent(-5000), 15);
  AllocateTime();
  // 15%: more of the clock may go into this move.
  EXPECT_EQ(LimitFromPercent(15), (90 * 300000 - 39LL * 15 * 300000 / 42) / 100);
}

TEST_F(TimeControlTest, FixedModesAndUnknownModes) {
  SetTimeMode(TimeFixedMove, 1500);
  EXPECT_EQ(RootTime.mode, TimeFixedMove);
  EXPECT_EQ(RootTime.target, 1500);
  EXPECT_EQ(RootTime.hardLimit, 1500);
  EXPECT_EQ(RootTime.depthLimit, 99);

  AddExtraTime(77);
  GiveBackTime(77);
  SetTimeMode(TimeFixedDepth, 12);
  EXPECT_EQ(RootTime.mode, TimeFixedDepth);
  EXPECT_EQ(RootTime.depthLimit, 12);
  EXPECT_EQ(RootTime.target, INT32_MAX);
  EXPECT_EQ(RootTime.hardLimit, INT32_MAX);
  EXPECT_EQ(RootTime.extra, 0);
  EXPECT_EQ(RootTime.allocated, 0);
  EXPECT_FALSE(InClockMode());

  SetTimeMode(7, 5);
  SetTimeMode(-1, 5);
  EXPECT_EQ(RootTime.mode, TimeFixedDepth);
  EXPECT_EQ(RootTime.depthLimit, 12);

  SetTimeMode(TimeWholeGame, 0);
  EXPECT_TRUE(InClockMode());
  EXPECT_EQ(RootTime.depthLimit, 99);
}

TEST_F(TimeControlTest, PonderHitOnlyLeavesPondering) {
  SearchMode.store(2);
  PonderHit();
  EXPECT_EQ(SearchMode.load(), 1);
  PonderHit();
  EXPECT_EQ(SearchMode.load(), 1);
  SearchMode.store(0);
  PonderHit();
  EXPECT_EQ(SearchMode.load(), 0);
}

TEST_F(TimeControlTest, CalibrationSetsBothIntervals) {
  MeasureSpeed();
  EXPECT_GT(SpeedEstimate, 0);
  EXPECT_EQ(PollInterval, uint64_t(SpeedEstimate) / 4);
}

// Poll runs on a position of its own; only the node counter is read.
class PollTest : public TimeControlTest {
 protected:
  void SetUp() override {
    TimeControlTest::SetUp();
    pos = static_cast<Position*>(calloc(1, sizeof(Position)));
    ASSERT_NE(pos, nullptr);
    StartSearchClock();
    StopFlag.store(0);
    SearchMode.store(1);
    NoTroubleFlag = 1;
    RootDepth = 5;
    SetNodeLimit(0, 0);
    RootInfo.pondering = 0;
    RootInfo.singleMove = 0;
  }
  void TearDown() override {
    free(pos);
    SetNodeLimit(0, 0);
    NoTroubleFlag = 1;
    RootInfo.pondering = RootInfo.singleMove = 0;
    TimeControlTest::TearDown();
  }
  Position* pos = nullptr;
};

TEST_F(PollTest, NodeLimitStopsWithoutWaitingInFixedDepth) {
  SetTimeMode(TimeFixedDepth, 99);
  SetNodeLimit(1000, 0);
  pos->nodeCount = 999;
  Poll(pos);
  EXPECT_EQ(StopFlag.load(), 0);
  EXPECT_GT(NextPollPoint, pos->nodeCount);
  pos->nodeCount = 1000;
  Poll(pos);
  EXPECT_EQ(StopFlag.load(), 1);
}

TEST_F(PollTest, NodeLimitAtDepthOneInTroubleNeedsEightTimesTheNodes) {
  SetTimeMode(TimeFixedDepth, 99);
  SetNodeLimit(1000, 0);
  RootDepth = 1;
  NoTroubleFlag = 0;
  pos->nodeCount = 7999;
  Poll(pos);
  EXPECT_EQ(StopFlag.load(), 0);
  pos->nodeCount = 8000;
  Poll(pos);
  EXPECT_EQ(StopFlag.load(), 1);
}

TEST_F(PollTest, HardLimitAppliesOnlyWhileThinkingPastDepthFour) {
  SetTimeMode(TimeFixedMove, 0);
  RootDepth = 4;
  Poll(pos);
  EXPECT_EQ(StopFlag.load(), 0);
  SearchMode.store(2);
  RootDepth = 5;
  Poll(pos);
  EXPECT_EQ(StopFlag.load(), 0) << "a ponder search ignores the clock";
  SearchMode.store(1);
  Poll(pos);
  EXPECT_EQ(StopFlag.load(), 1);
}

TEST_F(PollTest, NearlyEmptyClockStopsEvenAShallowIteration) {
  SetWholeGameControl(20, 0);
  SetTimeMode(TimeWholeGame, 0);
  AllocateTime();
  RootDepth = 2;
  SearchStartTick -= 100;  // the search began 100 ms ago
  Poll(pos);
  EXPECT_EQ(StopFlag.load(), 1);
}

TEST_F(PollTest, PonderHitOnASingleMoveStopsAtOnce) {
  SetTimeMode(TimeFixedMove, 100000);
  RootInfo.pondering = 1;
  RootInfo.singleMove = 1;
  SearchMode.store(2);
  Poll(pos);
  EXPECT_EQ(StopFlag.load(), 0);
  PonderHit();
  Poll(pos);
  EXPECT_EQ(StopFlag.load(), 1);
  EXPECT_EQ(RootInfo.pondering, 0);
}

TEST_F(PollTest, PonderHitWithTheTimeUsedStopsOnTheFirstMove) {
  SetTimeMode(TimeFixedMove, 0);
  RootInfo.pondering = 1;
  RootInfo.searchingFirstMove = 0;
  RootDepth = 3;
  SearchMode.store(1);
  CheckPonderHit();
  EXPECT_EQ(StopFlag.load(), 0) << "not on a later root move";
  RootInfo.pondering = 1;
  RootInfo.searchingFirstMove = 1;
  CheckPonderHit();
  EXPECT_EQ(StopFlag.load(), 1);
}

}  // namespace
