#include "search/trans_table.h"
#include <gtest/gtest.h>
#include "eval/eval_cache.h"

namespace {

// A small table of the current generation, trusted under signature 77.
class TransTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(AllocateHashTables(64), 1);  // 52 KB table: 832 entries per array
    TransGeneration = 5;
    MapGenerationSignatures(77);
    HashfullCount = 0;
  }
  void TearDown() override { FreeHashTables(); }

  static TransEntry Read(TransEntry* slot, uint32_t key2, bool* found) {
    TransEntry e;
    *found = ReadTransEntry(slot, key2, &e) != 0;
    return e;
  }
};

TEST_F(TransTableTest, AnAlteredWordIsRejected) {
  const uint32_t key1 = 12345, key2 = 0xCAFEBABE;
  TransEntry* slot = TransSlotA(White, key1);
  WriteTransEntry(slot, key2, 0x400305, 0, PackTransData(-120, 7, FlagLower | 5));
  bool found;
  TransEntry e = Read(slot, key2, &found);
  ASSERT_TRUE(found);
  EXPECT_EQ(EntryScore(e), -120);
  EXPECT_EQ(EntryDepth(e), 7);
  EXPECT_EQ(EntryGeneration(e), 5u);
  EXPECT_TRUE(EntryIsLower(e));
  Read(slot, key2 ^ 1, &found);
  EXPECT_FALSE(found);

  const TransEntry good = *slot;
  for (int word = 0; word < 4; word++) {
    for (uint32_t bit : {0u, 13u, 31u}) {
      *slot = good;
      uint32_t* words = reinterpret_cast<uint32_t*>(slot);
      words[word] ^= 1u << bit;
      Read(slot, key2, &found);
      EXPECT_FALSE(found) << "word " << word << " bit " << bit;
    }
  }
}

TEST(TransScore, MateAdjustmentRoundTrip) {
  struct Case { int score, ply; };
  const Case cases[] = {{29995, 1}, {29990, 5}, {-29993, 7}, {29001, 40}, {-29001, 3},
                        {29000, 9}, {-29000, 9}, {0, 12}, {350, 2}, {-17, 60}};
  for (const Case& c : cases) EXPECT_EQ(ScoreFromTrans(ScoreToTrans(c.score, c.ply), c.ply), c.score);
  // A mate at ply 10 found at a node of ply 5 (score 29990) is a mate at ply 8 when the same
  // position is reached at ply 3.
  EXPECT_EQ(ScoreFromTrans(ScoreToTrans(29990, 5), 3), 29992);
  EXPECT_EQ(ScoreFromTrans(ScoreToTrans(-29990, 5), 3), -29992);
  // Ordinary scores are never moved.
  EXPECT_EQ(ScoreToTrans(29000, 30), 29000);
}

TEST(TransSizing, HashSplitEdgeCases) {
  EXPECT_EQ(HashOptionKb(1), 0);  // ignored
  EXPECT_EQ(HashOptionKb(0), 0);
  EXPECT_EQ(HashOptionKb(-8), 0);
  EXPECT_EQ(HashOptionKb(2), 4096);
  EXPECT_EQ(HashOptionKb(16), 16384);
  EXPECT_EQ(HashOptionKb(4096), 4194304);
  EXPECT_EQ(HashOptionKb(5000), 4194304);
  EXPECT_EQ(HashOptionKb(INT64_MAX), 4194304);

  struct Case { int64_t total; int trans, eval; };
  const Case cases[] = {{4096, 3277, 819}, {4194304, 3355444, 838860}, {5, 4, 1}, {1, 4, 1}, {0, 4, 1},
                        {-100, 4, 1}, {10, 8, 2}, {16384, 13108, 3276}};
  for (const Case& c : cases) {
    const HashSplit split = SplitHashKb(c.total);
    EXPECT_EQ(split.transKb, c.trans) << c.total;
    EXPECT_EQ(split.evalKb, c.eval) << c.total;
  }
}

TEST(TransSizing, ResizeAppliesTheSplitAndIgnoresOneMegabyte) {
  ASSERT_EQ(AllocateHashTables(1000), 1);
  EXPECT_EQ(TransTableKb(), 800);
  EXPECT_EQ(EvalCacheKilobytes(), 200);
  ResizeHash(1);
  EXPECT_EQ(TransTableKb(), 800);
  ResizeHash(2);
  EXPECT_EQ(TransTableKb(), 3277);
  EXPECT_EQ(EvalCacheKilobytes(), 819);
  EXPECT_EQ(TransSize, 3277u * 1024 / 64);
  FreeHashTables();
}

TEST(TransSizing, FreedTablesStillStoreAndProbe) {
  FreeHashTables();
  ASSERT_GT(TransSize, 0u);
  StoreTransEntry(Black, 99, 4242, 0x400305, 0, 15, 3, 0);
  TransEntry e;
  EXPECT_EQ(ReadTransEntry(TransSlotA(Black, 99), 4242, &e), 1);
  ClearHashTables();
  EXPECT_EQ(ReadTransEntry(TransSlotA(Black, 99), 4242, &e), 0);
}

