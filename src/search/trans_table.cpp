#include "search/trans_table.h"
#include <cstdlib>
#include <cstring>
#include "eval/eval_cache.h"
#include "search/learned_list.h"
#include "search/principal_variation.h"
#include "platform/platform.h"

// A small table that is always there, so that the search never runs without one, even
// when every allocation failed.
constexpr uint32_t BuiltinEntries = 64;  // four arrays of 64 entries: 4 KB
static TransEntry BuiltinTable[4][BuiltinEntries];

TransEntry* TransTableA[2] = {BuiltinTable[0], BuiltinTable[1]};
TransEntry* TransTableB[2] = {BuiltinTable[2], BuiltinTable[3]};
uint32_t TransSize = BuiltinEntries;
uint32_t TransGeneration = 2;
uint32_t GenerationSignature[32];
uint32_t CurrentEvalSignature;
uint32_t HashfullCount;

static bool TablesOwned;  // the four arrays came from the heap
static int TransKb = 4;

void AdvanceTransGeneration() {
  TransGeneration = TransGeneration >= 31 ? 2 : TransGeneration + 1;
}

void MapGenerationSignatures(uint32_t signature) {
  CurrentEvalSignature = signature;
  GenerationSignature[0] = signature;
  GenerationSignature[1] = signature;
  GenerationSignature[TransGeneration] = signature;
}

int HashfullPermill() {
  uint64_t permill = uint64_t(HashfullCount) * 500 / TransSize;
  return permill > 1000 ? 1000 : int(permill);
}

static uint32_t ClampDepth(int depth) {
  if (depth > 127) depth = 127;
  if (depth < -128) depth = -128;
  return uint32_t(depth);
}

void StoreTransEntry(int side, uint32_t key1, uint32_t key2, Move move, uint32_t move2, int score,
                     int depth, uint32_t flagByte) {
  TransEntry* a = TransSlotA(side, key1);
  TransEntry* b = TransSlotB(side, key1);
  const TransEntry old = *a;
  const uint32_t oldGeneration = EntryGeneration(old);
  const int d = int(int8_t(ClampDepth(depth)));
  if (EntryDepth(old) > d && oldGeneration == TransGeneration) {
    WriteTransEntry(b, key2, move, move2, PackTransData(score, d, flagByte | TransGeneration));
    return;
  }
  if (oldGeneration == 1) {
    // A permanent entry: only a result at least as deep for the same position replaces it.
    if (EntryKey(old) != key2)
      WriteTransEntry(b, key2, move, move2, PackTransData(score, d, flagByte | TransGeneration));
    else if (d >= EntryDepth(old))
      WriteTransEntry(a, key2, move, move2, PackTransData(score, d, flagByte | 1));
    return;
  }
  if (EntryKey(old) != key2) *b = old;
  if (oldGeneration != TransGeneration || EntryDepth(old) <= 0) HashfullCount++;
  WriteTransEntry(a, key2, move, move2, PackTransData(score, d, flagByte | TransGeneration));
}

void StoreQuiesceEntry(int side, uint32_t key1, uint32_t key2, Move move, int score, int depth,
                       uint32_t flagByte) {
  TransEntry* a = TransSlotA(side, key1);
  const uint32_t generation = EntryGeneration(*a);
  if (EntryDepth(*a) > 0 && (generation == TransGeneration || generation == 1)) return;
  WriteTransEntry(a, key2, move, 0, PackTransData(score, int(int8_t(ClampDepth(depth))), flagByte | TransGeneration));
}

void StoreRootEntry(int side, uint32_t key1, uint32_t key2, Move move, int score, int depth) {
  TransEntry* a = TransSlotA(side, key1);
  const TransEntry old = *a;
  const uint32_t oldGeneration = EntryGeneration(old);
  const int d = int(int8_t(ClampDepth(depth)));
  if (EntryDepth(old) > d && oldGeneration == TransGeneration) return;
  uint32_t generation = TransGeneration;
  if (oldGeneration == 1) {
    // Another position's permanent entry stays; the root result goes to table B then.
    if (EntryKey(old) != key2) a = TransSlotB(side, key1);
    else generation = 1;
  }
  WriteTransEntry(a, key2, move, 0, PackTransData(ScoreToTrans(score, 0), d, generation));
}

