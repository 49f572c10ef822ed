#include "tablebase/datacomp_block.h"

#include <cstring>

#include "tablebase/datacomp_errors.h"

int DecodeDatacompBlock(const DatacompFile* d, const uint8_t* in, uint32_t inBytes, uint8_t* out, uint32_t expected) {
  BitReader r;
  StartBitReader(&r, in, inBytes);
  uint32_t at = 0;
  while (at < expected) {
    int s = DecodeSymbol(&r, d->table, DatacompRootBits, DatacompTableEntries);
    if (s < 0) return DatacompBadTableEntry;
    if (s < 256) {
      out[at++] = uint8_t(s);
    } else {
      int match = s - 256, code = match & 31;
      uint32_t distance = d->distances[match >> 5];
      uint32_t length = code < 15 ? uint32_t(code) + 1 : (1u << (code - 14)) + TakeLongBits(&r, code - 14) + 14;
      if (distance == 0 || distance > at) return DatacompMatchBeforeStart;
      if (length > expected - at) return DatacompMatchPastEnd;
      const uint8_t* from = out + at - distance;
      if (distance >= length) {
        memcpy(out + at, from, length);
      } else {  // overlapping: the bytes just written are copied again
        for (uint32_t i = 0; i < length; i++) out[at + i] = from[i];
      }
      at += length;
    }
    if (Overran(&r)) return DatacompTruncatedBlock;
  }
  return 0;
}
