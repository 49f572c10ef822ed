#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "api/engine_fixture.h"
#include "api/engine_state.h"
#include "api/startup.h"
#include "board/move_text.h"
#include "protocol/interpreter.h"
#include "protocol/options.h"
#include "search/learning_path.h"
#include "search/root_search.h"
#include "search/search_flags.h"

class Analyse : public EngineFixture {
 protected:
  void TearDown() override {
    MultiPV = 1;
    PonderEnabled = 1;
    LastAnalysePondered = 1;
  }

  // One search from the start position at depth 1.
  static int32_t SearchStart(int ponder, int lines) {
    KestraneSetStartPosition();
    KestraneSetDepth(1);
    return KestraneAnalyse(ponder, lines);
  }
};

// Stops a ponder search from another thread, as a host does when the opponent moves.
static int32_t PonderThenStop(int lines) {
  std::atomic<bool> done{false};
  std::thread stopper([&] {
    while (!done.load()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (SearchMode.load() != 0) KestraneStopAnalyse();
    }
  });
  KestraneSetStartPosition();
  KestraneSetDepth(1);
  int32_t result = KestraneAnalyse(1, lines);
  done.store(true);
  stopper.join();
  return result;
}

TEST_F(Analyse, PonderOptionFollowsTheHostsPondering) {
  LastAnalysePondered = 1;  // as after start-up
  PonderEnabled = 1;
  struct Step {
    int ponder;
    int32_t enabledAfter;
  } steps[] = {{0, 1}, {0, 0}, {0, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 1}, {1, 1}, {0, 1}};
  for (const Step& step : steps) {
    if (step.ponder) EXPECT_EQ(PonderThenStop(1), 1);
    else EXPECT_EQ(SearchStart(0, 1), 1);
    EXPECT_EQ(PonderEnabled, step.enabledAfter);
    EXPECT_EQ(LastAnalysePondered, step.ponder);
  }
}

TEST_F(Analyse, LinesArgumentSetsMultiPVWithoutARangeCheck) {
  SearchStart(0, 30);
  EXPECT_EQ(MultiPV, 30);
  SearchStart(0, 1);
  EXPECT_EQ(MultiPV, 1);
}

TEST_F(Analyse, ConsumesThePositionLineAndKeepsTheGoParameters) {
  SearchStart(0, 1);
  EXPECT_STREQ(PositionLine, "position");
  EXPECT_STREQ(GoParameters, "depth 1");
}

TEST_F(Analyse, TheHostAlwaysReceivesALine) {
  static std::string output;
  OutputSink = [](const char* text) { output += text; };
  SearchStart(0, 1);
  OutputSink = nullptr;
  ASSERT_GE(Received.lines.size(), 1u);
  EXPECT_EQ(SearchMode.load(), 0);
  // The interpreter's own answer names the same best move as the last line.
  size_t bestAt = output.rfind("bestmove ");
  ASSERT_NE(bestAt, std::string::npos);
  std::string best = output.substr(bestAt + 9, output.find_first_of(" \n", bestAt + 9) - bestAt - 9);
  EXPECT_EQ(output.back(), '\n');
  EXPECT_NE(Received.lines.back().find(best), std::string::npos) << Received.lines.back() << " / " << output;
  Received = HostRecord{};
  EXPECT_EQ(PonderThenStop(1), 1);
  EXPECT_GE(Received.lines.size(), 1u);
  EXPECT_EQ(SearchMode.load(), 0);
}

TEST(LearningPath, DirectoryIsJoinedWithoutASeparatorAndNeverCut) {
  struct Case {
    std::string directory, path;
  } cases[] = {
      {"C:\\Engines\\", "C:\\Engines\\kestrane.pl2"},
      {"C:\\Engines", "C:\\Engineskestrane.pl2"},
      {"", "kestrane.pl2"},
      {std::string(243, 'd'), std::string(243, 'd') + "kestrane.pl2"},  // exactly fills the buffer
      {std::string(244, 'd'), "kestrane.pl2"},
      {std::string(10000, 'd'), "kestrane.pl2"},
  };
  for (const Case& c : cases) {
    SetLearningFilePath(c.directory.c_str());
    EXPECT_EQ(std::string(LearningFilePath), c.path) << c.directory.size();
  }
  SetLearningFilePath(EngineDirectory().c_str());
}

static int BestMoveAnswers;

static std::string FirstBestMove;

static void CountBestMoves(const char* text) {
  if (strncmp(text, "bestmove", 8) != 0) return;
  if (++BestMoveAnswers == 1) FirstBestMove = std::string(text + 8, strcspn(text + 8, "\n") - (strstr(text, " ponder") ? strlen(strstr(text, " ponder")) - 1 : 0));
}

TEST_F(Analyse, NextBestRunsOneMoreSearchOverTheRemainingMoves) {
  BestMoveAnswers = 0;
  OutputSink = CountBestMoves;
  Received.onLine = [](const char*) {
    if (Received.lines.size() == 1) KestraneNextBest();
  };
  SearchStart(0, 1);
  OutputSink = nullptr;
  EXPECT_EQ(BestMoveAnswers, 2);
  EXPECT_EQ(NextBestFlag.load(), 0);
  // The second search was restricted to the moves the first one left in NextBestList.
  std::string expected;
  for (const Move* m = SearchMovesList; *m; ++m) {
    char text[16];
    MoveToText(text, *m);
    expected += text;
  }
  EXPECT_EQ(expected, std::string(NextBestList));
  // Every start-position move but the first search's best one.
  EXPECT_EQ(std::count(expected.begin(), expected.end(), ' '), 19) << expected;
  EXPECT_EQ((expected + " ").find(FirstBestMove + " "), std::string::npos) << FirstBestMove << " in" << expected;
}

TEST_F(Analyse, StopAfterNextBestEndsTheAnalysis) {
  BestMoveAnswers = 0;
  OutputSink = CountBestMoves;
  Received.onLine = [](const char*) {
    if (Received.lines.size() == 1) {
      KestraneNextBest();
      KestraneStopAnalyse();
    }
  };
  SearchStart(0, 1);
  OutputSink = nullptr;
  EXPECT_EQ(BestMoveAnswers, 1);
}
