#include "tablebase/registry_fixture.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "api/startup.h"
#include "board/fen.h"
#include "kestrane.h"
#include "tablebase/registry.h"

static int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

TempDirectory::TempDirectory() {
  char pattern[] = "/tmp/kestrane-tb-XXXXXX";
  const char* made = mkdtemp(pattern);
  path = made ? made : "";
  EXPECT_FALSE(path.empty());
}

TempDirectory::~TempDirectory() {
  if (!path.empty()) nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string TableFileName(int record, int side, int part) {
  std::string name = EndgameTable[record].name;
  if (EndgameTable[record].flags & EndgameSplit) name += std::string(".") + char(part < 10 ? '0' + part : 'a' + part - 10);
  return name + (side == 0 ? ".nbw" : ".nbb");
}

uint64_t TablePartBytes(int record, int side, int part) {
  return PartEntriesOf(record, TableSideOf(record, side), part) * uint64_t(EntrySizeOf(record));
}

void WriteSparseFile(const std::string& path, uint64_t bytes) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(ftruncate(fd, off_t(bytes)), 0);
  close(fd);
}

void WriteTableSide(const std::string& directory, int record, int side) {
  for (int part = 0; part < PartCountOf(record, TableSideOf(record, side)); ++part)
    WriteSparseFile(directory + "/" + TableFileName(record, side, part), TablePartBytes(record, side, part));
}

void WriteTableFiles(const std::string& directory, int record) {
  WriteTableSide(directory, record, 0);
  if (!(EndgameTable[record].flags & EndgameSymmetric)) WriteTableSide(directory, record, 1);
}

void WriteEntryBytes(const std::string& directory, int record, int side, uint64_t index, const uint8_t* bytes) {
  uint64_t entry;
  int part = PartOfIndex(record, index, &entry);
  std::string path = directory + "/" + TableFileName(record, TableSideOf(record, side), part);
  int fd = open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0) << path;
  int size = EntrySizeOf(record);
  ASSERT_EQ(pwrite(fd, bytes, size_t(size), off_t(entry * uint64_t(size))), ssize_t(size));
  close(fd);
}

void WriteResult(const std::string& directory, int record, int side, uint64_t index, int32_t result) {
  uint8_t bytes[2];
  if (EntrySizeOf(record) == 2) {
    int32_t code = result == -32767 ? -32767 : result > 0 ? 32767 - result : result < 0 ? -32767 - result : 0;
    bytes[0] = uint8_t(code & 0xFF);
    bytes[1] = uint8_t((code >> 8) & 0xFF);
  } else {
    int32_t code = result == -32767 ? -127 : result > 0 ? 127 - result : result < 0 ? -127 - result : 0;
    bytes[0] = uint8_t(int8_t(code));
  }
  WriteEntryBytes(directory, record, side, index, bytes);
}

ProbeArgs ProbeArgsOfFen(const char* fen) {
  ProbeArgs args;
  int8_t board[65];
  RootState state;
  EXPECT_EQ(ParseFen(fen, board, &state), 1) << fen;
  static const int KindOfCode[8] = {0, 0, TbPawn, TbKnight, 0, TbBishop, TbRook, TbQueen};
  for (int sq = 1; sq <= 64; ++sq) {
    int code = board[sq];
    if (!code) continue;
    int32_t* list = (code & 8) ? args.black : args.white;
    if ((code & 7) == 1) {
      list[0] = sq - 1;
      continue;
    }
    int kind = KindOfCode[code & 7];
    int32_t& count = args.counts[((code & 8) ? 5 : 0) + kind - 1];
    list[4 * kind + count++] = sq - 1;
  }
  args.side = state.side;
  int ep = int(state.flags & 0x3F);
  args.ep = ep ? ep - 1 : 0;
  return args;
}

uint64_t IndexOfPosition(int record, const ProbeArgs& args) {
  TbIndexRoutine routine = args.side == 0 ? EndgameTable[record].indexWhite : EndgameTable[record].indexBlack;
  return routine(args.white, args.black, args.ep ? args.ep : TbNoEnPassant, 0);
}

int32_t Probe(const ProbeArgs& args, int32_t* result) {
  return TBProbeList(args.counts, args.white, args.black, args.side, args.ep, result);
}

int OpenFileCount() {
  int count = 0;
  if (DIR* fds = opendir("/proc/self/fd")) {
    while (readdir(fds)) ++count;
    closedir(fds);
  }
  return count;
}

void TablebaseFixture::SetUp() {
  StopTablebases();
  ASSERT_EQ(TBMaxPiece(), 0);
}

void TablebaseFixture::TearDown() {
  for (; initCalls > 0; --initCalls) TBExit();
  EXPECT_EQ(TBMaxPiece(), 0);
}

int TablebaseFixture::InitExtern(const std::string& paths, int32_t cacheKb) {
  ++initCalls;
  return TBInitExtern(paths.c_str(), cacheKb);
}

ProbeArgs ColourSwapped(const ProbeArgs& args) {
  ProbeArgs swapped;
  for (int i = 0; i < 5; ++i) {
    swapped.counts[i] = args.counts[i + 5];
    swapped.counts[i + 5] = args.counts[i];
  }
  for (int i = 0; i < 24; ++i) {
    swapped.white[i] = args.black[i] ^ 56;
    swapped.black[i] = args.white[i] ^ 56;
  }
  swapped.side = args.side ^ 1;
  swapped.ep = args.ep ? args.ep ^ 56 : 0;
  return swapped;
}