HashSplit SplitHashKb(int64_t totalKb) {
  if (totalKb < 0) totalKb = 0;
  if (totalKb > MaxHashKb) totalKb = MaxHashKb;
  int64_t trans = (totalKb * 4 + 4) / 5;
  if (trans < 4) trans = 4;
  int64_t rest = totalKb - trans;
  if (rest < 1) rest = 1;
  return HashSplit{int(trans), int(rest)};
}

static void ReleaseTransArrays() {
  if (TablesOwned) {
    for (int side = 0; side < 2; side++) {
      FreeTableMemory(TransTableA[side]);
      FreeTableMemory(TransTableB[side]);
    }
  }
  TablesOwned = false;
  TransTableA[0] = BuiltinTable[0];
  TransTableA[1] = BuiltinTable[1];
  TransTableB[0] = BuiltinTable[2];
  TransTableB[1] = BuiltinTable[3];
  TransSize = BuiltinEntries;
  TransKb = 4;
  std::memset(BuiltinTable, 0, sizeof BuiltinTable);
  // Saved variation entries and learned entries point into the old arrays.
  ClearSavedPv();
  ClearLearnedList();
}

// Four zeroed arrays of kb * 1024 / 64 entries each; on failure nothing stays allocated.
static int AllocateTransArrays(int kb) {
  ReleaseTransArrays();
  const uint64_t entries = uint64_t(kb) * 1024 / 64;
  if (entries == 0 || entries > UINT32_MAX || entries > SIZE_MAX / sizeof(TransEntry)) return 0;
  TransEntry* arrays[4] = {};
  for (int i = 0; i < 4; i++) {
    arrays[i] = static_cast<TransEntry*>(AllocateTableMemory(size_t(entries) * sizeof(TransEntry)));
    if (!arrays[i]) {
      for (int j = 0; j < i; j++) FreeTableMemory(arrays[j]);
      return 0;
    }
  }
  TransTableA[0] = arrays[0];
  TransTableA[1] = arrays[1];
  TransTableB[0] = arrays[2];
  TransTableB[1] = arrays[3];
  TransSize = uint32_t(entries);
  TablesOwned = true;
  TransKb = kb;
  return 1;
}

// A resize never leaves the search without a table: the requested size, then 3072 KB, then
// halves of it, and at the very least the built-in table.
static void ResizeTransTable(int kb) {
  if (AllocateTransArrays(kb)) return;
  for (int fallback = TransFallbackKb; fallback >= 8; fallback /= 2)
    if (AllocateTransArrays(fallback)) return;
}

int AllocateHashTables(int totalKb) {
  const HashSplit split = SplitHashKb(totalKb);
  if (!AllocateTransArrays(split.transKb)) return 0;
  if (!AllocateEvalCache(split.evalKb)) {
    ReleaseTransArrays();
    return 0;
  }
  return 1;
}

void FreeHashTables() {
  ReleaseTransArrays();
  FreeEvalCache();
}

void ClearTransTable() {
  for (int side = 0; side < 2; side++) {
    std::memset(TransTableA[side], 0, size_t(TransSize) * sizeof(TransEntry));
    std::memset(TransTableB[side], 0, size_t(TransSize) * sizeof(TransEntry));
  }
}

void ClearHashTables() {
  ClearTransTable();
  ClearEvalTables();
}

int64_t HashOptionKb(int64_t megabytes) {
  if (megabytes <= 1) return 0;
  if (megabytes > MaxHashKb / 1024) return MaxHashKb;
  return megabytes * 1024 < MinHashKb ? MinHashKb : megabytes * 1024;
}

void ResizeHash(int64_t megabytes) {
  const int64_t totalKb = HashOptionKb(megabytes);
  if (totalKb == 0) return;
  const HashSplit split = SplitHashKb(totalKb);
  if (split.transKb != TransKb) ResizeTransTable(split.transKb);
  // Keeps a cache of that size as it is; a new size falls back to a smaller cache by itself.
  AllocateEvalCache(split.evalKb);
}

int TransTableKb() { return TransKb; }

int TransEntryIsOk(const TransEntry& e) {
  const int score = EntryScore(e);
  return (e.move & ~MoveWordMask) == 0 && (e.move2 & ~(TransMove2Mask | TransSingularBit)) == 0 &&
         score >= -MateScore && score <= MateScore;
}
