// The evaluation cache (two tables, one per side to move) and the clearing of every
// evaluation table: the cache and the search context's pawn, material and mobility tables.
#pragma once
#include <cstdint>

// Sizes the evaluation cache to `kb` kilobytes; on failure retries with 1024 KB.
// 1 when a cache is in place, 0 when even the fallback failed (evaluation then runs uncached).
int AllocateEvalCache(int kb);
void FreeEvalCache();
int EvalCacheKilobytes();  // current size, 0 when none
// Clears the evaluation cache, the pawn-structure table, the material table and the
// bishop-mobility cache.
void ClearEvalTables();

// Probe and store of one side's table. A complete entry is looked up with partial = 0,
// a partial one (centre term skipped) with partial = 1. Probe returns 1 on a match and
// fills *score and *attackFlag.
int EvalCacheProbe(int side, uint32_t key1, uint32_t key2, uint32_t stamp, int partial,
                   int* score, int* attackFlag);
void EvalCacheStore(int side, uint32_t key1, uint32_t key2, uint32_t stamp, int partial,
                    int score, int attackFlag);
// The entry index a key 1 maps to: key1 modulo the entry count (0 without a cache).
uint32_t EvalCacheSlot(uint32_t key1);
// Starts loading the entry a probe with this side and key 1 would read.
void PrefetchEvalEntry(int side, uint32_t key1);
