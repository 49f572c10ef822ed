#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "api/engine_fixture.h"
#include "board/move_text.h"
#include "protocol/interpreter.h"
#include "protocol/options.h"
#include "search/learning.h"
#include "search/learning_load.h"
#include "search/learning_path.h"
#include "search/learning_file.h"
#include "search/learning_temp_dir.h"
#include "search/time_control.h"

// A forced win the search finds only from depth 3 on, by a move it does not order first.
static const char SurpriseFen[] = "1r6/4b2k/1q1pNrpp/p2Pp3/4P3/1P1R3Q/5PPP/5RK1 w - - 0 1";

// Whole searches through the interpreter, with the engine's learning file in a temporary
// directory.
class LearningSearch : public LearningTempDir {
 protected:
  void SetUp() override {
    LearningTempDir::SetUp();
    EnsureEngine();
    Received = HostRecord{};
    memcpy(savedPath_, LearningFilePath, sizeof savedPath_);
    snprintf(LearningFilePath, sizeof LearningFilePath, "%s/kestrane.pl2", dir_.c_str());
    Run("setoption name Position Learning value true");
    Run("ucinewgame");
    Run("setoption name Clear Hash");
    uint32_t before = LearningSearches;
    Go("position startpos", "depth 1");
    if (LearningSearches == before) GTEST_SKIP() << "the root search does not call learning";
    std::filesystem::remove(path_);
  }
  void TearDown() override {
    Run("setoption name King Safety value 100");
    memcpy(LearningFilePath, savedPath_, sizeof savedPath_);
    SetTimeMode(TimeFixedDepth, 3);
    LearningTempDir::TearDown();
  }
  static void Run(const std::string& command) {
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    ExecuteCommand(line.data());
  }
  static void Go(const std::string& position, const std::string& limits) {
    Run(position);
    Received.lines.clear();
    Run("go " + limits);
  }
  static std::string FirstLine() { return Received.lines.empty() ? "" : Received.lines.front(); }
  static LearningRecord LastRecord() {
    LearningRecord last{};
    ReadLearningRecords(LearningFilePath, 0, [](const LearningRecord* r, void* c) {
      *static_cast<LearningRecord*>(c) = *r;
    }, &last);
    return last;
  }
  static std::string Text(Move move) {
    char text[16];
    MoveToText(text, move);
    return text;
  }
  char savedPath_[LearningPathSize];
};

TEST_F(LearningSearch, SurprisingSearchIsLearnedAndReplayedFromItsMove) {
  Go(std::string("position fen ") + SurpriseFen, "depth 9");
  ASSERT_EQ(CountLearningRecords(LearningFilePath), 1);
  LearningRecord learned = LastRecord();
  ASSERT_NE(learned.reply, 0u);
  std::string move = Text(learned.bestMove);
  EXPECT_EQ(FirstLine().find("depth 1 "), 5u) << FirstLine();
  EXPECT_EQ(FirstLine().find(" pv" + move), std::string::npos) << "the first search found it by itself";

  Go(std::string("position fen ") + SurpriseFen, "depth 9");
  EXPECT_EQ(LearnedRootMove(), learned.bestMove);
  EXPECT_NE(FirstLine().find("depth 1 "), std::string::npos) << FirstLine();
  EXPECT_NE(FirstLine().find(" pv" + move), std::string::npos) << FirstLine();
}

TEST_F(LearningSearch, RecordOfOtherSettingsIsNotUsed) {
  Go(std::string("position fen ") + SurpriseFen, "depth 9");
  ASSERT_EQ(CountLearningRecords(LearningFilePath), 1);
  Run("setoption name King Safety value 150");
  Go(std::string("position fen ") + SurpriseFen, "depth 9");
  EXPECT_EQ(LearnedRootMove(), 0u);
}

TEST_F(LearningSearch, LearningOffStoresNothing) {
  Run("setoption name Position Learning value false");
  Go(std::string("position fen ") + SurpriseFen, "depth 9");
  EXPECT_EQ(CountLearningRecords(LearningFilePath), 0);
  Run("setoption name Position Learning value true");
}
