// Tablebase files written by the tests: temporary directories, sparse files of a record's
// exact size with chosen values at chosen indexes, and positions given as FEN turned into
// the counts and square lists of a probe.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tablebase/endgame_table.h"

// A fresh directory under /tmp, removed with everything in it at the end of its scope.
struct TempDirectory {
  std::string path;  // without a trailing separator
  TempDirectory();
  ~TempDirectory();
  std::string File(const std::string& name) const { return path + "/" + name; }
};

// The file name of one side and part of a record: "krk.nbw", "knnknn.1.nbb".
std::string TableFileName(int record, int side, int part = 0);
// Bytes of a side's part file (its exact size).
uint64_t TablePartBytes(int record, int side, int part = 0);

// Writes a sparse file of `bytes` bytes (zero entries: draws).
void WriteSparseFile(const std::string& path, uint64_t bytes);
// Writes both sides (one file for a symmetric record) of every part, of the right sizes.
void WriteTableFiles(const std::string& directory, int record);
void WriteTableSide(const std::string& directory, int record, int side);
// Stores the entry code of a result (+n mate in n, -n mated in n, -32767 checkmated, 0 draw)
// at an index of the side's file (in its part).
void WriteResult(const std::string& directory, int record, int side, uint64_t index, int32_t result);
// Raw entry bytes of a record at an index.
void WriteEntryBytes(const std::string& directory, int record, int side, uint64_t index, const uint8_t* bytes);

// A position as TBProbeList takes it.
struct ProbeArgs {
  int32_t counts[10] = {};
  int32_t white[24] = {};
  int32_t black[24] = {};
  int32_t side = 0;
  int32_t ep = 0;
};
// From a FEN (its en-passant field too); fails the test when it does not parse.
ProbeArgs ProbeArgsOfFen(const char* fen);
// The same position with the colours exchanged: ranks mirrored, the other side to move.
ProbeArgs ColourSwapped(const ProbeArgs& args);
// The index of a position in its record, as the record's own colours see it (the stronger
// side White; no colour swap).
uint64_t IndexOfPosition(int record, const ProbeArgs& args);
int32_t Probe(const ProbeArgs& args, int32_t* result);  // TBProbeList

// Open file descriptors of this process.
int OpenFileCount();

// Every test starts with the tablebases uninitialised (the engine's own start-up reference
// dropped) and leaves them so.
class TablebaseFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Balanced with TBExit in TearDown.
  int InitExtern(const std::string& paths, int32_t cacheKb = 0);
  int initCalls = 0;
  TempDirectory dir;
};
