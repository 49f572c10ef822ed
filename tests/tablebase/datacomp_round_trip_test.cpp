// Compressed files read back as the data written: chosen data shapes (stored and coded
// blocks, short last blocks, long and overlapping matches), generated tables block by block,
// and probes of compressed tables against the plain files of the same tables.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>
#include <string>

#include "kestrane.h"
#include "platform/platform.h"
#include "tablebase/datacomp_errors.h"
#include "tablebase/datacomp_files.h"
#include "tablebase/datacomp_read.h"
#include "tablebase/datacomp_write.h"
#include "tablebase/generated_tables.h"
#include "tablebase/registry.h"
#include "tablebase/registry_fixture.h"
#include "tablebase/table_read.h"

namespace {

Bytes Shaped(const char* shape, size_t size) {
  Bytes data(size);
  uint32_t seed = 12345;
  auto next = [&]() { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  std::string s = shape;
  for (size_t i = 0; i < size; i++) {
    if (s == "zeros") data[i] = 0;
    else if (s == "random") data[i] = uint8_t(next());
    else if (s == "period 64") data[i] = uint8_t((i % 64) * 3 + (i / 4096));
    else if (s == "runs") data[i] = uint8_t((i / 700) % 5);
    else if (s == "mixed") data[i] = (i / 8192) % 2 ? uint8_t(next()) : uint8_t(i % 3);
    else if (s == "sparse") data[i] = next() % 50 == 0 ? uint8_t(next()) : 0;
  }
  return data;
}

TEST(DatacompRoundTrip, ShapedDataReadsBackBlockByBlock) {
  struct Case {
    const char* shape;
    size_t size;
  };
  const Case cases[] = {
      {"zeros", 1},       {"random", 1},       {"zeros", 8192},      {"zeros", 8193},  {"zeros", 3 * 8192 + 100},
      {"random", 20000},  {"period 64", 50000}, {"runs", 16384},      {"mixed", 70001}, {"sparse", 40000},
      {"random", 8191},
  };
  TempDirectory dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.shape) + " " + std::to_string(c.size));
    Bytes data = Shaped(c.shape, c.size);
    Bytes file = Compressed(data);
    if (std::string(c.shape) != "random") {
      EXPECT_LT(file.size(), data.size() / 2 + 1200);
    }
    std::string path = dir.File("data.emd");
    WriteBytes(path, file);
    int status;
    Bytes back = ReadAllBlocks(path, &status);
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(back == data);
  }
}

// Tables made by the generator, compressed from their plain files, give every block back.
void ExpectTablesReadBack(const char* const* names, int count) {
  const char* plainDir = GeneratedTablesDir(names, count);
  ASSERT_NE(plainDir, nullptr) << GeneratedTablesError();
  TempDirectory dir;
  for (int i = 0; i < count; i++) {
    int record = EndgameRecordByName(names[i]);
    int sides = (EndgameTable[record].flags & EndgameSymmetric) ? 1 : 2;
    for (int side = 0; side < sides; side++) {
      std::string name = TableFileName(record, side);
      SCOPED_TRACE(name);
      DatacompWriteStats stats;
      char error[256];
      std::string plain = std::string(plainDir) + "/" + name, compressed = dir.File(name + ".emd");
      ASSERT_TRUE(CompressTableFile(plain.c_str(), compressed.c_str(), &stats, error, sizeof error)) << error;
      int status;
      EXPECT_TRUE(ReadAllBlocks(compressed, &status) == ReadBytes(plain));
      EXPECT_EQ(status, 0);
    }
  }
}

TEST(DatacompRoundTrip, ThreePieceTablesReadBack) {
  const char* names[] = {"kpk", "knk", "kbk", "krk", "kqk"};
  ExpectTablesReadBack(names, 5);
}

TEST(SlowDatacompRoundTrip, FourPieceTablesReadBack) {
  const char* names[] = {"kqkr", "krkp", "kpkp"};
  ExpectTablesReadBack(names, 3);
}

