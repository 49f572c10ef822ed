#include "search/repetition.h"
#include <cstddef>
#include "search/search.h"

int IsRepetition(const Position* pos, const uint32_t* irreversible, uint32_t key, int count) {
  int seen = 0;
  const ptrdiff_t reversible = pos->keyPtr - irreversible;
  for (ptrdiff_t back = 4; back <= reversible; back += 2) {
    if (pos->keyPtr[-back] == key && ++seen >= count) return 1;
  }
  return 0;
}

int RepetitionScore(const PlyState* node) {
  if (node->flags & InCheckFlag) return -(node->ply >> RepetitionShift);
  if (node->ply > 0 && (node[-1].flags & InCheckFlag)) return node->ply >> RepetitionShift;
  return 0;
}
