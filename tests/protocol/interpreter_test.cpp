#include <gtest/gtest.h>

#include <string>

#include "protocol/interpreter.h"
#include "protocol/run_command.h"
#include "search/search_flags.h"

class Interpreter : public ::testing::Test {
 protected:
  void TearDown() override {
    StopFlag.store(0);
    NextBestFlag.store(0);
    SearchMode.store(0);
    DebugSwitch = 0;
  }
};

TEST_F(Interpreter, ResultTellsWhetherTheFirstWordIsACommand) {
  struct Case {
    const char* line;
    int result;
  } cases[] = {
      {"", 0},           {"   ", 0},          {"Stop", 0},       {"stopp", 0},      {"xyzzy go", 0},
      {"isready", 1},    {"  isready  ", 1},  {"uci", 1},        {"ucinewgame", 1}, {"debug", 1},
      {"quit", 1},       {"stop now", 1},     {"ponderhit", 1},  {"position", 1},   {"setoption", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(Exec(c.line), c.result) << "'" << c.line << "'";
  EXPECT_EQ(ExecuteCommand(nullptr), 0);
}

TEST_F(Interpreter, TheLineIsSplitInPlace) {
  char line[] = "debug on";
  ExecuteCommand(line);
  EXPECT_STREQ(line, "debug");
}

TEST_F(Interpreter, StopClearsNextBestAndSetsStop) {
  NextBestFlag.store(1);
  EXPECT_EQ(Exec("stop"), 1);
  EXPECT_EQ(NextBestFlag.load(), 0);
  EXPECT_EQ(StopFlag.load(), 1);
}

TEST_F(Interpreter, QuitStopsOnlyARunningSearch) {
  Exec("quit");
  EXPECT_EQ(StopFlag.load(), 0);
  SearchMode.store(2);
  Exec("quit");
  EXPECT_EQ(StopFlag.load(), 1);
}

TEST_F(Interpreter, DebugSwitch) {
  const struct {
    const char* line;
    int32_t after;
  } steps[] = {{"debug on", 1}, {"debug", 1}, {"debug maybe", 1}, {"debug off", 0}, {"debug ON", 0}};
  for (const auto& step : steps) {
    Exec(step.line);
    EXPECT_EQ(DebugSwitch, step.after) << step.line;
  }
}

TEST_F(Interpreter, GoAndPositionAreIgnoredWhileSearching) {
  SearchMode.store(1);
  EXPECT_EQ(Exec("go depth 3"), 1);
  EXPECT_EQ(SearchMode.load(), 1);  // no search ran: it would end idle
  EXPECT_EQ(Exec("position startpos"), 1);
}

TEST_F(Interpreter, OutputLineReachesTheSinkOnlyWhenOneIsSet) {
  static std::string received;
  received.clear();
  snprintf(OutputLine, OutputLineSize, "info test\n");
  SendOutputLine();
  EXPECT_EQ(received, "");
  OutputSink = [](const char* text) { received = text; };
  SendOutputLine();
  OutputSink = nullptr;
  EXPECT_EQ(received, "info test\n");
}
