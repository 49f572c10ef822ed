#include "search/root_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "api/engine_fixture.h"
#include "board/position.h"
#include "platform/platform.h"
#include "protocol/interpreter.h"
#include "protocol/options.h"
#include "protocol/report.h"
#include "search/search.h"
#include "search/search_flags.h"
#include "search/search_reports.h"
#include "search/time_control.h"

namespace {

std::vector<int> ranksHeard;
void RecordRank(const char*) { ranksHeard.push_back(ReportedLineRank); }

// The engine of the test process, searching through the interpreter as a host's "go" does.
class RootSearchTest : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    Run("setoption name Position Learning value false");
    Run("ucinewgame");
    Run("setoption name Clear Hash");
    MultiPV = 1;
    ranksHeard.clear();
    Received.onLine = RecordRank;
  }
  void TearDown() override {
    MultiPV = 1;
    NextBestFlag.store(0);
    Received.onLine = nullptr;
    SetTimeMode(TimeFixedDepth, 3);
  }
  static void Run(const std::string& command) {
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    ExecuteCommand(line.data());
  }
  // Runs "go ..." on the position and returns the best move text ("" for none).
  std::string Go(const std::string& position, const std::string& limits) {
    Run(position);
    Received.lines.clear();
    Run("go " + limits);
    std::string out = OutputLine;
    std::string best = out.size() > 9 ? out.substr(9) : "";
    return best.substr(0, best.find_first_of(" \n"));
  }
  bool HeardScore(const std::string& score) const {
    for (const std::string& line : Received.lines)
      if (line.find("score " + score + " ") != std::string::npos && line.find("bound") == std::string::npos)
        return true;
    return false;
  }
};

TEST_F(RootSearchTest, FinishedAndDrawnRootsEndAtOnce) {
  struct Case {
    const char* name;
    const char* position;
    bool hasMove;
  };
  const Case cases[] = {
      {"checkmated", "position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", false},
      {"stalemated", "position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", false},
      {"bare kings", "position fen 8/8/4k3/8/8/4K3/8/8 w - - 0 1", true},
      {"a lone knight", "position fen 8/8/4k3/8/8/4KN2/8/8 b - - 0 1", true},
      {"a lone bishop", "position fen 8/8/4k3/8/8/4KB2/8/8 w - - 0 1", true},

  };
  for (const Case& c : cases) {
    std::string best = Go(c.position, "depth 6");
    EXPECT_EQ(EnginePosition->nodeCount, 0u) << c.name;
    EXPECT_EQ(best != "0000", c.hasMove) << c.name << ": '" << best << "'";
    EXPECT_EQ(best.size(), 4u) << c.name;
  }
}

