// The block cache behind every tablebase read: its size in blocks, values equal to the
// files' bytes while blocks are evicted, least-recently-used replacement, files that vanish,
// come back or were closed, the parts of split tables, and four threads reading at once.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "kestrane.h"
#include "tablebase/block_cache.h"
#include "tablebase/generated_tables.h"
#include "tablebase/registry.h"
#include "tablebase/registry_fixture.h"
#include "tablebase/table_read.h"

namespace {

int Record(const char* name) {
  int record = EndgameRecordByName(name);
  EXPECT_GT(record, 0) << name;
  return record;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The raw value of a one-byte entry, as a direct read of the file gives it.
int32_t RawOfByte(uint8_t byte) {
  int b = int8_t(byte);
  if (b == 0) return 0;
  if (b == 127) return NoTableValue;
  if (b == -127) return -32640;
  if (b == -128) return 32640;
  return b > 0 ? b + 32640 : b - 32640;
}

// One side of a one-byte record whose file a test reads directly.
struct FileSide {
  int record;
  int side;
  std::vector<uint8_t> bytes;
};

std::vector<FileSide> LoadSides(const std::string& directory, const char* const* names, int count) {
  std::vector<FileSide> sides;
  for (int i = 0; i < count; ++i) {
    int record = Record(names[i]);
    for (int side = 0; side < 2; ++side) {
      FileSide fileSide{record, side, ReadWholeFile(directory + "/" + TableFileName(record, side))};
      EXPECT_EQ(fileSide.bytes.size(), TablePartBytes(record, side)) << names[i] << " side " << side;
      sides.push_back(fileSide);
    }
  }
  return sides;
}

// Files of exact size filled with pseudo-random bytes: every block differs from the others.
void WriteNoiseFiles(const std::string& directory, int record, uint64_t seed) {
  std::mt19937_64 random(seed);
  for (int side = 0; side < 2; ++side) {
    std::vector<uint8_t> bytes(TablePartBytes(record, side));
    for (uint8_t& byte : bytes) byte = uint8_t(random());
    std::ofstream out(directory + "/" + TableFileName(record, side), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
}

// Reads the first entry of a block of a one-byte table: 1 when it was found.
int ReadBlock(int record, int side, uint64_t block) {
  int32_t raw;
  return ReadTableValue(record, side, block << 13, &raw);
}

class TbBlockCache : public TablebaseFixture {};

TEST_F(TbBlockCache, AreaSizesGiveBlockCounts) {
  struct Case {
    uint64_t bytes;
    uint32_t blocks;
  } cases[] = {{0, 0}, {31, 0}, {8259, 0}, {8260, 1}, {1048576, 126}, {4194304, 507}, {uint64_t(1) << 30, 129992}};
  for (const Case& c : cases) EXPECT_EQ(TableCacheBlocksOf(c.bytes), c.blocks) << c.bytes;
  // The host's kilobytes, raised to 1 MB at least.
  WriteTableFiles(dir.path, Record("krk"));
  struct Host {
    int32_t kilobytes;
    uint32_t blocks;
  } hosts[] = {{0, 126}, {1024, 126}, {4096, 507}};
  for (const Host& h : hosts) {
    EXPECT_EQ(InitExtern(dir.path, h.kilobytes), 3);
    EXPECT_EQ(TableCacheBlockCount(), h.blocks) << h.kilobytes;
    TBExit();
    --initCalls;
    EXPECT_EQ(TableCacheBlockCount(), 0u);
  }
}

// Generated tables of more blocks than the 1 MB cache holds, read index by index through
// the cache in two orders, agree with the files byte for byte.
TEST_F(TbBlockCache, EveryIndexMatchesTheFilesUnderEviction) {
  static const char* const Names[] = {"krrk", "knnk", "krk", "kqk"};
  const char* tables = GeneratedTablesDir(Names, 4);
  ASSERT_NE(tables, nullptr) << GeneratedTablesError();
  std::vector<FileSide> sides = LoadSides(tables, Names, 4);
  uint64_t blocks = 0, longest = 0;
  for (const FileSide& s : sides) {
    blocks += (s.bytes.size() + 8191) / 8192;
    longest = std::max<uint64_t>(longest, s.bytes.size());
  }
  ASSERT_GE(InitExtern(tables, 1024), 4);
  ASSERT_EQ(TableCacheBlockCount(), 126u);
  ASSERT_GT(blocks, 3 * uint64_t(TableCacheBlockCount()));

  auto check = [&](const FileSide& s, uint64_t index) {
    int32_t raw = 0;
    if (ReadTableValue(s.record, s.side, index, &raw) && raw == RawOfByte(s.bytes[index])) return true;
    ADD_FAILURE() << EndgameTable[s.record].name << " side " << s.side << " index " << index;
    return false;
  };
  // Every index of every side in turn: all blocks, each one pushed out later by the others.
  int mismatches = 0;
  for (uint64_t index = 0; index < longest && mismatches < 10; ++index)
    for (const FileSide& s : sides)
      if (index < s.bytes.size() && !check(s, index)) ++mismatches;
  // Every block of every side in turn, again and again: each read replaces a block.
  for (uint64_t offset = 0; offset < 8192 && mismatches < 10; offset += 1361)
    for (uint64_t block = 0; block * 8192 < longest; ++block)
      for (const FileSide& s : sides)
        if (block * 8192 + offset < s.bytes.size() && !check(s, block * 8192 + offset)) ++mismatches;
  // At random: hits and misses mixed.
  std::mt19937_64 random(7);
  for (int n = 0; n < 300000 && mismatches < 10; ++n) {
    const FileSide& s = sides[random() % sides.size()];
    if (!check(s, random() % s.bytes.size())) ++mismatches;
  }
}

// Which blocks stay is seen by removing the file: cached blocks still answer, others not.
TEST_F(TbBlockCache, LeastRecentlyUsedBlockIsReplaced) {
  const int kqkp = Record("kqkp");
  const uint64_t capacity = 126;
  ASSERT_GT(TablePartBytes(kqkp, 0) / 8192, capacity + 2);
  auto range = [](uint64_t first, uint64_t last) {  // first..last, either direction
    std::vector<uint64_t> blocks;
    for (uint64_t b = first;; b += first <= last ? 1 : -1) {
      blocks.push_back(b);
      if (b == last) break;
    }
    return blocks;
  };
  auto join = [](std::vector<std::vector<uint64_t>> parts) {
    std::vector<uint64_t> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  };
  struct Case {
    const char* what;
    std::vector<uint64_t> reads;
    std::vector<uint64_t> gone;  // every other block read stays cached
  } cases[] = {
      {"a full cache keeps every block", range(0, capacity - 1), {}},
      {"one more replaces the oldest", join({range(0, capacity - 1), {capacity}}), {0}},
      {"a hit makes a block the newest", join({range(0, capacity - 1), {0, capacity}}), {1}},
      {"two more replace the two oldest", join({range(0, capacity - 1), {capacity, capacity + 1}}), {0, 1}},
      {"hits in reverse order reverse the age", join({range(0, capacity - 1), range(capacity - 1, 0), {capacity, capacity + 1}}),
       {capacity - 1, capacity - 2}},
      {"a block read again after it went", join({range(0, capacity), {0}}), {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteTableSide(dir.path, kqkp, 0);
    EXPECT_EQ(InitExtern(dir.path, 1024), 4);
    for (uint64_t block : c.reads) ASSERT_EQ(ReadBlock(kqkp, 0, block), 1) << block;
    ASSERT_EQ(remove(dir.File(TableFileName(kqkp, 0)).c_str()), 0);
    TBNewGame();
    // Cached blocks first: hits move blocks but replace none; each miss would replace one.
    for (uint64_t block : c.reads) {
      if (std::find(c.gone.begin(), c.gone.end(), block) == c.gone.end()) {
        EXPECT_EQ(ReadBlock(kqkp, 0, block), 1) << block;
      }
    }
    for (uint64_t block : c.gone) EXPECT_EQ(ReadBlock(kqkp, 0, block), 0) << block;
    TBExit();
    --initCalls;
  }
}

// A file missing at the first read gives no value until it is back; a file closed by a new
// game is opened again by the next block it has to give.
TEST_F(TbBlockCache, FilesMissingOrClosedAreOpenedAgain) {
  const int kqkp = Record("kqkp");
  WriteTableFiles(dir.path, kqkp);
  const uint64_t indexes[] = {3, 8192 * 40 + 5, 8192 * 300 + 77};
  for (int i = 0; i < 3; ++i) WriteResult(dir.path, kqkp, 0, indexes[i], 10 + i);
  const std::string white = dir.File(TableFileName(kqkp, 0));
  const std::vector<uint8_t> saved = ReadWholeFile(white);
  const int before = OpenFileCount();
  EXPECT_EQ(InitExtern(dir.path), 4);
  ASSERT_EQ(rename(white.c_str(), (white + ".away").c_str()), 0);
  int32_t raw = 0;
  EXPECT_EQ(ReadTableValue(kqkp, 0, indexes[0], &raw), 0);
  EXPECT_EQ(ReadTableValue(kqkp, 0, indexes[0], &raw), 0);  // a failed read caches nothing
  EXPECT_EQ(ReadTableValue(kqkp, 1, 0, &raw), 1);           // the other side is unaffected
  ASSERT_EQ(rename((white + ".away").c_str(), white.c_str()), 0);
  ASSERT_EQ(ReadTableValue(kqkp, 0, indexes[0], &raw), 1);
  EXPECT_EQ(raw, 32767 - 10);
  EXPECT_EQ(OpenFileCount(), before + 2);
  TBNewGame();
  EXPECT_EQ(OpenFileCount(), before);
  // A block not yet cached: the file is opened again.
  ASSERT_EQ(ReadTableValue(kqkp, 0, indexes[1], &raw), 1);
  EXPECT_EQ(raw, 32767 - 11);
  EXPECT_EQ(OpenFileCount(), before + 1);
  // A file replaced while closed: blocks not cached come from the new file.
  std::vector<uint8_t> changed = saved;
  changed[indexes[2]] = 127 - 20;
  TBNewGame();
  {
    std::ofstream out(white, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(changed.data()), std::streamsize(changed.size()));
  }
  ASSERT_EQ(ReadTableValue(kqkp, 0, indexes[2], &raw), 1);
  EXPECT_EQ(raw, 32767 - 20);
  ASSERT_EQ(ReadTableValue(kqkp, 0, indexes[0], &raw), 1);
  EXPECT_EQ(raw, 32767 - 10);
}

// The first split record of each entry size with the most parts.
int MostSplitRecord(int entrySize) {
  int best = 0;
  for (int record = 1; record < EndgameRecordCount; ++record)
    if ((EndgameTable[record].flags & EndgameSplit) && EntrySizeOf(record) == entrySize &&
        (best == 0 || PartCountOf(record, 0) > PartCountOf(best, 0)))
      best = record;
  return best;
}

// Values at the edges of the parts of split tables (sparse files of 2 GB a part): block b
// of the side is block b - 2^18 * part of part b >> 18.
TEST_F(TbBlockCache, SplitTablesAreReadFromTheirParts) {
  for (int entrySize : {1, 2}) {
    const int record = MostSplitRecord(entrySize);
    ASSERT_GT(record, 0);
    SCOPED_TRACE(EndgameTable[record].name);
    ASSERT_GE(PartCountOf(record, 0), 3);
    WriteTableSide(dir.path, record, 0);
    const uint64_t perPart = PartEntriesOf(record, 0, 0), perBlock = 8192 / uint64_t(entrySize);
    const uint64_t last = IndexCountOf(record, 0) - 1;
    struct Case {
      uint64_t index;
      int32_t result;
    } cases[] = {
        {0, 3},
        {perPart - 1, 4},                   // the last entry of part 0, its last block
        {perPart - perBlock, 5},            // the first entry of that block
        {perPart, 6},                       // part 1, block 0
        {perPart + 1, -7},
        {perPart + 2 * perBlock + 9, 8},    // part 1, block 2
        {2 * perPart - 1, -9},              // the end of part 1
        {2 * perPart, 10},                  // part 2, block 0
        {last, 11},                         // the last part's last entry
    };
    for (const Case& c : cases) WriteResult(dir.path, record, 0, c.index, c.result);
    EXPECT_EQ(InitExtern(dir.path, 1024), 6);
    auto written = [&](uint64_t index) {
      for (const Case& c : cases)
        if (c.index == index) return true;
      return false;
    };
    for (const Case& c : cases) {
      int32_t raw = 0;
      ASSERT_EQ(ReadTableValue(record, 0, c.index, &raw), 1) << c.index;
      EXPECT_EQ(raw, c.result > 0 ? 32767 - c.result : -32767 - c.result) << c.index;
      // The entries beside it are draws: nothing is taken from a neighbouring block or part.
      for (uint64_t next : {c.index - 1, c.index + 1}) {
        if (next > last || written(next)) continue;  // also the one before index 0
        ASSERT_EQ(ReadTableValue(record, 0, next, &raw), 1) << next;
        EXPECT_EQ(raw, 0) << next;
      }
    }
    TBExit();
    --initCalls;
  }
}

// Four threads read the same and different tables through a cache far smaller than the
// tables, while a fifth closes the files; every value equals the file's byte. (Also run
// under ThreadSanitizer.)
class TbCacheThreads : public TablebaseFixture {};

TEST_F(TbCacheThreads, FourThreadsMatchDirectReads) {
  static const char* const Names[] = {"krk", "kqk", "knnk", "krrk"};
  for (int i = 0; i < 4; ++i) WriteNoiseFiles(dir.path, Record(Names[i]), 1000 + i);
  std::vector<FileSide> sides = LoadSides(dir.path, Names, 4);
  ASSERT_EQ(InitExtern(dir.path, 1024), 4);
  std::atomic<int> wrong{0}, running{4};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      std::mt19937_64 random(t);
      for (int n = 0; n < 20000; ++n) {
        // Threads 0 and 1 share knnk's White side; all draw from every side too.
        const FileSide& s = sides[t < 2 && n % 2 ? 4 : random() % sides.size()];
        uint64_t index = random() % s.bytes.size();
        int32_t raw = 0;
        if (!ReadTableValue(s.record, s.side, index, &raw) || raw != RawOfByte(s.bytes[index])) wrong++;
      }
      running--;
    });
  threads.emplace_back([&] {
    while (running.load() > 0) {
      TBNewGame();
      std::this_thread::yield();
    }
  });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
