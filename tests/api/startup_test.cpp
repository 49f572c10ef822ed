#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

#include "api/engine_fixture.h"
#include "api/engine_state.h"
#include "board/game.h"
#include "protocol/options.h"
#include "protocol/run_command.h"
#include "search/root_search.h"
#include "search/search_flags.h"

class Startup : public EngineFixture {
 protected:
  static int32_t Restart(const KestraneCallbacks* callbacks) {
    KestraneQuit();
    return KestraneInit(TestHashKb, callbacks, EngineDirectory().c_str(), 0);
  }
  static int32_t SearchStart() {
    KestraneSetStartPosition();
    KestraneSetDepth(1);
    return KestraneAnalyse(0, 1);
  }
};

TEST_F(Startup, QuitReleasesAndInitStartsAgain) {
  KestraneQuit();
  EXPECT_EQ(EngineInitialised, 0);
  EXPECT_EQ(EnginePosition, nullptr);
  // Not initialised: nothing runs, nothing breaks.
  EXPECT_EQ(SearchStart(), 1);
  EXPECT_TRUE(Received.lines.empty());
  KestraneClearHashtable();
  EXPECT_EQ(Exec("go depth 1"), 1);
  EXPECT_EQ(Exec("position startpos moves e2e4"), 1);
  KestraneQuit();

  ASSERT_EQ(KestraneInit(TestHashKb, &RecordingCallbacks, EngineDirectory().c_str(), 0), TestHashKb);
  EXPECT_EQ(SearchStart(), 1);
  EXPECT_GE(Received.lines.size(), 1u);
}

TEST_F(Startup, InitSetsTheStartValuesAndTheStartPosition) {
  Exec("position startpos moves e2e4 e7e5");
  Exec("setoption name Selectivity value 7");
  Exec("setoption name Style value Solid");
  Exec("setoption name Combinations value None");
  Exec("setoption name Queen value 150");
  ASSERT_EQ(Restart(&RecordingCallbacks), TestHashKb);
  EXPECT_EQ(GameLength, 0);
  EXPECT_EQ(RootBoard[SquareOf(5, 1)], WKing);
  EXPECT_EQ(RootBoard[SquareOf(5, 2)], WPawn);
  EXPECT_EQ(Selectivity, -1);
  EXPECT_EQ(ForwardPruning, 2);
  EXPECT_EQ(StyleLateMoveReductions + StyleHangingReduction + StyleMultiCut, 3);
  EXPECT_EQ(CombinationQuiesceChecks + CombinationSingular, 2);
  EXPECT_EQ(PonderEnabled, 1);
  EXPECT_EQ(SearchMode.load(), 0);
  EXPECT_EQ(OptionWeights[WeightQueen], 150);  // weights keep their values across restarts
  Exec("setoption name Queen value 100");
}

TEST_F(Startup, NullCallbackTableIsAccepted) {
  ASSERT_EQ(Restart(nullptr), TestHashKb);
  EXPECT_EQ(SearchStart(), 1);
  ASSERT_EQ(Restart(&RecordingCallbacks), TestHashKb);
}

// Address space capped a little above what the process holds: a 4 GB hash cannot be had.
static int InitUnderMemoryCap() {
  long pages = 0;
  if (FILE* statm = fopen("/proc/self/statm", "r")) {
    if (fscanf(statm, "%ld", &pages) != 1) pages = 0;
    fclose(statm);
  }
  rlim_t cap = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(512) << 20);
  rlimit limit{cap, cap};
  if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0) return 2;
  KestraneQuit();
  if (KestraneInit(4194304, &RecordingCallbacks, EngineDirectory().c_str(), 0) != -1) return 3;
  if (EngineInitialised != 0 || EnginePosition != nullptr) return 4;
  if (KestraneAnalyse(0, 1) != 1) return 5;
  return 0;
}

TEST_F(Startup, InitFailsSoundlyWhenTheHashCannotBeHad) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(exit(InitUnderMemoryCap()), ::testing::ExitedWithCode(0), "");
}
