#include "eval/pawn_structure.h"

const PawnEntry* FindPawnEntry(const Position*, uint32_t, uint32_t) { return nullptr; }
int PawnEntryHasAdvancedPasser(const PawnEntry* entry, int side) {
  return (entry->flags & (side ? PawnBlackPasserFar : PawnWhitePasserFar)) != 0;
}
