#include "eval/eval_cache.h"
#include <initializer_list>
#include <cstdlib>
#include "eval/material.h"
#include "eval/mobility.h"
#include "eval/pawn_hash.h"
#include "eval/pawn_structure.h"
#include "platform/platform.h"

struct EvalCacheEntry {
  uint32_t check;  // check word XOR the formed data word
  uint32_t data;   // stamp in bits 16-31, score in bits 0-15
};

static EvalCacheEntry* cacheTable[2];
static uint32_t cacheEntries;
static uint64_t cacheFactor;  // 2^64 / cacheEntries rounded up, for SlotOf
static int cacheKb;

// The largest "Hash" total is 4096 MB; a larger request is refused without trying.
static const int MaxCacheKb = 4194304;

static int TryAllocate(int kb) {
  if (kb > MaxCacheKb) return 0;
  uint32_t n = uint32_t(uint64_t(kb) * 1024 / 16);
  if (n == 0) return 0;
  const size_t bytes = size_t(n) * sizeof(EvalCacheEntry);
  EvalCacheEntry* a = static_cast<EvalCacheEntry*>(AllocateTableMemory(bytes));
  EvalCacheEntry* b = a ? static_cast<EvalCacheEntry*>(AllocateTableMemory(bytes)) : nullptr;
  if (!a || !b) {
    FreeTableMemory(a);
    FreeTableMemory(b);
    return 0;
  }
  cacheTable[0] = a;
  cacheTable[1] = b;
  cacheEntries = n;
  cacheFactor = UINT64_MAX / n + 1;
  cacheKb = kb;
  return 1;
}

int AllocateEvalCache(int kb) {
  if (kb < 1) kb = 1;
  if (cacheTable[0] && kb == cacheKb) return 1;
  FreeEvalCache();
  if (TryAllocate(kb)) return 1;
  return kb != 1024 && TryAllocate(1024);
}

void FreeEvalCache() {
  FreeTableMemory(cacheTable[0]);
  FreeTableMemory(cacheTable[1]);
  cacheTable[0] = cacheTable[1] = nullptr;
  cacheEntries = 0;
  cacheFactor = 0;
  cacheKb = 0;
}

int EvalCacheKilobytes() { return cacheKb; }

void ClearEvalTables() {
  for (int side = 0; side < 2 && cacheEntries; side++)
    for (uint32_t i = 0; i < cacheEntries; i++) cacheTable[side][i] = EvalCacheEntry{};
  ClearPawnHash();
  ClearMaterialHash();
  ClearMobilityCache();
}

// key1 % cacheEntries by multiplications instead of a division: the fraction key1 / cacheEntries
// kept in 64 bits, times cacheEntries, has the exact remainder in its top 32 of 96 bits for every
// 32-bit key and size. The product's top is taken in two 32-bit halves (no 128-bit type needed).
static inline uint32_t SlotOf(uint32_t key1) {
  uint64_t fraction = cacheFactor * key1;
  uint64_t low = (fraction & 0xFFFFFFFFu) * cacheEntries, high = (fraction >> 32) * cacheEntries;
  return uint32_t((high + (low >> 32)) >> 32);
}

uint32_t EvalCacheSlot(uint32_t key1) { return cacheEntries ? SlotOf(key1) : 0; }

void PrefetchEvalEntry(int side, uint32_t key1) {
  if (cacheEntries) __builtin_prefetch(&cacheTable[side][SlotOf(key1)]);
}

static inline uint32_t Formed(uint32_t stamp, int score) { return (stamp << 16) | uint32_t(int32_t(int16_t(score))); }

int EvalCacheProbe(int side, uint32_t key1, uint32_t key2, uint32_t stamp, int partial, int* score, int* attackFlag) {
  if (!cacheEntries) return 0;
  const EvalCacheEntry* e = &cacheTable[side][SlotOf(key1)];
  stamp &= 0xFFFF;
  if ((e->data >> 16) != stamp) return 0;
  int stored = int16_t(e->data & 0xFFFF);
  uint32_t check = e->check ^ Formed(stamp, stored);
  if (((check ^ key2) & ~3u) != 0 || int(check & 1) != partial) return 0;
  *score = stored;
  *attackFlag = int(check >> 1 & 1);
  return 1;
}

void EvalCacheStore(int side, uint32_t key1, uint32_t key2, uint32_t stamp, int partial, int score, int attackFlag) {
  // A score that does not fit 16 bits is not kept rather than kept truncated.
  if (!cacheEntries || score < -32768 || score > 32767) return;
  EvalCacheEntry* e = &cacheTable[side][SlotOf(key1)];
  stamp &= 0xFFFF;
  uint32_t check = (key2 & ~3u) | uint32_t(attackFlag ? 2 : 0) | uint32_t(partial ? 1 : 0);
  e->check = check ^ Formed(stamp, score);
  e->data = stamp << 16 | (uint32_t(score) & 0xFFFF);
}