// A directory of compressed files registers like one of plain files, counts the descriptors
// and the work buffers, and answers every probe alike, values in the last, shorter block too.
class DatacompProbe : public TablebaseFixture {
 protected:
  void CompareTables(const char* const* names, int count, uint64_t step) {
    const char* plainDir = GeneratedTablesDir(names, count);
    ASSERT_NE(plainDir, nullptr) << GeneratedTablesError();
    uint32_t expectedBytes = DatacompWorkBuffers * DatacompWorkBytes;
    for (int i = 0; i < count; i++) {
      int record = EndgameRecordByName(names[i]);
      int sides = (EndgameTable[record].flags & EndgameSymmetric) ? 1 : 2;
      for (int side = 0; side < sides; side++) {
        std::string name = TableFileName(record, side);
        char error[256];
        std::string plain = std::string(plainDir) + "/" + name;
        ASSERT_TRUE(CompressTableFile(plain.c_str(), dir.File(name + ".emd").c_str(), nullptr, error, sizeof error));
        uint32_t blocks = uint32_t((TablePartBytes(record, side) + 8191) / 8192);
        expectedBytes += 20634 + 2 * blocks + 4 * (blocks / 16);
      }
    }
    ASSERT_GT(InitExtern(dir.path), 0);
    EXPECT_EQ(uint32_t(TBGetDecompressTableSize()), expectedBytes);
    for (int i = 0; i < count; i++) {
      int record = EndgameRecordByName(names[i]);
      int sides = (EndgameTable[record].flags & EndgameSymmetric) ? 1 : 2;
      for (int side = 0; side < sides; side++) {
        SCOPED_TRACE(TableFileName(record, side));
        ASSERT_NE(TbRecords[record].side[side].compressed[0], nullptr);
        Bytes plain = ReadBytes(std::string(plainDir) + "/" + TableFileName(record, side));
        uint64_t entries = IndexCountOf(record, side);
        int size = EntrySizeOf(record);
        auto check = [&](uint64_t index) {
          int32_t raw = 0;
          ASSERT_EQ(ReadTableValue(record, side, index, &raw), 1) << index;
          int32_t expected = 0;
          if (size == 1) {
            int8_t b = int8_t(plain[index]);
            expected = b == 0 ? 0 : b == 127 ? 32767 : b == -127 ? -32640 : b == -128 ? 32640 : b > 0 ? b + 32640 : b - 32640;
          } else {
            expected = int16_t(uint16_t(plain[2 * index] | plain[2 * index + 1] << 8));
          }
          ASSERT_EQ(raw, expected) << index;
        };
        for (uint64_t index = 0; index < entries; index += step) check(index);
        // The last block: every entry.
        for (uint64_t index = (entries - 1) / 8192 * 8192; index < entries; index++) check(index);
      }
    }
  }
};

TEST_F(DatacompProbe, CompressedTablesAnswerLikePlainOnes) {
  const char* names[] = {"kpk", "krk", "kqk"};
  CompareTables(names, 3, 97);
}

// Readers on several threads share the four work buffers and the files' locks.
TEST_F(DatacompProbe, ThreadsReadCompressedTablesTogether) {
  const char* names[] = {"krk"};
  CompareTables(names, 1, 4001);
  const int krk = EndgameRecordByName("krk");
  Bytes plain = ReadBytes(std::string(GeneratedTablesDir(names, 1)) + "/" + TableFileName(krk, 0));
  std::atomic<int> wrong{0};
  auto reader = [&](uint64_t first) {
    for (uint64_t index = first; index < plain.size(); index += 211) {
      int32_t raw;
      int8_t b = int8_t(plain[index]);
      if (!ReadTableValue(krk, 0, index, &raw) || (b == 0 ? raw != 0 : b > 0 && b < 127 && raw != b + 32640))
        wrong.fetch_add(1, std::memory_order_relaxed);
    }
  };
  std::vector<std::thread> threads;
  for (uint64_t t = 0; t < 6; t++) threads.emplace_back(reader, t * 37);
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(wrong.load(), 0);
}

class SlowDatacompProbe : public DatacompProbe {};

TEST_F(SlowDatacompProbe, EveryEntryOfThreePieceTables) {
  const char* three[] = {"kpk", "knk", "kbk", "krk", "kqk"};
  CompareTables(three, 5, 1);
}

TEST_F(SlowDatacompProbe, EveryEntryOfFourPieceTables) {
  const char* four[] = {"kqkr", "krkp", "kpkp"};
  CompareTables(four, 3, 1);
}

}  // namespace
