#include "search/learned_list.h"

#include <cstring>

#include "board/position.h"
#include "search/principal_variation.h"
#include "search/trans_table.h"

struct LearnedEntry {
  TransEntry* slot;
  TransEntry copy;  // sealed words as they were saved
};

static LearnedEntry LearnedList[LearnedListSize];
static int LearnedCount;
// The table the listed slots belong to; a list made for another table is never written.
static TransEntry* LearnedTableA[2];
static uint32_t LearnedTableSize;

constexpr uint32_t GenerationMask = 0x1F000000;

// Gives a sealed entry another generation, keeping its seal.
static void SetGeneration(TransEntry* entry, uint32_t generation) {
  uint32_t data = (entry->data & ~GenerationMask) | generation << 24;
  entry->lock ^= entry->data ^ data;
  entry->data = data;
}

static int ListMatchesTable() {
  return LearnedTableA[0] == TransTableA[0] && LearnedTableA[1] == TransTableA[1] &&
         LearnedTableSize == TransSize;
}

static int SlotInTableA(const TransEntry* slot) {
  for (int side = 0; side < 2; side++)
    if (TransTableA[side] && slot >= TransTableA[side] && slot < TransTableA[side] + TransSize) return 1;
  return 0;
}

void ClearLearnedList() {
  // Listed entries that still carry the permanent mark become entries of an earlier
  // search: they no longer hold their slots for good, and they stop being trusted once the
  // evaluation settings change.
  uint32_t earlier = TransGeneration <= 2 ? 31 : TransGeneration - 1;
  if (ListMatchesTable()) {
    for (int i = 0; i < LearnedCount; i++) {
      TransEntry* slot = LearnedList[i].slot;
      if (EntryGeneration(*slot) == 1 && EntryKey(*slot) == EntryKey(LearnedList[i].copy))
        SetGeneration(slot, earlier);
    }
  }
  LearnedCount = 0;
}

void AddLearned(TransEntry* slot, const uint32_t words[4]) {
  if (!SlotInTableA(slot)) return;
  if (!ListMatchesTable()) {
    LearnedCount = 0;
    LearnedTableA[0] = TransTableA[0];
    LearnedTableA[1] = TransTableA[1];
    LearnedTableSize = TransSize;
  }
  int at = 0;
  while (at < LearnedCount && LearnedList[at].slot != slot) at++;
  if (at == LearnedCount) {
    if (LearnedCount == LearnedListSize) {
      for (int i = 0; i < LearnedCount; i++)
        if (EntryGeneration(*LearnedList[i].slot) == 1) SetGeneration(LearnedList[i].slot, 0);
      memmove(LearnedList, LearnedList + LearnedListDrop,
              sizeof(LearnedEntry) * (LearnedListSize - LearnedListDrop));
      LearnedCount -= LearnedListDrop;
      at = LearnedCount;
    }
    LearnedCount++;
    LearnedList[at].slot = slot;
  }
  TransEntry copy = {words[0], words[1], words[2], words[3]};
  SetGeneration(&copy, 1);
  LearnedList[at].copy = copy;
  SetGeneration(slot, 1);
}

void ReinsertLearned() {
  if (!ListMatchesTable()) {
    LearnedCount = 0;
    return;
  }
  for (int i = 0; i < LearnedCount; i++) *LearnedList[i].slot = LearnedList[i].copy;
}

void RefreshLearned() {
  if (!ListMatchesTable()) {
    LearnedCount = 0;
    return;
  }
  for (int i = 0; i < LearnedCount; i++) {
    TransEntry* slot = LearnedList[i].slot;
    if (EntryKey(*slot) != EntryKey(LearnedList[i].copy)) continue;
    SetGeneration(slot, 1);
    LearnedList[i].copy = *slot;
  }
}

void BeginLearnedEntries(int infiniteAnalysis) {
  if (infiniteAnalysis) ReinsertLearned();
  else ClearLearnedList();
}

void KeepAnalysisEntries(const PlyState* root) {
  for (int i = 0; i < SavedPvSize; i++) {
    const SavedPvEntry* saved = &SavedPvEntries[i];
    if (!saved->slot) continue;
    uint32_t words[4] = {saved->copy.lock, saved->copy.move, saved->copy.move2, saved->copy.data};
    AddLearned(saved->slot, words);
  }
  TransEntry* slot = TransSlotA(root->side, root->key1);
  uint32_t words[4] = {slot->lock, slot->move, slot->move2, slot->data};
  AddLearned(slot, words);
  RefreshLearned();
}