// Knights out and back: 4 plies without a capture or a pawn move per round.
static std::string KnightShuffle(int plies) {
  static const char* const Round[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
  std::string line = "position startpos moves";
  for (int i = 0; i < plies; ++i) line += std::string(" ") + Round[i % 4];
  return line;
}

TEST_F(RootSearchTest, FiftyMovesEndTheGameAtTheHundredthPly) {
  std::string best = Go(KnightShuffle(100), "depth 4");
  EXPECT_EQ(EnginePosition->nodeCount, 0u);
  EXPECT_EQ(best.size(), 4u) << "a move is still named";
  Go(KnightShuffle(99), "depth 4");
  EXPECT_GT(EnginePosition->nodeCount, 0u);
}

TEST_F(RootSearchTest, ForcedMatesAreFoundAndPlayed) {
  struct Case {
    const char* fen;
    int moves;
    const char* mating;
  };
  const Case cases[] = {
      {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 1, "d1d8"},
      {"r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1", 2, "d5f6"},
      {"r5rk/5p1p/5R2/4B3/8/8/7P/7K w - - 0 1", 3, "f6a6"},
  };
  for (const Case& c : cases) {
    std::string best = Go(std::string("position fen ") + c.fen, "depth " + std::to_string(2 * c.moves + 1));
    EXPECT_TRUE(HeardScore("mate " + std::to_string(c.moves))) << c.fen;
    EXPECT_EQ(best, c.mating) << c.fen;
  }
}

TEST_F(RootSearchTest, TheMatedSideSeesItsMate) {
  Go("position fen 7k/8/6KQ/8/8/8/8/8 b - - 0 1", "depth 4");
  EXPECT_TRUE(HeardScore("mate -1"));
  // Kf6 is a quiet king move that the pruning finds only from depth 9 on here.
  Go("position fen 6k1/8/6K1/8/8/8/8/R7 b - - 0 1", "depth 10");
  EXPECT_TRUE(HeardScore("mate -2"));
}

TEST_F(RootSearchTest, SameCommandsGiveTheSameSearch) {
  const std::string position = "position fen r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 3 8";
  std::string first = Go(position, "depth 6");
  uint64_t nodes = EnginePosition->nodeCount;
  std::vector<std::string> lines = Received.lines;
  // Another calibration of the clock checks must not change the tree.
  int32_t speed = SpeedEstimate;
  SpeedEstimate = 4000;
  Run("ucinewgame");
  Run("setoption name Clear Hash");
  std::string second = Go(position, "depth 6");
  SpeedEstimate = speed;
  EXPECT_GT(nodes, 0u);
  EXPECT_EQ(EnginePosition->nodeCount, nodes);
  EXPECT_EQ(second, first);
  ASSERT_EQ(Received.lines.size(), lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    // Only the times may differ.
    auto strip = [](const std::string& l) { return l.substr(l.find(" score ")); };
    auto pv = [](const std::string& l) { return l.substr(l.find(" pv")); };
    EXPECT_EQ(strip(lines[i]).substr(0, strip(lines[i]).find(" nodes")),
              strip(Received.lines[i]).substr(0, strip(Received.lines[i]).find(" nodes")));
    EXPECT_EQ(pv(lines[i]), pv(Received.lines[i]));
  }
}

TEST_F(RootSearchTest, NodeLimitedSearchesDoNotDependOnTheCalibration) {
  const std::string position = "position fen r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10";
  int32_t speed = SpeedEstimate;
  std::vector<uint64_t> nodes;
  for (int32_t estimate : {4000, 400000, 40000000}) {
    SpeedEstimate = estimate;
    Run("ucinewgame");
    Run("setoption name Clear Hash");
    Go(position, "nodes 200000");
    nodes.push_back(EnginePosition->nodeCount);
  }
  SpeedEstimate = speed;
  EXPECT_EQ(nodes[0], nodes[1]);
  EXPECT_EQ(nodes[0], nodes[2]);
}

// The search reports through the record start-up fills; without it the tree is the same,
// only the host hears nothing of it.
TEST_F(RootSearchTest, TheTreeDoesNotDependOnTheReports) {
  const std::string position = "position fen r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 3 8";
  std::string first = Go(position, "depth 6");
  uint64_t nodes = EnginePosition->nodeCount;
  ASSERT_FALSE(Received.lines.empty());
  const SearchReports installed = Reports;
  Reports = SearchReports{};
  Run("ucinewgame");
  Run("setoption name Clear Hash");
  std::string second = Go(position, "depth 6");
  Reports = installed;
  EXPECT_EQ(EnginePosition->nodeCount, nodes);
  EXPECT_EQ(second, first);
}

TEST_F(RootSearchTest, SearchMovesRestrictTheRoot) {
  std::string either = Go("position startpos", "depth 4 searchmoves a2a3 h2h3");
  EXPECT_TRUE(either == "a2a3" || either == "h2h3") << either;
  std::string best = Go("position startpos", "depth 3 searchmoves h2h4");
  EXPECT_EQ(best, "h2h4");
}

TEST_F(RootSearchTest, MultiLineReportsRankedLines) {
  MultiPV = 3;
  Go("position startpos", "depth 4");
  ASSERT_GE(Received.lines.size(), 3u);
  size_t n = Received.lines.size();
  std::vector<std::string> firstMoves;
  for (size_t i = n - 3; i < n; ++i) {
    const std::string& line = Received.lines[i];
    EXPECT_EQ(line.rfind("depth 4 ", 0), 0u) << line;
    EXPECT_EQ(ranksHeard[i], int(i - (n - 3)) + 1);
    firstMoves.push_back(line.substr(line.find(" pv ") + 4, 4));
  }
  EXPECT_NE(firstMoves[0], firstMoves[1]);
  EXPECT_NE(firstMoves[1], firstMoves[2]);
  EXPECT_NE(firstMoves[0], firstMoves[2]);
}

TEST_F(RootSearchTest, NodeLimitStopsNearTheLimit) {
  Go("position startpos", "nodes 5000");
  EXPECT_GE(EnginePosition->nodeCount, 5000u);
  EXPECT_LT(EnginePosition->nodeCount, 5000u + 3000u);
}

TEST_F(RootSearchTest, SingleLegalMoveInAClockSearchStopsAfterDepthTen) {
  // Black's king has one move out of check.
  std::string best = Go("position fen 7k/8/5K2/8/8/8/8/7R b - - 0 1", "wtime 600000 btime 600000");
  EXPECT_EQ(best, "h8g8");
  EXPECT_LE(RootDepth, 10);
}

}  // namespace

