// Generated tables against the published longest wins, and mates and stalemates.
#include <gtest/gtest.h>

#include "tablebase/generate_tables.h"
#include "tablebase/generated_tables.h"

namespace {

struct LongestCase {
  const char* name;
  int longestWin;  // moves, the stronger side to move
};

void ExpectLongest(const LongestCase& c) {
  const GenTable* table = GeneratedTable(c.name);
  ASSERT_NE(table, nullptr) << GeneratedTablesError();
  const GenSummary* summary = GeneratedSummary(c.name);
  ASSERT_NE(summary, nullptr);
  EXPECT_EQ(summary->longestWin[0], c.longestWin) << c.name;
}

TEST(TbGenerateLongest, ThreePieces) {
  static const LongestCase cases[] = {{"kqk", 10}, {"krk", 16}, {"kpk", 28}, {"knk", 0}, {"kbk", 0}};
  for (const LongestCase& c : cases) ExpectLongest(c);
}

// Four-piece tables: a few seconds each in a release build.
TEST(SlowTbGenerateLongest, FourPieces) {
  static const LongestCase cases[] = {{"kbbk", 19}, {"kbnk", 33}, {"kqkn", 21}, {"kqkb", 17},
                                      {"kqkr", 35}, {"krkb", 29}, {"krkn", 40}};
  for (const LongestCase& c : cases) ExpectLongest(c);
}

}  // namespace
