#include "tablebase/datacomp_bits.h"

#include <cstdlib>

void StartBitWriter(BitWriter* w) { *w = BitWriter{nullptr, 0, 0, 0, 0, false}; }

void FreeBitWriter(BitWriter* w) {
  free(w->bytes);
  StartBitWriter(w);
}

static void PutByte(BitWriter* w, uint8_t byte) {
  if (w->failed) return;
  if (w->size == w->capacity) {
    size_t capacity = w->capacity ? w->capacity * 2 : 4096;
    uint8_t* grown = static_cast<uint8_t*>(realloc(w->bytes, capacity));
    if (!grown) {
      w->failed = true;
      return;
    }
    w->bytes = grown;
    w->capacity = capacity;
  }
  w->bytes[w->size++] = byte;
}

void PutBits(BitWriter* w, uint32_t value, int count) {
  if (count > 16) {
    PutBits(w, value >> 16, count - 16);
    PutBits(w, value & 0xFFFF, 16);
    return;
  }
  if (count == 0) return;
  w->pending = w->pending << count | (value & ((1u << count) - 1));
  w->pendingCount += count;
  while (w->pendingCount >= 8) {
    w->pendingCount -= 8;
    PutByte(w, uint8_t(w->pending >> w->pendingCount));
  }
  w->pending &= (1u << w->pendingCount) - 1;
}

void PadToByte(BitWriter* w) {
  if (w->pendingCount) PutBits(w, 0, 8 - w->pendingCount);
}
