// Index routines called from several threads at once, the first calls building the shared
// tables (run under ThreadSanitizer by the test command's threaded tier).
#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

#include "tablebase/endgame_table.h"
#include "tablebase/index_tables.h"
#include "tablebase/index_positions.h"

namespace {

TEST(TbIndexThreads, FourThreadsAgreeWithOne) {
  const char* names[] = {"kqkr", "kpkp", "krpkr", "kqrkqr"};
  std::vector<TbTestPosition> positions;
  std::vector<int> records;
  std::mt19937_64 rng(3);
  for (const char* name : names) {
    int record = EndgameRecordByName(name);
    // Random squares, legal or not: the tables are not built before the threads start.
    auto pieces = RecordPieces(record);
    for (int n = 0; n < 200; n++) {
      int squares[8];
      for (size_t i = 0; i < pieces.size(); i++) squares[i] = int(rng() % 64);
      positions.push_back(MakePosition(pieces, squares));
      records.push_back(record);
    }
  }
  std::vector<uint64_t> results[4];
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; t++) {
    threads.emplace_back([&, t] {
      if (t % 2 == 0) BuildTablebaseIndexTables();
      for (size_t i = 0; i < positions.size(); i++)
        results[t].push_back(IndexOf(records[i], 1, positions[i]));
    });
  }
  for (auto& thread : threads) thread.join();
  for (size_t i = 0; i < positions.size(); i++) {
    uint64_t expected = IndexOf(records[i], 1, positions[i]);
    if (expected != TbNoIndex) {
      ASSERT_LT(expected, RecordCount(records[i], 1));
    }
    for (int t = 0; t < 4; t++) EXPECT_EQ(results[t][i], expected);
  }
}

}  // namespace
