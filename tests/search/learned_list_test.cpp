#include <gtest/gtest.h>
#include <vector>

#include "api/engine_fixture.h"
#include "board/position.h"
#include "search/learned_list.h"
#include "search/principal_variation.h"
#include "search/trans_table.h"

// The permanent entries of table A: the listed slots as the search sees them.
static int PermanentEntries() {
  int count = 0;
  for (int side = 0; side < 2; side++)
    for (uint32_t i = 0; i < TransSize; i++) count += EntryGeneration(TransTableA[side][i]) == 1;
  return count;
}

// What the next infinite analysis finds: every listed copy written back into its slot.
static int ReinsertedEntries() {
  ReinsertLearned();
  return PermanentEntries();
}

// A small transposition table of the fixture's own, swapped in for each test.
class LearnedListTest : public ::testing::Test {
 protected:
  static constexpr uint32_t Size = 8192;
  void SetUp() override {
    saved_ = {TransTableA[0], TransTableA[1], TransTableB[0], TransTableB[1]};
    savedSize_ = TransSize;
    savedGeneration_ = TransGeneration;
    for (auto& t : tables_) t.assign(Size, TransEntry{0, 0, 0, 0});
    Install(tables_);
    TransGeneration = 7;
    ClearLearnedList();
  }
  void TearDown() override {
    ClearLearnedList();
    TransTableA[0] = saved_[0], TransTableA[1] = saved_[1];
    TransTableB[0] = saved_[2], TransTableB[1] = saved_[3];
    TransSize = savedSize_;
    TransGeneration = savedGeneration_;
  }
  void Install(std::vector<TransEntry> (&t)[4]) {
    TransTableA[0] = t[0].data(), TransTableA[1] = t[1].data();
    TransTableB[0] = t[2].data(), TransTableB[1] = t[3].data();
    TransSize = Size;
  }
  // Writes an entry of generation `generation` for key2 into a table-A slot; returns the slot.
  static TransEntry* Put(int side, uint32_t index, uint32_t key2, Move move, int depth, uint32_t generation) {
    TransEntry* slot = &TransTableA[side][index];
    WriteTransEntry(slot, key2, move, 0, PackTransData(50, depth, generation));
    return slot;
  }
  static void Add(TransEntry* slot) {
    uint32_t words[4] = {slot->lock, slot->move, slot->move2, slot->data};
    AddLearned(slot, words);
  }

  std::vector<TransEntry> tables_[4];
  std::vector<TransEntry*> saved_;
  uint32_t savedSize_ = 0, savedGeneration_ = 0;
};

TEST_F(LearnedListTest, AddedEntryIsPermanentAndStillSealed) {
  TransEntry* slot = Put(0, 17, 0xABCDEF01, 0x1234, 6, 7);
  Add(slot);
  TransEntry read;
  ASSERT_TRUE(ReadTransEntry(slot, 0xABCDEF01, &read));
  EXPECT_EQ(EntryGeneration(read), 1u);
  EXPECT_EQ(EntryDepth(read), 6);
  EXPECT_EQ(read.move, 0x1234u);
  EXPECT_EQ(PermanentEntries(), 1);
  Put(0, 17, 0xABCDEF01, 0x1235, 7, 7);
  Add(slot);  // the listed slot's copy is replaced
  Put(0, 17, 0x2222, 0x43, 3, 7);
  EXPECT_EQ(ReinsertedEntries(), 1);
  ASSERT_TRUE(ReadTransEntry(slot, 0xABCDEF01, &read));
  EXPECT_EQ(read.move, 0x1235u);
  EXPECT_EQ(EntryDepth(read), 7);
}

TEST_F(LearnedListTest, ReinsertRestoresOverwrittenSlotsAsPermanentEntries) {
  TransEntry* slot = Put(1, 99, 0x1111, 0x42, 9, 7);
  Add(slot);
  Put(1, 99, 0x2222, 0x43, 3, 8);  // another position took the slot
  ReinsertLearned();
  TransEntry read;
  ASSERT_TRUE(ReadTransEntry(slot, 0x1111, &read));
  EXPECT_EQ(read.move, 0x42u);
  EXPECT_EQ(EntryGeneration(read), 1u);
}

TEST_F(LearnedListTest, RefreshFollowsTheSamePositionOnly) {
  TransEntry* same = Put(0, 5, 0x5555, 0x10, 4, 7);
  TransEntry* other = Put(0, 6, 0x6666, 0x20, 4, 7);
  Add(same);
  Add(other);
  Put(0, 5, 0x5555, 0x11, 8, 7);   // the search deepened the same position
  Put(0, 6, 0x7777, 0x21, 8, 7);   // a different position took this slot
  RefreshLearned();
  TransEntry read;
  ASSERT_TRUE(ReadTransEntry(same, 0x5555, &read));
  EXPECT_EQ(EntryGeneration(read), 1u);
  ASSERT_TRUE(ReadTransEntry(other, 0x7777, &read));
  EXPECT_EQ(EntryGeneration(read), 7u);  // not marked
  ReinsertLearned();
  ASSERT_TRUE(ReadTransEntry(same, 0x5555, &read));
  EXPECT_EQ(read.move, 0x11u);  // the refreshed copy
  EXPECT_EQ(EntryDepth(read), 8);
  ASSERT_TRUE(ReadTransEntry(other, 0x6666, &read));
  EXPECT_EQ(read.move, 0x20u);  // the old copy comes back
}

