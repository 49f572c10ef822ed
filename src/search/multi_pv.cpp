#include "search/multi_pv.h"

LineTable Lines;

void StartLineTable(LineTable* table, const RootRecord* root) {
  table->used = root->count;
  for (int i = 0; i < root->count; ++i)
    table->records[i] = LineRecord{root->moves[i].move, NoLineScore, 0, NoLineDepth, 0};
}

static int LineIndex(const LineTable* table, Move move) {
  for (int i = 0; i < table->used; ++i)
    if (table->records[i].move == move) return i;
  return -1;
}

const LineRecord* FindLine(const LineTable* table, Move move) {
  int i = LineIndex(table, move);
  return i < 0 ? nullptr : &table->records[i];
}

// n - 1 passes of adjacent exchanges: a record climbs over one with a lower score that was
// not searched deeper.
static void SortLines(LineTable* table) {
  LineRecord* r = table->records;
  for (int pass = 1; pass < table->used; ++pass)
    for (int i = 0; i + 1 < table->used; ++i)
      if (r[i + 1].score > r[i].score && r[i + 1].depth >= r[i].depth) {
        LineRecord t = r[i];
        r[i] = r[i + 1];
        r[i + 1] = t;
      }
}

void UpdateLine(LineTable* table, Move move, int score, int bound, int depth, int elapsed, int requested) {
  int i = LineIndex(table, move);
  if (i < 0) return;
  LineRecord* line = &table->records[i];
  line->score = score;
  line->bound = bound;
  line->depth = depth;
  line->elapsed = elapsed;
  SortLines(table);
  if (requested < table->used) {
    table->records[requested].score = NoLineScore;
    table->records[requested].depth = NoLineDepth;
  }
}
