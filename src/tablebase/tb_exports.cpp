// The exported tablebase functions. Initialisation and exit are counted and serialised by
// one lock; probes run concurrently, each file side guarded by its own lock.
#include <cstdint>
#include <cstring>

#include "kestrane.h"
#include "tablebase/block_cache.h"
#include "tablebase/index_tables.h"
#include "tablebase/probe.h"
#include "tablebase/registry.h"
#include "tablebase/tb_lock.h"
#include "tablebase/tb_settings.h"

#define EXPORT extern "C" KESTRANE_API

static TbLock TbInitLock;
static int32_t TbReferenceCount;
static uint64_t TbCacheBytes;

// The first user registers the directories, allocates the cache and lays it out empty;
// later users only count. The caller holds TbInitLock.
static int InitTablebases(const char* paths, uint64_t cacheBytes) {
  if (TbReferenceCount == 0) {
    BuildTablebaseIndexTables();
    RegisterTablebasePaths(paths);
    TbCacheBytes = AllocateTableCache(cacheBytes);
    if (TbCacheBytes < MinTableCacheBytes) ReleaseRegistrations();  // too little memory: no tablebases
    CloseAllTablebaseFiles();
    LayoutTableCache(TableCacheBlocksOf(TbCacheBytes));
  }
  ++TbReferenceCount;
  return TbMaxPieces;
}

EXPORT void KESTRANE_CDECL TBInit() {
  static char paths[TablebasePathSize];
  LockTb(&TbInitLock);
  uint64_t cacheBytes = TbReferenceCount == 0 ? ReadTablebaseSettings(paths, sizeof paths) : 0;
  InitTablebases(paths, cacheBytes);
  UnlockTb(&TbInitLock);
}

EXPORT int32_t KESTRANE_CDECL TBInitExtern(const char* paths, int32_t cacheKb) {
  LockTb(&TbInitLock);
  int pieces = InitTablebases(paths, CacheBytesOfKilobytes(cacheKb));
  UnlockTb(&TbInitLock);
  return pieces;
}

EXPORT void KESTRANE_CDECL TBExit() {
  LockTb(&TbInitLock);
  if (TbReferenceCount > 0 && --TbReferenceCount == 0) {
    CloseAllTablebaseFiles();
    FreeTableCache();
    ReleaseRegistrations();
    TbCacheBytes = 0;
  }
  UnlockTb(&TbInitLock);
}

EXPORT int32_t KESTRANE_CDECL TBMaxPiece() {
  LockTb(&TbInitLock);
  int pieces = TbReferenceCount > 0 ? TbMaxPieces : 0;
  UnlockTb(&TbInitLock);
  return pieces;
}

EXPORT int32_t KESTRANE_CDECL TBHasEndgames(uint8_t* present, int32_t count) {
  if (!present) return 0;
  LockTb(&TbInitLock);
  for (int record = 0; record < count && record < EndgameRecordCount; ++record) {
    int both = record > 0 && FileSideIsRegistered(record, 0) && FileSideIsRegistered(record, TableSideOf(record, 1));
    present[record] = uint8_t(both);
  }
  UnlockTb(&TbInitLock);
  return count;
}

EXPORT void KESTRANE_CDECL TBNewGame() {
  LockTb(&TbInitLock);
  if (TbCacheBytes) CloseAllTablebaseFiles();
  UnlockTb(&TbInitLock);
}

EXPORT int32_t KESTRANE_CDECL TBGetDecompressTableSize() { return TbDecompressionBytes; }

EXPORT int32_t KESTRANE_CDECL TBProbeList(const int32_t* counts, const int32_t* whiteSquares,
                                          const int32_t* blackSquares, int32_t side, int32_t epSquare,
                                          int32_t* result) {
  return ProbeTablebaseList(counts, whiteSquares, blackSquares, side, epSquare, result);
}
