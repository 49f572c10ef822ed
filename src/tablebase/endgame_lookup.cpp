#include "tablebase/endgame_lookup.h"

#include <cstring>

#include "tablebase/endgame_table.h"

// An open-addressed table of (packed counts + 1, signed record) pairs; 441 records and their
// swapped twins fill less than half of it, so every probe ends at a match or an empty slot.
constexpr int LookupSlots = 2048;
constexpr int MaxKindCount = 4;

struct LookupSlot {
  uint32_t key;  // 0 empty
  int32_t record;
};

static LookupSlot LookupTable[LookupSlots];

static uint32_t PackCounts(const int32_t counts[10]) {
  uint32_t key = 0;
  for (int i = 0; i < 10; ++i) key = key * 8 + uint32_t(counts[i]);
  return key + 1;
}

static int SlotOf(uint32_t key) { return int((key * 2654435761u) >> 21) & (LookupSlots - 1); }

static int CountsAreValid(const int32_t counts[10]) {
  for (int i = 0; i < 10; ++i)
    if (counts[i] < 0 || counts[i] > MaxKindCount) return 0;
  return 1;
}

int EndgameLookup(const int32_t counts[10]) {
  if (!counts || !CountsAreValid(counts)) return 0;
  uint32_t key = PackCounts(counts);
  for (int slot = SlotOf(key);; slot = (slot + 1) & (LookupSlots - 1)) {
    if (LookupTable[slot].key == key) return LookupTable[slot].record;
    if (LookupTable[slot].key == 0) return 0;
  }
}

static int EnterCounts(const int32_t counts[10], int record) {
  uint32_t key = PackCounts(counts);
  for (int slot = SlotOf(key), tries = 0; tries < LookupSlots; slot = (slot + 1) & (LookupSlots - 1), ++tries) {
    if (LookupTable[slot].key == key) return LookupTable[slot].record == record;
    if (LookupTable[slot].key == 0) {
      LookupTable[slot].key = key;
      LookupTable[slot].record = record;
      return 1;
    }
  }
  return 0;
}

int EnterEndgameLookup(int record) {
  if (record < 1 || record >= EndgameRecordCount) return 0;
  int32_t counts[10];
  if (!CountsOfEndgameName(EndgameTable[record].name, counts)) return 0;
  if (!EnterCounts(counts, record)) return 0;
  if (EndgameTable[record].flags & EndgameSymmetric) return 1;
  int32_t swapped[10];
  for (int i = 0; i < 5; ++i) {
    swapped[i] = counts[i + 5];
    swapped[i + 5] = counts[i];
  }
  return EnterCounts(swapped, -record);
}

void ClearEndgameLookup() { memset(LookupTable, 0, sizeof LookupTable); }

int CountsOfEndgameName(const char* name, int32_t counts[10]) {
  static const char KindLetters[] = "pnbrq";
  for (int i = 0; i < 10; ++i) counts[i] = 0;
  if (!name || name[0] != 'k') return 0;
  int side = 0;
  for (int i = 1; i < 8 && name[i]; ++i) {
    if (name[i] == 'k') {
      if (side == 1) return 0;
      side = 1;
      continue;
    }
    const char* kind = strchr(KindLetters, name[i]);
    if (!kind || !*kind) return 0;
    int32_t* count = &counts[side * 5 + int(kind - KindLetters)];
    if (++*count > MaxKindCount) return 0;
  }
  return side == 1;
}
