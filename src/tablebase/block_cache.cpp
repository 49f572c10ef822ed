#include "tablebase/block_cache.h"

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "tablebase/datacomp_read.h"
#include "tablebase/registry.h"

// Headers are numbered 1..N; 0 ends a list or a chain. The data block is kept as an offset
// into the area so that a header has the same 32 bytes on every platform.
struct TbBlockHeader {
  int32_t record;
  int32_t side;
  uint32_t block;
  uint32_t listNext;   // towards the least recently used; the free list too
  uint32_t listPrev;   // towards the most recently used
  uint32_t chainNext;  // within the bucket
  uint32_t chainPrev;
  uint32_t dataOffset;  // of the header's data block, from the start of the area
};
static_assert(sizeof(TbBlockHeader) == TbCacheHeaderBytes);

struct TbBucket {
  TbLock lock;
  uint32_t head;  // the chain of cached blocks whose number has these low five bits
};

constexpr int BucketCount = 32;
struct TbBlockMap {
  TbBucket buckets[BucketCount];
};
static_assert(sizeof(TbBlockMap) == 256);

static uint8_t* CacheArea;
static uint64_t CacheAreaBytes;
static uint32_t CacheBlocks;  // headers laid out; 0 while there is no cache
// Guarded by ListLock: the free list and the list in order of use.
static uint32_t FreeHead, ListHead, ListTail;
static TbLock ListLock;

uint64_t AllocateTableCache(uint64_t bytes) {
  FreeTableCache();
  while (bytes >= 1 && (bytes > uint64_t(SIZE_MAX) || !(CacheArea = static_cast<uint8_t*>(malloc(size_t(bytes))))))
    bytes /= 2;
  CacheAreaBytes = CacheArea ? bytes : 0;
  return CacheAreaBytes;
}

void FreeTableCache() {
  ResetTableCache();
  free(CacheArea);
  CacheArea = nullptr;
  CacheAreaBytes = 0;
}

uint32_t TableCacheBlocksOf(uint64_t bytes) {
  if (bytes < 32) return 0;
  uint64_t blocks = bytes / TbCacheBytesPerBlock;
  return blocks > UINT32_MAX ? UINT32_MAX : uint32_t(blocks);
}

uint32_t TableCacheBlockCount() { return CacheBlocks; }

static TbBlockHeader* Header(uint32_t number) { return reinterpret_cast<TbBlockHeader*>(CacheArea) + (number - 1); }

static uint8_t* DataOf(uint32_t number) { return CacheArea + Header(number)->dataOffset; }

static void ClearBlockMaps() {
  for (TbRecordFiles& record : TbRecords)
    for (TbFileSide& fileSide : record.side)
      if (fileSide.blockMap) memset(fileSide.blockMap, 0, sizeof(TbBlockMap));
}

void ResetTableCache() {
  CacheBlocks = 0;
  FreeHead = ListHead = ListTail = 0;
  ClearBlockMaps();
}

void LayoutTableCache(uint32_t blocks) {
  ResetTableCache();
  uint32_t room = TableCacheBlocksOf(CacheAreaBytes);
  if (!CacheArea || blocks > room) blocks = room;
  // Data offsets are 32-bit: an area of up to 4 GB.
  if (uint64_t(blocks) * TbCacheBytesPerBlock > UINT32_MAX) blocks = uint32_t(UINT32_MAX / TbCacheBytesPerBlock);
  for (uint32_t number = 1; number <= blocks; ++number) {
    TbBlockHeader* header = Header(number);
    header->record = -1;
    header->side = -1;
    header->block = 0;
    header->listNext = number < blocks ? number + 1 : 0;
    header->listPrev = header->chainNext = header->chainPrev = 0;
    header->dataOffset = blocks * uint32_t(TbCacheHeaderBytes) + (number - 1) * uint32_t(TbCacheDataBytes);
  }
  FreeHead = blocks ? 1 : 0;
  ListLock = 0;
  CacheBlocks = blocks;
}

TbBlockMap* AllocateBlockMap() { return static_cast<TbBlockMap*>(calloc(1, sizeof(TbBlockMap))); }

void FreeBlockMap(TbBlockMap* map) { free(map); }

// List and chain edits; the caller holds ListLock or the bucket's lock.
static void UnlinkFromList(uint32_t number) {
  TbBlockHeader* header = Header(number);
  if (header->listPrev) Header(header->listPrev)->listNext = header->listNext;
  else ListHead = header->listNext;
  if (header->listNext) Header(header->listNext)->listPrev = header->listPrev;
  else ListTail = header->listPrev;
  header->listNext = header->listPrev = 0;
}

static void PushListHead(uint32_t number) {
  TbBlockHeader* header = Header(number);
  header->listPrev = 0;
  header->listNext = ListHead;
  if (ListHead) Header(ListHead)->listPrev = number;
  else ListTail = number;
  ListHead = number;
}

static void UnlinkFromChain(TbBucket* bucket, uint32_t number) {
  TbBlockHeader* header = Header(number);
  if (header->chainPrev) Header(header->chainPrev)->chainNext = header->chainNext;
  else bucket->head = header->chainNext;
  if (header->chainNext) Header(header->chainNext)->chainPrev = header->chainPrev;
  header->chainNext = header->chainPrev = 0;
}

static void PushChainFront(TbBucket* bucket, uint32_t number) {
  TbBlockHeader* header = Header(number);
  header->chainPrev = 0;
  header->chainNext = bucket->head;
  if (bucket->head) Header(bucket->head)->chainPrev = number;
  bucket->head = number;
}

static TbBucket* BucketOf(TbBlockMap* map, uint32_t block) { return &map->buckets[block & (BucketCount - 1)]; }

