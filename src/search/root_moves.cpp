#include "search/root_moves.h"

#include "board/make_move.h"
#include "board/movegen.h"
#include "eval/evaluate.h"
#include "eval/prepare_root.h"
#include "search/repetition.h"
#include "search/search.h"

static void AddLegalMoves(Position* pos, PlyState* root, const MoveEntry* entry, bool tactical,
                          RootRecord* record) {
  for (; entry->score != MoveListEnd && record->count < MaxRootMoves; ++entry) {
    root->move = entry->move;
    PlyState* child = MakeMove(pos, root);
    if (!child) continue;
    int after = Evaluate(pos, child, -MateScore, MateScore, 0);
    UnmakeMove(pos, root);
    record->moves[record->count++] = RootMove{entry->move, (tactical ? int64_t(entry->score) : 0) - after};
  }
}

int BuildRootMoves(Position* pos, PlyState* root, RootRecord* record) {
  record->count = 0;
  GenerateMoves(pos, root, GenAll, 1);
  // The lists of the next ply start at the cursors, so these stay intact while moves are tried.
  AddLegalMoves(pos, root, root->tacticalBase, true, record);
  AddLegalMoves(pos, root, root->quietBase, false, record);
  record->moves[record->count] = RootMove{0, MoveListEnd};
  root->move = 0;
  return record->count;
}

int FindRootMove(const RootRecord* record, Move move) {
  for (int i = 0; i < record->count; ++i)
    if (record->moves[i].move == move) return i;
  return -1;
}

void RestrictRootMoves(RootRecord* record, const Move* listed) {
  RootMove kept[MaxRootMoves + 1];
  int n = 0;
  for (; *listed && n < record->count; ++listed) {
    int i = FindRootMove(record, *listed);
    if (i < 0) break;
    bool twice = false;
    for (int j = 0; j < n; ++j) twice |= kept[j].move == *listed;
    if (!twice) kept[n++] = record->moves[i];
  }
  if (n == 0) return;
  for (int i = 0; i < n; ++i) record->moves[i] = kept[i];
  record->count = n;
  record->moves[n] = RootMove{0, MoveListEnd};
}

void OrderRootMoves(RootRecord* record, Move first) {
  RootMove* m = record->moves;
  // Insertion sort: stable, and the list is short and nearly ordered after the first iteration.
  for (int i = 1; i < record->count; ++i) {
    RootMove item = m[i];
    int j = i;
    while (j > 0 && m[j - 1].key < item.key) {
      m[j] = m[j - 1];
      j--;
    }
    m[j] = item;
  }
  if (first) BringRootMove(record, first, 0);
}

void BringRootMove(RootRecord* record, Move move, int index) {
  int at = FindRootMove(record, move);
  if (at < 0 || at == index) return;
  RootMove item = record->moves[at];
  if (at > index) {
    for (int i = at; i > index; --i) record->moves[i] = record->moves[i - 1];
  } else {
    for (int i = at; i < index; ++i) record->moves[i] = record->moves[i + 1];
  }
  record->moves[index] = item;
}

int SearchRootMove(Position* pos, PlyState* root, Move move, int alpha, int beta, int depth) {
  root->move = move;
  PlyState* child = MakeMove(pos, root);
  if (!child) return -MateScore;
  int score = -Search(pos, child, -beta, -alpha, depth, NullMoveSwitch, 0);
  UnmakeMove(pos, root);
  return score;
}

int RootMoveRepeats(Position* pos, PlyState* root, Move move) {
  root->move = move;
  PlyState* child = MakeMove(pos, root);
  if (!child) return 0;
  int repeats = IsRepetition(pos, child->irreversible, child->key2, 1);
  UnmakeMove(pos, root);
  return repeats;
}