TEST_F(TransTableTest, ReplacementBetweenTheTwoTables) {
  const uint32_t key1 = 777;
  TransEntry* a = TransSlotA(White, key1);
  TransEntry* b = TransSlotB(White, key1);
  TransEntry e;

  // A different position in A moves to B; an empty slot counts one hashfull store.
  StoreTransEntry(White, key1, 1001, 11, 0, 10, 4, 0);
  EXPECT_EQ(HashfullCount, 1u);
  StoreTransEntry(White, key1, 2002, 22, 0, 20, 4, 0);
  ASSERT_TRUE(ReadTransEntry(a, 2002, &e));
  ASSERT_TRUE(ReadTransEntry(b, 1001, &e));
  EXPECT_EQ(e.move, 11u);

  // A deeper entry of this generation in A sends a shallower one to B.
  StoreTransEntry(White, key1, 3003, 33, 0, 30, 9, 0);
  StoreTransEntry(White, key1, 4004, 44, 0, 40, 5, 0);
  ASSERT_TRUE(ReadTransEntry(a, 3003, &e));
  ASSERT_TRUE(ReadTransEntry(b, 4004, &e));

  // A deeper entry of an old generation is replaced.
  TransGeneration = 6;
  StoreTransEntry(White, key1, 5005, 55, 0, 50, 1, FlagUpper | FlagThreat);
  ASSERT_TRUE(ReadTransEntry(a, 5005, &e));
  EXPECT_EQ(EntryGeneration(e), 6u);
  EXPECT_TRUE(EntryIsUpper(e));
  EXPECT_TRUE(e.data & TransThreatBit);
}

TEST_F(TransTableTest, PermanentEntriesKeepTheirGeneration) {
  const uint32_t key1 = 4321, key2 = 0x1234;
  TransEntry* a = TransSlotA(Black, key1);
  TransEntry* b = TransSlotB(Black, key1);
  TransEntry e;
  WriteTransEntry(a, key2, 66, 0, PackTransData(5, 6, 1));

  StoreTransEntry(Black, key1, key2, 77, 0, 9, 5, 0);  // shallower: ignored
  ASSERT_TRUE(ReadTransEntry(a, key2, &e));
  EXPECT_EQ(e.move, 66u);
  StoreTransEntry(Black, key1, key2, 88, 0, 9, 6, 0);  // as deep: replaces, stays permanent
  ASSERT_TRUE(ReadTransEntry(a, key2, &e));
  EXPECT_EQ(e.move, 88u);
  EXPECT_EQ(EntryGeneration(e), 1u);
  StoreTransEntry(Black, key1, 0x9999, 99, 0, 9, 12, 0);  // another position: table B
  ASSERT_TRUE(ReadTransEntry(a, key2, &e));
  ASSERT_TRUE(ReadTransEntry(b, 0x9999, &e));
}

TEST_F(TransTableTest, QuiescenceStoresSpareMainSearchEntries) {
  const uint32_t key1 = 31337;
  TransEntry* a = TransSlotA(White, key1);
  TransEntry e;
  StoreQuiesceEntry(White, key1, 10, 1, 5, 0, 0);
  StoreQuiesceEntry(White, key1, 20, 2, 6, -1, FlagLower);  // a quiescence entry is replaced
  ASSERT_TRUE(ReadTransEntry(a, 20, &e));
  EXPECT_EQ(EntryDepth(e), -1);
  StoreTransEntry(White, key1, 30, 3, 0, 7, 1, 0);
  StoreQuiesceEntry(White, key1, 40, 4, 8, 0, 0);  // depth 1 of this generation stays
  ASSERT_TRUE(ReadTransEntry(a, 30, &e));
  TransGeneration = 7;
  StoreQuiesceEntry(White, key1, 40, 4, 8, 0, 0);  // of an old generation it goes
  ASSERT_TRUE(ReadTransEntry(a, 40, &e));
}

TEST_F(TransTableTest, GenerationsAndSignatures) {
  TransGeneration = 31;
  AdvanceTransGeneration();
  EXPECT_EQ(TransGeneration, 2u);
  AdvanceTransGeneration();
  EXPECT_EQ(TransGeneration, 3u);

  TransEntry old;
  WriteTransEntry(&old, 1, 2, 0, PackTransData(0, 1, 3));
  MapGenerationSignatures(77);
  EXPECT_TRUE(EntryTrusted(old));
  // The next search runs under other evaluation settings: generation 3 is no longer trusted,
  // permanent and learned-reply entries always are.
  AdvanceTransGeneration();
  MapGenerationSignatures(78);
  EXPECT_FALSE(EntryTrusted(old));
  TransEntry permanent, reply;
  WriteTransEntry(&permanent, 1, 2, 0, PackTransData(0, 1, 1));
  WriteTransEntry(&reply, 1, 2, 0, PackTransData(0, 1, 0));
  EXPECT_TRUE(EntryTrusted(permanent));
  EXPECT_TRUE(EntryTrusted(reply));
}

TEST_F(TransTableTest, HashfullIsPermillOfOneArray) {
  HashfullCount = TransSize / 2;
  EXPECT_EQ(HashfullPermill(), 250);
  HashfullCount = TransSize * 3;
  EXPECT_EQ(HashfullPermill(), 1000);
}

}  // namespace
