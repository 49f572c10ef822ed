// The tablebase block cache: 8 KB blocks of tablebase file sides held in one memory area,
// found through a per-side map of 32 buckets and replaced in least-recently-used order.
// Several threads may read at once; the buckets, the list and the file sides have locks.
#pragma once
#include <cstdint>

struct TbBlockMap;  // the cached blocks of one record and side

constexpr uint64_t MinTableCacheBytes = 1048576;
constexpr int TbCacheBlockBytes = 8192;    // bytes of a file read into one block
constexpr int TbCacheHeaderBytes = 32;     // per block: its header ...
constexpr int TbCacheDataBytes = 8228;     // ... and its data block (with room to spare)
constexpr int TbCacheBytesPerBlock = TbCacheHeaderBytes + TbCacheDataBytes;
constexpr int TbBlocksPerPartShift = 18;   // a part of a split table holds 2^18 blocks (2 GB)

// Allocates up to `bytes`, halving the request while the allocation fails; returns the size
// obtained (0 when none). Frees an older area first. The area is empty until laid out.
uint64_t AllocateTableCache(uint64_t bytes);
void FreeTableCache();
// The number of blocks an area of `bytes` holds (0 below 32 bytes).
uint32_t TableCacheBlocksOf(uint64_t bytes);
// Builds `blocks` free block headers in the area (no more than it holds) and empties every
// block map. Nobody may read meanwhile.
void LayoutTableCache(uint32_t blocks);
// Forgets every cached block; reads find no cache until the next layout.
void ResetTableCache();
uint32_t TableCacheBlockCount();

// The block map of a newly registered side (all buckets empty), null when out of memory.
TbBlockMap* AllocateBlockMap();
void FreeBlockMap(TbBlockMap* map);

// Copies `count` bytes (1 or 2) at `offset` of block `block` of a record's file side into
// `out`, reading the block from its file on a miss; 1 on success, 0 when there is no cache
// or the block cannot be read.
int ReadCachedBytes(int record, int tableSide, uint32_t block, uint32_t offset, uint8_t* out, int count);
