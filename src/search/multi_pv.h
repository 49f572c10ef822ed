// The line table of the multi-line mode: one record per root move with its last score, kept
// in order so that the next iteration searches the best lines first.
#pragma once
#include <cstdint>
#include "board/types.h"
#include "search/root_search.h"

constexpr int NoLineScore = -30000;
constexpr int NoLineDepth = -9999;

struct LineRecord {
  Move move;
  int score;    // NoLineScore until searched
  int bound;
  int depth;
  int elapsed;
};

struct LineTable {
  LineRecord records[MaxRootMoves];
  int used;
};

extern LineTable Lines;

// One unscored record per root move, in root-list order.
void StartLineTable(LineTable* table, const RootRecord* root);
const LineRecord* FindLine(const LineTable* table, Move move);
// Stores a result of a root move and re-sorts the records; the record just after the
// `requested` best lines is then reset, so it must earn its place again.
void UpdateLine(LineTable* table, Move move, int score, int bound, int depth, int elapsed, int requested);