// The caller holds ListLock; the header is in no list or chain.
static void SetIdentity(uint32_t number, int record, int side, uint32_t block) {
  TbBlockHeader* header = Header(number);
  header->record = record;
  header->side = side;
  header->block = block;
}

// A header for a block about to be read: a free one, else the least recently used one,
// taken out of its list and chain. Its identity is set while the list lock is held, so that
// a thread that saw it as the tail finds on its re-check that it changed.
static uint32_t TakeHeader(int record, int side, uint32_t block) {
  for (;;) {
    LockTb(&ListLock);
    if (FreeHead) {
      uint32_t number = FreeHead;
      FreeHead = Header(number)->listNext;
      Header(number)->listNext = 0;
      SetIdentity(number, record, side, block);
      UnlockTb(&ListLock);
      return number;
    }
    uint32_t victim = ListTail;
    if (!victim) {  // every header is being filled by other readers: wait for one
      UnlockTb(&ListLock);
      YieldThread();
      continue;
    }
    TbBlockHeader* header = Header(victim);
    int32_t oldRecord = header->record, oldSide = header->side;
    uint32_t oldBlock = header->block;
    UnlockTb(&ListLock);
    // The victim's bucket lock comes before the list lock; meanwhile another thread may
    // have used or taken the victim, hence the re-check.
    TbBlockMap* map = TbRecords[oldRecord].side[oldSide].blockMap;
    if (!map) return 0;
    TbBucket* bucket = BucketOf(map, oldBlock);
    LockTb(&bucket->lock);
    LockTb(&ListLock);
    if (ListTail == victim && header->record == oldRecord && header->side == oldSide && header->block == oldBlock) {
      UnlinkFromList(victim);
      UnlinkFromChain(bucket, victim);
      SetIdentity(victim, record, side, block);
      UnlockTb(&ListLock);
      UnlockTb(&bucket->lock);
      return victim;
    }
    UnlockTb(&ListLock);
    UnlockTb(&bucket->lock);
  }
}

// Reads block `block` of a file side into `data`: from part block >> 18 of a split table,
// plain or compressed. 1 on success.
static int ReadBlockFromFile(int record, int side, uint32_t block, uint8_t* data) {
  int part = (EndgameTable[record].flags & EndgameSplit) ? int(block >> TbBlocksPerPartShift) : 0;
  if (part >= MaxTablebaseParts) return 0;
  uint32_t blockInPart = block - (uint32_t(part) << TbBlocksPerPartShift);
  TbFileSide* fileSide = &TbRecords[record].side[side];
  int ok = 0;
  LockTb(&fileSide->lock);
  int64_t file = OpenPartFile(fileSide, part);
  if (file != NoFileHandle && fileSide->compressed[part]) {
    DatacompWork* work = TakeDatacompWork();
    if (work) {
      ok = ReadDatacompBlock(fileSide->compressed[part], file, blockInPart, work, data) == 0;
      ReturnDatacompWork(work);
    }
  } else if (file != NoFileHandle) {
    // One positioned read at a 64-bit offset. Only the part's last block may come back
    // short, and then it must hold every byte the part has left.
    uint64_t partBytes = PartEntriesOf(record, side, part) * uint64_t(EntrySizeOf(record));
    uint64_t start = uint64_t(blockInPart) * TbCacheBlockBytes;
    if (start < partBytes) {
      uint64_t left = partBytes - start;
      int expected = left < uint64_t(TbCacheBlockBytes) ? int(left) : TbCacheBlockBytes;
      int got = ReadFileAt(file, start, data, TbCacheBlockBytes);
      ok = got >= expected;
      if (ok && got < TbCacheBlockBytes) memset(data + got, 0, size_t(TbCacheBlockBytes - got));
    }
  }
  UnlockTb(&fileSide->lock);
  return ok;
}

int ReadCachedBytes(int record, int tableSide, uint32_t block, uint32_t offset, uint8_t* out, int count) {
  if (!CacheBlocks || record < 1 || record >= EndgameRecordCount || tableSide < 0 || tableSide > 1) return 0;
  if (count < 1 || count > 2 || offset > uint32_t(TbCacheBlockBytes - count)) return 0;
  TbBlockMap* map = TbRecords[record].side[tableSide].blockMap;
  if (!map) return 0;
  TbBucket* bucket = BucketOf(map, block);

  LockTb(&bucket->lock);
  uint32_t number = bucket->head;
  while (number && Header(number)->block != block) number = Header(number)->chainNext;
  if (number) {
    LockTb(&ListLock);
    if (ListHead != number) {
      UnlinkFromList(number);
      PushListHead(number);
    }
    UnlockTb(&ListLock);
    if (bucket->head != number) {
      UnlinkFromChain(bucket, number);
      PushChainFront(bucket, number);
    }
    memcpy(out, DataOf(number) + offset, size_t(count));
    UnlockTb(&bucket->lock);
    return 1;
  }
  UnlockTb(&bucket->lock);

  number = TakeHeader(record, tableSide, block);
  if (!number) return 0;
  if (!ReadBlockFromFile(record, tableSide, block, DataOf(number))) {
    LockTb(&ListLock);
    SetIdentity(number, -1, -1, 0);
    Header(number)->listNext = FreeHead;
    FreeHead = number;
    UnlockTb(&ListLock);
    return 0;
  }
  // Into its chain and the list in one step under the bucket lock, so that a reader that
  // finds it in the chain also finds it in the list.
  LockTb(&bucket->lock);
  PushChainFront(bucket, number);
  LockTb(&ListLock);
  PushListHead(number);
  UnlockTb(&ListLock);
  memcpy(out, DataOf(number) + offset, size_t(count));
  UnlockTb(&bucket->lock);
  return 1;
}
