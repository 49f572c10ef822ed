#include "protocol/report.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "board/position.h"
#include "protocol/host_callbacks.h"
#include "protocol/interpreter.h"
#include "protocol/options.h"
#include "search/search.h"
#include "search/search_flags.h"

namespace {

struct Heard {
  std::vector<std::string> lines;
  std::vector<int> lineScores;
  std::vector<std::pair<int, int>> depths;
  std::vector<std::string> currentMoves;
  std::vector<uint64_t> nodes;
};
Heard heard;

void KESTRANE_CDECL OnNodes(uint32_t low, uint32_t high, int32_t) { heard.nodes.push_back(uint64_t(high) << 32 | low); }
void KESTRANE_CDECL OnDepth(int32_t d, int32_t s) { heard.depths.push_back({d, s}); }
void KESTRANE_CDECL OnMove(const char* m, int32_t, int32_t) { heard.currentMoves.push_back(m); }
void KESTRANE_CDECL OnLine(const char* line, int32_t score) {
  heard.lines.push_back(line);
  heard.lineScores.push_back(score);
}

// A bare position (no variation to walk) and a host that records every call.
class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pos = static_cast<Position*>(calloc(1, sizeof(Position)));
    ASSERT_NE(pos, nullptr);
    savedHost = Host;
    savedEngine = EnginePosition;
    savedRoot = ReportRootNode;
    savedReports = Reports;
    Reports = InterpreterReports;
    Host = HostCallbacks{nullptr, OnNodes, OnDepth, OnMove, OnLine, nullptr, nullptr};
    EnginePosition = pos;
    ReportRootNode = nullptr;
    MultiPV = 1;
    heard = Heard{};
  }
  void TearDown() override {
    Host = savedHost;
    EnginePosition = savedEngine;
    ReportRootNode = savedRoot;
    Reports = savedReports;
    MultiPV = 1;
    free(pos);
  }
  // The line up to its variation.
  std::string Report(int score, int bound, int elapsed = 0, int depth = 5) {
    heard.lines.clear();
    ReportLine(pos, 0, 1, depth, 1, elapsed, score, bound);
    if (heard.lines.empty()) return "(nothing)";
    const std::string& line = heard.lines.back();
    return line.substr(0, line.find("hashfull"));
  }
  Position* pos = nullptr;
  HostCallbacks savedHost;
  Position* savedEngine = nullptr;
  PlyState* savedRoot = nullptr;
  SearchReports savedReports{};
};

TEST_F(ReportTest, ScoreTexts) {
  struct Case {
    int score, bound;
    const char* text;
    int hostScore;
  };
  const Case cases[] = {
      {29999, BoundExact, "info depth 5 seldepth 5 time 0 score mate 1 ", 32766},
      {-30000, BoundExact, "info depth 5 seldepth 5 time 0 score mate -0 ", -32767},
      {-29998, BoundExact, "info depth 5 seldepth 5 time 0 score mate -1 ", -32765},
      {29500, BoundExact, "info depth 5 seldepth 5 time 0 score mate 250 lowerbound ", 32267},
      {-29500, BoundExact, "info depth 5 seldepth 5 time 0 score mate -250 upperbound ", -32267},
      {29000, BoundExact, "info depth 5 seldepth 5 time 0 score cp 29000 ", 29000},
      {-29000, BoundExact, "info depth 5 seldepth 5 time 0 score cp -29000 ", -29000},
      {31, BoundLower, "info depth 5 seldepth 5 time 0 score cp 31 lowerbound ", 31},
      {-7, BoundUpper, "info depth 5 seldepth 5 time 0 score cp -7 upperbound ", -7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Report(c.score, c.bound), c.text) << c.score;
    EXPECT_EQ(heard.lineScores.back(), c.hostScore) << c.score;
  }
  EXPECT_EQ(LineSentFlag, 1);
}

TEST_F(ReportTest, NodesAndSpeed) {
  pos->nodeCount = 5000;
  EXPECT_EQ(Report(12, BoundExact, 0), "info depth 5 seldepth 5 time 0 score cp 12 nodes 5000 ")
      << "no speed without time";
  EXPECT_EQ(heard.nodes.back(), 5000u);
  EXPECT_EQ(Report(12, BoundExact, 250), "info depth 5 seldepth 5 time 250 score cp 12 nodes 5000 nps 20000 ");
  pos->nodeCount = 0;
  EXPECT_EQ(Report(12, BoundExact, 250), "info depth 5 seldepth 5 time 250 score cp 12 ");
  EXPECT_EQ(NodesPerSecond(uint64_t(1) << 40, 1), INT32_MAX) << "saturates instead of overflowing";
}

