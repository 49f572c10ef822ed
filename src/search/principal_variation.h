// The principal variation read back from the transposition table, and the saved variation
// of the last report with the table entries that supplied it.
#pragma once
#include <cstdint>
#include "board/position.h"
#include "search/trans_table.h"

constexpr int SavedPvSize = 30;
constexpr int PvPlyLimit = 28;  // no variation move is taken at ply 28 or deeper

struct SavedPvEntry {
  TransEntry* slot;  // the table-A slot that supplied the move; null for none
  TransEntry copy;   // its four words when the variation was read
};

// SavedPv[0] the root's best move, SavedPv[1] the expected reply (the ponder move), ...;
// ended by 0.
extern Move SavedPv[SavedPvSize];
extern SavedPvEntry SavedPvEntries[SavedPvSize];

void ClearSavedPv();

// Follows node->move and then the exact table entries whose score matches `score` (the
// score of the position after node->move from its side to move), recording each move at its
// ply in SavedPv and appending its text (" e2e4") to the zero-terminated `text` of
// `capacity` bytes. Called on the root ply state it also records the root move at index 0.
// Entries found in table B are swapped into table A. The position is left unchanged.
void ExtractPV(Position* pos, PlyState* node, int score, char* text, int capacity);

constexpr int VariationTextSize = 400;

// The variation reported for root move `move` scoring `score`: " e2e4 e7e5 ..." into `text`
// (capacity bytes, cut when full), read from `root` on (the move alone when root is null) and
// kept as the saved variation. When the table has no reply any more, the reply of the
// previous variation for the same move is kept.
void SaveReportedVariation(Position* pos, PlyState* root, Move move, int score, char* text, int capacity);

// Writes every saved variation entry back into its table-A slot, unless the slot now holds
// a generation-1 entry, so that the previous variation is searched first.
void RestoreSavedPv();
