// Files written by the generator, read back through the records' index routines.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tablebase/endgame_table.h"
#include "tablebase/generate_tables.h"
#include "tablebase/generated_tables.h"
#include "tablebase/table_values.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return bytes;
  int c;
  while ((c = fgetc(file)) != EOF) bytes.push_back(uint8_t(c));
  fclose(file);
  return bytes;
}

// The square lists of a generator position for an index routine.
void SquareLists(const GenPos& pos, int32_t white[24], int32_t black[24], int32_t* ep) {
  int used[2][6] = {};
  for (int i = 0; i < 24; i++) white[i] = black[i] = 0;
  for (int i = 0; i < pos.men; i++) {
    int32_t* list = pos.color[i] == 0 ? white : black;
    int kind = pos.kind[i];
    list[kind == GenKing ? 0 : 4 * kind + used[pos.color[i]][kind]++] = pos.sq[i];
  }
  *ep = TbNoEnPassant;
  if (pos.epMan >= 0) *ep = pos.sq[pos.epMan] + (pos.color[pos.epMan] == 0 ? -8 : 8);
}

// Every legal position of the table, indexed by the record's routine, holds its value.
void ExpectFileMatchesTable(const char* dir, const char* name) {
  const GenTable* table = GeneratedTable(name);
  ASSERT_NE(table, nullptr) << GeneratedTablesError();
  int record = EndgameRecordByName(name);
  ASSERT_GT(record, 0);
  const EndgameRecord& r = EndgameTable[record];
  int sides = (r.flags & EndgameSymmetric) ? 1 : 2;
  for (int side = 0; side < sides; side++) {
    std::vector<uint8_t> file = ReadFile(std::string(dir) + "/" + name + (side ? ".nbb" : ".nbw"));
    ASSERT_EQ(file.size(), side ? r.countBlack : r.countWhite) << name;
    TbIndexRoutine routine = side ? r.indexBlack : r.indexWhite;
    uint64_t checked = 0, wrong = 0;
    std::vector<bool> reached(file.size());
    for (uint64_t n = 0; n < table->sideSize; n++) {
      GenPos pos;
      if (!GenDecode(&table->mat, side, n, &pos)) continue;
      int32_t white[24], black[24], ep;
      SquareLists(pos, white, black, &ep);
      uint64_t index = routine(white, black, ep, 0);
      ASSERT_LT(index, file.size()) << name;
      bool mateNow;
      int moves = GenValueMoves(GenStoredValue(table, side, n), &mateNow);
      if (int8_t(file[index]) != EncodeTableByte(moves, mateNow) && ++wrong <= 3)
        ADD_FAILURE() << name << " side " << side << " index " << index << ": file " << int(int8_t(file[index]))
                      << ", table " << moves;
      reached[index] = true;
      checked++;
    }
    EXPECT_EQ(wrong, 0u);
    // Indexes no legal position reaches hold the "no value" code.
    uint64_t unreached = 0;
    for (uint64_t i = 0; i < file.size(); i++)
      if (!reached[i]) {
        unreached++;
        EXPECT_EQ(int8_t(file[i]), TbByteBroken) << name << " index " << i;
        if (int8_t(file[i]) != TbByteBroken) break;
      }
    EXPECT_GT(checked, 0u);
  }
}

TEST(TbGenerateFiles, ThreePieceFilesHoldTheTables) {
  static const char* const names[] = {"kqk", "krk", "kpk"};
  const char* dir = GeneratedTablesDir(names, 3);
  ASSERT_NE(dir, nullptr) << GeneratedTablesError();
  for (const char* name : names) ExpectFileMatchesTable(dir, name);
}

// Black king a1, White king c1, rook e4 with Black to move is index 26 of krk.nbb: mated
// in some moves, never "no value".
TEST(TbGenerateFiles, KrkBlackIndexTwentySix) {
  static const char* const names[] = {"krk"};
  const char* dir = GeneratedTablesDir(names, 1);
  ASSERT_NE(dir, nullptr) << GeneratedTablesError();
  std::vector<uint8_t> file = ReadFile(std::string(dir) + "/krk.nbb");
  ASSERT_EQ(file.size(), 28644u);
  bool mateNow;
  int moves = GenValueMoves(GeneratedValueOfFen("8/8/8/8/4R3/8/8/k1K5 b - - 0 1"), &mateNow);
  EXPECT_LT(moves, 0);
  EXPECT_EQ(int8_t(file[26]), EncodeTableByte(moves, mateNow));
}

TEST(SlowTbGenerateFiles, PawnsOnBothSidesWithEnPassant) {
  static const char* const names[] = {"kpkp"};
  const char* dir = GeneratedTablesDir(names, 1);
  ASSERT_NE(dir, nullptr) << GeneratedTablesError();
  ExpectFileMatchesTable(dir, "kpkp");
}

}  // namespace