TEST_F(ReportTest, LineEndsWithTheVariation) {
  ReportLine(pos, 0, 1, 3, 1, 0, 0, BoundExact);
  ASSERT_EQ(heard.lines.size(), 1u);
  const std::string& line = heard.lines[0];
  size_t at = line.find("hashfull ");
  ASSERT_NE(at, std::string::npos) << line;
  at += 9;
  while (at < line.size() && isdigit(static_cast<unsigned char>(line[at]))) at++;
  EXPECT_EQ(line.substr(at, 3), " pv") << line;
  EXPECT_EQ(heard.depths.back(), std::make_pair(3, 3));
}

TEST_F(ReportTest, MultiLineStartsWithDepthAndCarriesItsRank) {
  MultiPV = 2;
  ReportLine(pos, 0, 2, 6, 2, 0, -15, BoundExact);
  ASSERT_EQ(heard.lines.size(), 1u);
  EXPECT_EQ(heard.lines[0].rfind("depth 6 seldepth 6 time 0 score cp -15 ", 0), 0u) << heard.lines[0];
  EXPECT_EQ(ReportedLineRank, 2);
}

TEST_F(ReportTest, IterationTagAndSilentPositionSendNothing) {
  ReportLine(pos, 0, 1, 6, IterationDoneTag, 0, 10, BoundExact);
  pos->silent = 1;
  ReportLine(pos, 0, 1, 6, 1, 0, 10, BoundExact);
  EXPECT_TRUE(heard.lines.empty());
  EXPECT_TRUE(heard.depths.empty());
}

TEST_F(ReportTest, RootMoveFromDepthEight) {
  ReportRootMove(pos, 7, 1, 20, 0);
  EXPECT_TRUE(heard.currentMoves.empty());
  EXPECT_TRUE(heard.depths.empty());
  pos->silent = 1;
  ReportRootMove(pos, 30, 1, 20, 0);
  pos->silent = 0;
  EXPECT_TRUE(heard.currentMoves.empty()) << "a silent position reports nothing";

  // The line of the deepest search reaches ply 45.
  for (int ply = 1; ply <= 45; ++ply) pos->plies[ply].move = 1;
  ReportRootMove(pos, 40, 1, 20, 0);
  EXPECT_EQ(heard.currentMoves.size(), 1u);
  ASSERT_EQ(heard.depths.size(), 1u);
  EXPECT_EQ(heard.depths[0], std::make_pair(40, 45));

  ReportRootMove(pos, 40, 2, 20, 0);
  ReportRootMove(pos, 41, 3, 20, 0);
  EXPECT_EQ(heard.currentMoves.size(), 3u);
  EXPECT_EQ(heard.depths.size(), 1u) << "same selective depth: no new depth report";

  for (int ply = 46; ply <= 50; ++ply) pos->plies[ply].move = 1;
  ReportRootMove(pos, 42, 1, 20, 0);
  ASSERT_EQ(heard.depths.size(), 2u);
  EXPECT_EQ(heard.depths[1], std::make_pair(42, 50));
}

TEST_F(ReportTest, SelectiveDepthCountsTheLineBelowTheRoot) {
  EXPECT_EQ(SelectiveDepth(pos, 6), 6);
  for (int ply = 1; ply <= 9; ++ply) pos->plies[ply].move = 1;
  EXPECT_EQ(SelectiveDepth(pos, 6), 9);
  EXPECT_EQ(SelectiveDepth(pos, 12), 12);
  for (int ply = 1; ply < MaxPly; ++ply) pos->plies[ply].move = 1;
  EXPECT_EQ(SelectiveDepth(pos, 6), 99);
}

TEST_F(ReportTest, SearchEndGivesTheNodeCount) {
  pos->nodeCount = 123456;
  ReportSearchEnd(pos, 0, 0);
  ASSERT_EQ(heard.nodes.size(), 1u);
  EXPECT_EQ(heard.nodes[0], 123456u);
  EXPECT_TRUE(heard.lines.empty()) << "the final report is no information line";
}

}  // namespace
