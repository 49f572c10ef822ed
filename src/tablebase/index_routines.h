// The index routines of the endgame table: one instantiation per record and side, each a
// thin entry into the shared encoder with that record's layout.
#pragma once
#include <cstdint>

#include "tablebase/endgame_table.h"
#include "tablebase/index_layout.h"

template <int Record, int Side>
uint64_t TbRecordIndex(const int32_t* white, const int32_t* black, int32_t epSquare,
                       int32_t flip) {
  BuildTablebaseIndexTables();
  return TbEncode(TbLayouts[Record][Side], white, black, epSquare, flip);
}

// Black to move in a symmetric record: the colour-swapped position with White to move.
template <int Record>
uint64_t TbSymmetricBlackIndex(const int32_t* white, const int32_t* black, int32_t epSquare,
                               int32_t flip) {
  return TbRecordIndex<Record, 0>(black, white, epSquare, flip ? 0 : 1);
}
