// Registration of tablebase directories: list separators, trailing separators, one side
// only, sizes, split tables by part, counted initialisation.
#include <sys/stat.h>

#include "kestrane.h"
#include "tablebase/registry.h"
#include "tablebase/registry_fixture.h"
#include "tablebase/table_read.h"

namespace {

int Record(const char* name) {
  int record = EndgameRecordByName(name);
  EXPECT_GT(record, 0) << name;
  return record;
}

std::vector<uint8_t> Present() {
  std::vector<uint8_t> present(EndgameRecordCount, 7);
  EXPECT_EQ(TBHasEndgames(present.data(), EndgameRecordCount), EndgameRecordCount);
  return present;
}

class TbRegistry : public TablebaseFixture {};

TEST_F(TbRegistry, ListsOfDirectoriesWithEitherSeparator) {
  TempDirectory other;
  WriteTableFiles(dir.path, Record("krk"));
  WriteTableFiles(other.path, Record("kqkr"));
  const std::string lists[] = {
      dir.path + ";" + other.path,
      dir.path + "," + other.path,
      ";;" + dir.path + "/;, ," + other.path + "\\;",
      " " + dir.path + " ; " + other.path + " ",
  };
  for (const std::string& list : lists) {
    SCOPED_TRACE(list);
    EXPECT_EQ(InitExtern(list), 4);
    std::vector<uint8_t> present = Present();
    for (int record = 0; record < EndgameRecordCount; ++record)
      EXPECT_EQ(present[record], record == Record("krk") || record == Record("kqkr")) << EndgameTable[record].name;
    TBExit();
    --initCalls;
  }
}

TEST_F(TbRegistry, TrailingSeparatorIsNotDoubled) {
  const int krk = Record("krk");
  WriteTableFiles(dir.path, krk);
  const std::string expected = dir.path + "/krk.nbw";
  for (const std::string& directory : {dir.path, dir.path + "/", dir.path + "\\"}) {
    SCOPED_TRACE(directory);
    EXPECT_EQ(InitExtern(directory), 3);
    ASSERT_NE(TbRecords[krk].side[0].paths[0], nullptr);
    EXPECT_EQ(std::string(TbRecords[krk].side[0].paths[0]), expected);
    TBExit();
    --initCalls;
  }
}

TEST_F(TbRegistry, OneSideOnlyAnswersThatSide) {
  const int kqkr = Record("kqkr");
  WriteTableSide(dir.path, kqkr, 0);
  const ProbeArgs whiteToMove = ProbeArgsOfFen("7r/8/8/3k4/8/8/1Q6/K7 w - - 0 1");
  const ProbeArgs blackToMove = ProbeArgsOfFen("7r/8/8/3k4/8/8/1Q6/K7 b - - 0 1");
  WriteResult(dir.path, kqkr, 0, IndexOfPosition(kqkr, whiteToMove), 9);
  EXPECT_EQ(InitExtern(dir.path), 4);
  EXPECT_EQ(Present()[kqkr], 0);
  int32_t result = 0;
  EXPECT_EQ(Probe(whiteToMove, &result), 1);
  EXPECT_EQ(result, 9);
  result = 55;
  EXPECT_EQ(Probe(blackToMove, &result), 0);
  EXPECT_EQ(result, 55);
}

TEST_F(TbRegistry, FilesOfAnyOtherSizeAreNotRegistered) {
  const int krk = Record("krk"), kqkr = Record("kqkr");
  const uint64_t w = TablePartBytes(krk, 0), b = TablePartBytes(krk, 1);
  const uint64_t qw = TablePartBytes(kqkr, 0), qb = TablePartBytes(kqkr, 1);
  ASSERT_NE(w, b);
  ASSERT_NE(qw, qb);
  // Sizes of krk.nbw, krk.nbb, kqkr.nbw, kqkr.nbb.
  const uint64_t wrongSizes[][4] = {
      {w - 1, b - 1, qw - 1, qb - 1}, {w + 1, b + 1, qw + 1, qb + 1}, {0, 0, 0, 0},
      {b, w, qb, qw},  // each side's file with the other side's size
      {2 * w, 2 * b, 2 * qw, 2 * qb},
  };
  for (const auto& sizes : wrongSizes) {
    SCOPED_TRACE(sizes[0]);
    WriteSparseFile(dir.File("krk.nbw"), sizes[0]);
    WriteSparseFile(dir.File("krk.nbb"), sizes[1]);
    WriteSparseFile(dir.File("kqkr.nbw"), sizes[2]);
    WriteSparseFile(dir.File("kqkr.nbb"), sizes[3]);
    EXPECT_EQ(InitExtern(dir.path), 0);
    EXPECT_EQ(TBMaxPiece(), 0);
    int32_t result;
    EXPECT_EQ(Probe(ProbeArgsOfFen("8/8/8/3k4/8/8/8/K6R w - - 0 1"), &result), 0);
    TBExit();
    --initCalls;
  }
}

TEST_F(TbRegistry, InitTwiceExitOnceStaysUsable) {
  const int krk = Record("krk");
  WriteTableFiles(dir.path, krk);
  const ProbeArgs position = ProbeArgsOfFen("8/8/8/3k4/8/8/8/K6R w - - 0 1");
  WriteResult(dir.path, krk, 0, IndexOfPosition(krk, position), 14);
  EXPECT_EQ(InitExtern(dir.path), 3);
  TempDirectory empty;
  EXPECT_EQ(InitExtern(empty.path), 3);  // a second start only counts
  TBExit();
  --initCalls;
  EXPECT_EQ(TBMaxPiece(), 3);
  int32_t result = 0;
  EXPECT_EQ(Probe(position, &result), 1);
  EXPECT_EQ(result, 14);
  TBExit();
  --initCalls;
  EXPECT_EQ(TBMaxPiece(), 0);
  EXPECT_EQ(Probe(position, &result), 0);
  TBExit();  // one exit too many changes nothing
  EXPECT_EQ(InitExtern(dir.path), 3);
}

TEST_F(TbRegistry, NoFilesNoPieces) {
  EXPECT_EQ(InitExtern(dir.path), 0);
  EXPECT_EQ(TBMaxPiece(), 0);
  EXPECT_EQ(TBGetDecompressTableSize(), 0);
  std::vector<uint8_t> present = Present();
  for (uint8_t p : present) EXPECT_EQ(p, 0);
}

// The split record with the most parts, for the part tests.
int MostSplitRecord() {
  int best = 0;
  for (int record = 1; record < EndgameRecordCount; ++record)
    if ((EndgameTable[record].flags & EndgameSplit) &&
        (best == 0 || PartCountOf(record, 0) > PartCountOf(best, 0)))
      best = record;
  return best;
}

TEST_F(TbRegistry, SplitTablesAreRegisteredAndReadByPart) {
  const int record = MostSplitRecord();
  ASSERT_GT(record, 0);
  const int parts = PartCountOf(record, 0);
  ASSERT_GE(parts, 2) << EndgameTable[record].name;
  WriteTableFiles(dir.path, record);
  const uint64_t perPart = PartEntriesOf(record, 0, 0);
  const uint64_t lastIndex = IndexCountOf(record, 0) - 1;
  WriteResult(dir.path, record, 0, 3, 5);
  WriteResult(dir.path, record, 0, perPart + 3, -6);
  WriteResult(dir.path, record, 0, lastIndex, 7);
  EXPECT_EQ(InitExtern(dir.path), 6);
  for (int part = 0; part < parts; ++part) {
    ASSERT_NE(TbRecords[record].side[0].paths[part], nullptr) << part;
    EXPECT_EQ(std::string(TbRecords[record].side[0].paths[part]), dir.File(TableFileName(record, 0, part)));
  }
  EXPECT_EQ(TbRecords[record].side[0].paths[parts], nullptr);
  int32_t raw = 0;
  ASSERT_EQ(ReadTableValue(record, 0, 3, &raw), 1);
  EXPECT_EQ(raw, 32767 - 5);
  ASSERT_EQ(ReadTableValue(record, 0, perPart + 3, &raw), 1);
  EXPECT_EQ(raw, 6 - 32767);
  ASSERT_EQ(ReadTableValue(record, 0, lastIndex, &raw), 1);
  EXPECT_EQ(raw, 32767 - 7);
  EXPECT_EQ(ReadTableValue(record, 0, lastIndex + 1, &raw), 0);
  TBExit();
  --initCalls;

  // A missing or wrongly sized later part ends the side's parts there.
  WriteSparseFile(dir.File(TableFileName(record, 0, 1)), TablePartBytes(record, 0, 1) - 1);
  EXPECT_EQ(InitExtern(dir.path), 6);
  EXPECT_NE(TbRecords[record].side[0].paths[0], nullptr);
  EXPECT_EQ(TbRecords[record].side[0].paths[1], nullptr);
  EXPECT_EQ(ReadTableValue(record, 0, perPart + 3, &raw), 0);
  ASSERT_EQ(ReadTableValue(record, 0, 3, &raw), 1);
  TBExit();
  --initCalls;

  // Without part 0 the side is not registered at all.
  ASSERT_EQ(remove(dir.File(TableFileName(record, 0, 0)).c_str()), 0);
  WriteSparseFile(dir.File(TableFileName(record, 0, 1)), TablePartBytes(record, 0, 1));
  InitExtern(dir.path);
  EXPECT_FALSE(FileSideIsRegistered(record, 0));
}

TEST_F(TbRegistry, CompressedNamesAreNotRegisteredWithoutTheDecoder) {
  const int kqkr = Record("kqkr");
  for (const char* name : {"kqkr.nbw.emd", "kqkr_nbw.emd", "kqkr_nbw_emd", "kqkrnbw.emd"})
    WriteSparseFile(dir.File(name), 4096);
  EXPECT_EQ(InitExtern(dir.path), 0);
  EXPECT_FALSE(FileSideIsRegistered(kqkr, 0));
}

TEST_F(TbRegistry, TableHeldInMemoryAnswersWithoutItsFile) {
  const int krk = Record("krk");
  WriteTableFiles(dir.path, krk);
  const ProbeArgs position = ProbeArgsOfFen("8/8/8/3k4/8/8/8/K6R w - - 0 1");
  WriteResult(dir.path, krk, 0, IndexOfPosition(krk, position), 11);
  EXPECT_EQ(InitExtern(dir.path), 3);
  ASSERT_EQ(HoldTableInMemory(krk, 0), 1);
  ASSERT_EQ(remove(dir.File("krk.nbw").c_str()), 0);
  int32_t result = 0;
  EXPECT_EQ(Probe(position, &result), 1);
  EXPECT_EQ(result, 11);
}

}  // namespace

namespace {

TEST_F(TbRegistry, SymmetricRecordsUseOneFileForBothSides) {
  const int krkr = Record("krkr");
  ASSERT_TRUE(EndgameTable[krkr].flags & EndgameSymmetric);
  WriteTableFiles(dir.path, krkr);
  const ProbeArgs whiteToMove = ProbeArgsOfFen("8/8/3k4/8/r7/8/5R2/K7 w - - 0 1");
  const ProbeArgs blackToMove = ProbeArgsOfFen("8/8/3k4/8/r7/8/5R2/K7 b - - 0 1");
  WriteResult(dir.path, krkr, 0, IndexOfPosition(krkr, whiteToMove), 4);
  WriteResult(dir.path, krkr, 1, IndexOfPosition(krkr, blackToMove), -6);
  EXPECT_EQ(InitExtern(dir.path), 4);
  EXPECT_EQ(Present()[krkr], 1);
  EXPECT_EQ(TbRecords[krkr].side[1].paths[0], nullptr);
  int32_t result = 0;
  ASSERT_EQ(Probe(whiteToMove, &result), 1);
  EXPECT_EQ(result, 4);
  ASSERT_EQ(Probe(blackToMove, &result), 1);
  EXPECT_EQ(result, -6);
}

}  // namespace