namespace {

// Longer searches: the slow tier.
class SlowRootSearch : public RootSearchTest {};

TEST_F(SlowRootSearch, DeepSearchesRepeatExactly) {
  const char* const positions[] = {
      "position fen r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
      "position fen 2r3k1/pppR1pp1/4p3/4P1P1/5P2/1P4K1/P1P5/8 w - - 0 1",
  };
  for (const char* position : positions) {
    std::string first = Go(position, "depth 11");
    uint64_t nodes = EnginePosition->nodeCount;
    Run("ucinewgame");
    Run("setoption name Clear Hash");
    EXPECT_EQ(Go(position, "depth 11"), first) << position;
    EXPECT_EQ(EnginePosition->nodeCount, nodes) << position;
  }
}

TEST_F(SlowRootSearch, MultiLineScoresComeInOrder) {
  MultiPV = 4;
  Go("position fen r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 3 8", "depth 9");
  ASSERT_GE(Received.lines.size(), 4u);
  size_t n = Received.lines.size();
  int previous = 1 << 30;
  for (size_t i = n - 4; i < n; ++i) {
    const std::string& line = Received.lines[i];
    ASSERT_EQ(line.rfind("depth 9 ", 0), 0u) << line;
    EXPECT_EQ(ranksHeard[i], int(i - (n - 4)) + 1);
    size_t at = line.find(" score cp ");
    ASSERT_NE(at, std::string::npos) << line;
    int score = atoi(line.c_str() + at + 10);
    EXPECT_LE(score, previous) << line;
    previous = score;
  }
}

TEST_F(SlowRootSearch, BlackMatesInThree) {
  std::string best = Go("position fen 2r3k1/p4p2/3Rp2p/1p2P1pK/8/1P4P1/P3Q2P/1q6 b - - 0 1", "depth 7");
  EXPECT_TRUE(HeardScore("mate 3"));
  EXPECT_EQ(best, "b1g6");
}

TEST_F(SlowRootSearch, ClockSearchEndsWithinItsHardLimit) {
  uint32_t start = TickCount();
  Go("position fen r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
     "wtime 3000 btime 3000");
  uint32_t used = TickCount() - start;
  EXPECT_LE(int(used), 3000) << "the clock was overstepped";
  EXPECT_LE(ElapsedMs(), RootTime.hardLimit + 100);
}

}  // namespace
