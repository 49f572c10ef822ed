// The endgame table: names in order, lookup by name, flags and counts from the rules.
#include <gtest/gtest.h>

#include <cstring>

#include "tablebase/endgame_table.h"
#include "tablebase/index_count.h"

namespace {

TEST(TbEndgameTable, NamesInTableOrder) {
  struct Case { int record; const char* name; };
  const Case cases[] = {{0, "kk"},        {1, "kpk"},      {5, "kqk"},      {6, "kpkp"},
                        {19, "kqkr"},     {35, "kqqk"},    {36, "kppkp"},   {69, "krpkr"},
                        {145, "kqqqk"},   {146, "knnknn"}, {440, "kqqpkq"}};
  for (const auto& c : cases) {
    EXPECT_STREQ(EndgameTable[c.record].name, c.name);
    if (c.record > 0) {
      EXPECT_EQ(EndgameRecordByName(c.name), c.record);
    }
  }
  for (int r = 1; r < EndgameRecordCount; r++) EXPECT_EQ(EndgameRecordByName(EndgameTable[r].name), r);
  EXPECT_EQ(EndgameRecordByName("kk"), 0);
  EXPECT_EQ(EndgameRecordByName("kqkrx"), 0);
  EXPECT_EQ(EndgameRecordByName("krqk"), 0);
  EXPECT_EQ(EndgameRecordByName(""), 0);
  EXPECT_EQ(EndgameRecordByName(nullptr), 0);
  EXPECT_EQ(EndgameRecordByName("kqqkqqkqq"), 0);
}

TEST(TbEndgameTable, PieceCountsByRecordNumber) {
  for (int r = 1; r < EndgameRecordCount; r++) {
    int pieces = int(strlen(EndgameTable[r].name));
    int expected = r < FirstFourPieceRecord ? 3 : r < FirstFivePieceRecord ? 4
                 : r < FirstSixPieceRecord ? 5 : 6;
    EXPECT_EQ(pieces, expected) << EndgameTable[r].name;
  }
}

TEST(TbEndgameTable, CountsFollowTheIndexRule) {
  for (int r = 1; r < EndgameRecordCount; r++) {
    EXPECT_EQ(EndgameTable[r].countWhite, TbDerivedIndexCount(r, 0)) << EndgameTable[r].name;
    EXPECT_EQ(EndgameTable[r].countBlack, TbDerivedIndexCount(r, 1)) << EndgameTable[r].name;
  }
}

TEST(TbEndgameTable, RoutinesForEveryRecord) {
  EXPECT_EQ(EndgameTable[0].indexWhite, nullptr);
  for (int r = 1; r < EndgameRecordCount; r++) {
    EXPECT_NE(EndgameTable[r].indexWhite, nullptr);
    EXPECT_NE(EndgameTable[r].indexBlack, nullptr);
  }
}

TEST(TbEndgameTable, SymmetricAndSplitFlags) {
  for (int r = 1; r < EndgameRecordCount; r++) {
    const EndgameRecord& rec = EndgameTable[r];
    const char* second = strchr(rec.name + 1, 'k');
    bool symmetric = strncmp(rec.name + 1, second + 1, size_t(second - rec.name - 1)) == 0 &&
                     strlen(second + 1) == size_t(second - rec.name - 1);
    EXPECT_EQ((rec.flags & EndgameSymmetric) != 0, symmetric) << rec.name;
    if (symmetric) {
      EXPECT_EQ(rec.countWhite, rec.countBlack) << rec.name;
    }
    uint64_t entry = (rec.flags & EndgameTwoByte) ? 2 : 1;
    uint64_t largest = rec.countWhite > rec.countBlack ? rec.countWhite : rec.countBlack;
    EXPECT_EQ((rec.flags & EndgameSplit) != 0, largest * entry > (uint64_t(1) << 31)) << rec.name;
    // At most 18 parts of 2^31 bytes per side.
    EXPECT_LE(largest * entry, uint64_t(18) << 31) << rec.name;
  }
  EXPECT_EQ(EndgameTable[0].flags, 0u);
}

TEST(TbEndgameTable, FlagTotals) {
  // Records per flag combination (record 0 included): sizes follow from the counts, the
  // two-byte rule names the non-symmetric six-piece pawnless records with two pieces a side.
  int totals[8] = {};
  for (int r = 0; r < EndgameRecordCount; r++) totals[EndgameTable[r].flags & 7]++;
  EXPECT_EQ(totals[0], 162);
  EXPECT_EQ(totals[EndgameSymmetric], 10);
  EXPECT_EQ(totals[EndgameTwoByte], 0);
  EXPECT_EQ(totals[EndgameSplit], 214);
  EXPECT_EQ(totals[EndgameSplit | EndgameTwoByte], 45);
  EXPECT_EQ(totals[EndgameSymmetric | EndgameSplit], 10);
  EXPECT_EQ(totals[EndgameSymmetric | EndgameTwoByte], 0);
  EXPECT_EQ(totals[EndgameSymmetric | EndgameSplit | EndgameTwoByte], 0);
  for (int r = 1; r < EndgameRecordCount; r++)
    EXPECT_EQ(EndgameTable[r].flags,
              TbDerivedFlags(r, EndgameTable[r].countWhite, EndgameTable[r].countBlack))
        << EndgameTable[r].name;
  // Every table of up to five pieces is one file of one-byte entries.
  for (int r = 1; r < FirstSixPieceRecord; r++)
    EXPECT_EQ(EndgameTable[r].flags & ~EndgameSymmetric, 0u) << EndgameTable[r].name;
}

}  // namespace
