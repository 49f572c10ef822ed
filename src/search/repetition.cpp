#include "search/repetition.h"
#include "search/search.h"

int IsRepetition(const Position* pos, const uint32_t* irreversible, uint32_t key, int count) {
  int seen = 0;
  for (const uint32_t* p = pos->keyPtr - 4; p >= irreversible; p -= 2) {
    if (*p == key && ++seen >= count) return 1;
  }
  return 0;
}

int RepetitionScore(const PlyState* node) {
  if (node->flags & InCheckFlag) return -(node->ply >> RepetitionShift);
  if (node->ply > 0 && (node[-1].flags & InCheckFlag)) return node->ply >> RepetitionShift;
  return 0;
}
