// The registry of tablebase files: which file parts of which endgame sides were found and
// checked, their open handles and locks, and the largest number of pieces available. Its
// table runs parallel to EndgameTable (the same record numbers).
#pragma once
#include <cstdint>

#include "tablebase/endgame_table.h"
#include "tablebase/tb_lock.h"

struct DatacompFile;
struct TbBlockMap;

constexpr int MaxTablebaseParts = 18;  // a split side holds at most 2^31 bytes per part

// One side to move of one record. A symmetric record uses side 0 only.
struct TbFileSide {
  char* paths[MaxTablebaseParts];        // registered file names (allocated), null when absent
  int64_t openHandles[MaxTablebaseParts];  // platform handle + 1 of an open part; 0 when closed
  DatacompFile* compressed[MaxTablebaseParts];  // descriptor of a compressed part, null for a plain file
  TbBlockMap* blockMap;                  // the side's cached blocks (block cache), null until registered
  uint8_t* memoryTable;                  // the whole table held in memory, or null
  TbLock lock;                           // guards the handles and the memory table
};

struct TbRecordFiles {
  TbFileSide side[2];
};

extern TbRecordFiles TbRecords[EndgameRecordCount];
extern int32_t TbMaxPieces;  // largest number of pieces of a registered record: 0, 3..6

// Registers every tablebase file found in a list of directories separated by ',' or ';'
// after dropping the old registrations; returns the largest number of pieces available.
int RegisterTablebasePaths(const char* list);
// Drops every registration and closes every file.
void ReleaseRegistrations();
// The open handle of a registered part, opening it when needed (after closing the idle
// files once if that fails); NoFileHandle when it cannot be had. The caller holds the side's lock.
int64_t OpenPartFile(TbFileSide* fileSide, int part);
// Loads a registered side kept in one plain file whole into memory, so that probes read
// no file; 1 when it is held (also when it already was).
int HoldTableInMemory(int record, int tableSide);
// Closes every open tablebase file (they are reopened on demand).
void CloseAllTablebaseFiles();
// The same while the caller holds `held`'s lock: skips that side and every side whose
// lock another thread holds, so that no two threads wait on each other.
void CloseIdleTablebaseFiles(const TbFileSide* held);

// The file side that holds a side to move: 0 for symmetric records.
int TableSideOf(int record, int side);
// 1 when at least one part of the file side has a registered path.
int FileSideIsRegistered(int record, int tableSide);
uint64_t IndexCountOf(int record, int tableSide);
int EntrySizeOf(int record);             // 1 or 2 bytes
int PartCountOf(int record, int tableSide);
// Entries a part file holds: all of them for a table in one file; 2^31 one-byte or 2^30
// two-byte entries per part of a split table, the rest in its last part; 0 past the end.
uint64_t PartEntriesOf(int record, int tableSide, int part);
// The part holding an index, and the index's entry number within that part.
int PartOfIndex(int record, uint64_t index, uint64_t* entryInPart);

// The bytes counted for decompression: each registered compressed part's descriptor and,
// once one is registered, the four work buffers.
extern int32_t TbDecompressionBytes;