TEST_F(LearnedListTest, FullListDropsTheOldestHundred) {
  for (uint32_t i = 0; i < LearnedListSize; i++) Add(Put(0, i, 0x10000 + i, i + 1, 5, 7));
  EXPECT_EQ(PermanentEntries(), LearnedListSize);
  Add(&TransTableA[0][0]);  // listed already: takes no room, so nothing overflows
  EXPECT_EQ(PermanentEntries(), LearnedListSize);
  TransEntry* extra = Put(1, 0, 0x99999, 0x77, 5, 7);
  Add(extra);
  EXPECT_EQ(PermanentEntries(), 1);
  TransEntry read;
  ASSERT_TRUE(ReadTransEntry(&TransTableA[0][200], 0x10000 + 200, &read));
  EXPECT_EQ(EntryGeneration(read), 0u);  // reset when the list overflowed
  ASSERT_TRUE(ReadTransEntry(extra, 0x99999, &read));
  EXPECT_EQ(EntryGeneration(read), 1u);
  for (uint32_t i = 0; i < 300; i++) Put(0, i, 0xDEAD0000 + i, 0, 1, 7);
  EXPECT_EQ(ReinsertedEntries(), LearnedListSize - LearnedListDrop + 1);
  ASSERT_TRUE(ReadTransEntry(&TransTableA[0][99], 0xDEAD0000 + 99, &read));   // dropped
  ASSERT_TRUE(ReadTransEntry(&TransTableA[0][100], 0x10000 + 100, &read));   // kept
  EXPECT_EQ(EntryGeneration(read), 1u);
}

TEST_F(LearnedListTest, ClearEmptiesAndReleasesThePermanentMark) {
  TransEntry* slot = Put(0, 3, 0x3333, 0x30, 5, 7);
  Add(slot);
  ClearLearnedList();
  TransEntry read;
  ASSERT_TRUE(ReadTransEntry(slot, 0x3333, &read));
  EXPECT_EQ(EntryGeneration(read), 6u);  // the search before the current one
  Put(0, 3, 0x4444, 0x40, 1, 7);
  EXPECT_EQ(ReinsertedEntries(), 0);
  ASSERT_TRUE(ReadTransEntry(slot, 0x4444, &read));
}

TEST_F(LearnedListTest, NewTableMakesTheListEmptyWithoutTouchingEitherTable) {
  TransEntry* slot = Put(0, 8, 0x8888, 0x80, 5, 7);
  Add(slot);
  std::vector<TransEntry> fresh[4];
  for (auto& t : fresh) t.assign(Size, TransEntry{0, 0, 0, 0});
  Install(fresh);
  Put(0, 8, 0x9999, 0x90, 2, 7);
  EXPECT_EQ(ReinsertedEntries(), 0);
  TransEntry read;
  EXPECT_TRUE(ReadTransEntry(&TransTableA[0][8], 0x9999, &read));
  Install(tables_);
  EXPECT_TRUE(ReadTransEntry(slot, 0x8888, &read));
}

TEST_F(LearnedListTest, SlotOutsideTableAIsIgnored) {
  TransEntry outside = {0, 0, 0, 0};
  Add(&outside);
  Add(&TransTableB[0][4]);
  EXPECT_EQ(EntryGeneration(outside), 0u);
  EXPECT_EQ(EntryGeneration(TransTableB[0][4]), 0u);
  EXPECT_EQ(ReinsertedEntries(), 0);
}

// Two analysis searches in a row: the variation entries come back as permanent entries
// although the second search's stores overwrote them; a normal search then lets them go.
TEST_F(LearnedListTest, AnalysisEntriesSurviveToTheNextAnalysis) {
  ClearSavedPv();
  SavedPv[0] = 0x100, SavedPv[1] = 0x200;
  SavedPvEntries[1].slot = Put(1, 40, 0x4040, 0x200, 7, 7);
  SavedPvEntries[1].copy = *SavedPvEntries[1].slot;
  PlyState root{};
  root.side = 0;
  root.key1 = 41;
  root.key2 = 0x4141;
  Put(0, 41, 0x4141, 0x100, 8, 7);
  KeepAnalysisEntries(&root);
  EXPECT_EQ(PermanentEntries(), 2);

  TransGeneration = 8;
  Put(1, 40, 0x9090, 0x300, 2, 8);
  Put(0, 41, 0x9191, 0x301, 2, 8);
  BeginLearnedEntries(1);
  TransEntry read;
  ASSERT_TRUE(ReadTransEntry(&TransTableA[1][40], 0x4040, &read));
  EXPECT_EQ(EntryGeneration(read), 1u);
  ASSERT_TRUE(ReadTransEntry(&TransTableA[0][41], 0x4141, &read));
  EXPECT_EQ(read.move, 0x100u);
  EXPECT_EQ(EntryGeneration(read), 1u);

  BeginLearnedEntries(0);
  EXPECT_EQ(ReinsertedEntries(), 0);
  ASSERT_TRUE(ReadTransEntry(&TransTableA[0][41], 0x4141, &read));
  EXPECT_EQ(EntryGeneration(read), 7u);
  ClearSavedPv();
}

// The "Hash" option's resize frees the slots the list points at, so it empties the list.
TEST(LearnedListResize, ResizingTheHashEmptiesTheList) {
  EnsureEngine();
  int64_t before = TransTableKb();
  ClearLearnedList();
  TransEntry* slot = TransSlotA(0, 12345);
  WriteTransEntry(slot, 0x777, 0x1, 0, PackTransData(0, 3, 5));
  uint32_t words[4] = {slot->lock, slot->move, slot->move2, slot->data};
  AddLearned(slot, words);
  ASSERT_EQ(EntryGeneration(*slot), 1u);
  ResizeHash(before < 5000 ? 8 : 4);
  EXPECT_EQ(ReinsertedEntries(), 0);  // nothing listed, nothing written
  ResizeHash(4);
  EXPECT_EQ(ReinsertedEntries(), 0);
}
