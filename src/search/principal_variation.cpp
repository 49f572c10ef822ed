#include "search/principal_variation.h"
#include <cstdio>
#include <cstring>
#include "board/make_move.h"
#include "board/move_text.h"
#include "search/move_picker.h"
#include "search/repetition.h"

Move SavedPv[SavedPvSize];
SavedPvEntry SavedPvEntries[SavedPvSize];

void ClearSavedPv() {
  std::memset(SavedPv, 0, sizeof SavedPv);
  std::memset(SavedPvEntries, 0, sizeof SavedPvEntries);
}

static void AppendMoveText(char* text, int capacity, Move move) {
  char buffer[32];
  const int length = MoveToText(buffer, move);
  const size_t used = std::strlen(text);
  if (length <= 0 || used + size_t(length) + 1 > size_t(capacity)) return;
  std::memcpy(text + used, buffer, size_t(length) + 1);
}

// The stored move of this position that continues a variation scoring `score`: an exact
// entry of table A with that score (any mate score will do), else one of table B, which is
// then swapped into table A.
static Move VariationMove(const PlyState* node, int score, TransEntry** slotOut) {
  TransEntry* a = TransSlotA(node->side, node->key1);
  *slotOut = a;
  TransEntry entry;
  if (ReadTransEntry(a, node->key2, &entry) && entry.move) {
    if (EntryIsExact(entry) && (EntryScore(entry) == score || score > MateThreshold || score < -MateThreshold))
      return entry.move;
  }
  TransEntry* b = TransSlotB(node->side, node->key1);
  if (ReadTransEntry(b, node->key2, &entry) && entry.move && EntryIsExact(entry) && EntryScore(entry) == score) {
    *b = *a;
    *a = entry;
    return entry.move;
  }
  return 0;
}

// node is the position after a legal variation move; score its expected score.
static void FollowVariation(Position* pos, PlyState* node, int score, char* text, int capacity) {
  const int ply = node->ply;
  if (ply >= PvPlyLimit || IsRepetition(pos, node->irreversible, node->key2, 2)) return;
  TransEntry* slot = nullptr;
  const Move move = VariationMove(node, score, &slot);
  if (!move || !IsStoredMoveSound(pos, node, move)) return;
  node->move = move;
  PlyState* child = MakeMove(pos, node);
  if (!child) return;  // a variation never shows an illegal move
  SavedPv[ply] = move;
  SavedPv[ply + 1] = 0;
  SavedPvEntries[ply].slot = slot;
  SavedPvEntries[ply].copy = *slot;
  AppendMoveText(text, capacity, move);
  FollowVariation(pos, child, -score, text, capacity);
  UnmakeMove(pos, node);
}

void ExtractPV(Position* pos, PlyState* node, int score, char* text, int capacity) {
  if (node->ply == 0) {
    ClearSavedPv();
    SavedPv[0] = node->move;
  }
  PlyState* child = MakeMove(pos, node);
  if (!child) return;
  if (node->ply + 1 < SavedPvSize) SavedPv[node->ply + 1] = 0;
  FollowVariation(pos, child, score, text, capacity);
  UnmakeMove(pos, node);
}

void SaveReportedVariation(Position* pos, PlyState* root, Move move, int score, char* text, int capacity) {
  const Move previousBest = SavedPv[0], previousPonder = SavedPv[1];
  ClearSavedPv();
  SavedPv[0] = move;
  char buffer[32];
  MoveToText(buffer, move);
  std::snprintf(text, size_t(capacity), "%s", buffer);
  if (!root) return;
  root->move = move;
  ExtractPV(pos, root, -score, text, capacity);
  if (SavedPv[1] == 0 && previousPonder != 0 && previousBest == move) {
    SavedPv[1] = previousPonder;
    AppendMoveText(text, capacity, previousPonder);
  }
}

void RestoreSavedPv() {
  for (int ply = 0; ply < SavedPvSize; ply++) {
    TransEntry* slot = SavedPvEntries[ply].slot;
    if (!slot || EntryGeneration(*slot) == 1) continue;
    *slot = SavedPvEntries[ply].copy;
  }
}
