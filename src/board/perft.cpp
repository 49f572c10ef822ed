#include "board/perft.h"

#include <initializer_list>

#include "board/legal_count.h"
#include "board/make_move.h"
#include "board/movegen.h"

uint64_t Perft(Position* pos, PlyState* ps, int depth) {
  if (depth == 1) return uint64_t(CountLegalMoves(pos, ps));
  GenerateMoves(pos, ps, GenAll, 1);
  uint64_t nodes = 0;
  for (MoveEntry* list : {ps->tacticalBase, ps->quietBase}) {
    for (MoveEntry* entry = list; entry->score != MoveListEnd; entry++) {
      ps->move = entry->move;
      PlyState* next = MakeMove(pos, ps);
      if (next == nullptr) continue;
      nodes += Perft(pos, next, depth - 1);
      UnmakeMove(pos, ps);
    }
  }
  return nodes;
}

int PerftDivide(Position* pos, PlyState* ps, int depth, PerftDivision* out, int capacity) {
  GenerateMoves(pos, ps, GenAll, 1);
  int count = 0;
  for (MoveEntry* list : {ps->tacticalBase, ps->quietBase}) {
    for (MoveEntry* entry = list; entry->score != MoveListEnd; entry++) {
      ps->move = entry->move;
      PlyState* next = MakeMove(pos, ps);
      if (next == nullptr) continue;
      uint64_t nodes = depth > 1 ? Perft(pos, next, depth - 1) : 1;
      UnmakeMove(pos, ps);
      if (count < capacity) out[count] = {entry->move, nodes};
      count++;
    }
  }
  return count;
}
