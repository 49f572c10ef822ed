// Bit streams of compressed tablebase files, most significant bit first. The reader keeps a
// 32-bit window refilled two bytes at a time; bytes past the end of its input read as zero
// and the bits taken are counted, so a reader never touches memory outside its input and
// its owner can tell a stream that ran out (Overran) from one that fit.
#pragma once
#include <cstddef>
#include <cstdint>

struct BitReader {
  const uint8_t* bytes;
  size_t size;          // bytes of input
  size_t next;          // the next byte to load
  uint32_t window;      // the bits not yet taken, at the top
  int32_t room;         // bits that may still be taken before the next refill
  uint64_t taken;       // bits taken so far
  uint64_t limit;       // bits the input holds
};

inline uint32_t BitReaderByte(const BitReader* r, size_t at) { return at < r->size ? r->bytes[at] : 0; }

inline void StartBitReader(BitReader* r, const uint8_t* bytes, size_t size) {
  r->bytes = bytes;
  r->size = size;
  r->window = 0;
  for (size_t i = 0; i < 4; i++) r->window = r->window << 8 | BitReaderByte(r, i);
  r->next = 4;
  r->room = 16;
  r->taken = 0;
  r->limit = uint64_t(size) * 8;
}

// The top `count` bits of the window (1..16) without taking them.
inline uint32_t PeekBits(const BitReader* r, int count) { return r->window >> (32 - count); }

// Takes 0..16 bits.
inline uint32_t TakeBits(BitReader* r, int count) {
  if (count == 0) return 0;
  uint32_t value = r->window >> (32 - count);
  r->window <<= count;
  r->room -= count;
  r->taken += uint32_t(count);
  if (r->room <= 0) {
    uint32_t pair = BitReaderByte(r, r->next) << 8 | BitReaderByte(r, r->next + 1);
    r->next += 2;
    r->window |= pair << -r->room;
    r->room += 16;
  }
  return value;
}

// Takes 0..32 bits: more than 16 as a take of 16 and a take of the rest.
inline uint32_t TakeLongBits(BitReader* r, int count) {
  if (count <= 16) return TakeBits(r, count);
  uint32_t high = TakeBits(r, 16);
  return high << (count - 16) | TakeBits(r, count - 16);
}

// True when more bits were taken than the input holds.
inline bool Overran(const BitReader* r) { return r->taken > r->limit; }

// Bytes of input used so far, the last one counted whole.
inline uint64_t BytesTaken(const BitReader* r) { return (r->taken + 7) / 8; }

// The writer: bits appended to a growing byte array.
struct BitWriter {
  uint8_t* bytes;
  size_t size;      // whole bytes written
  size_t capacity;
  uint32_t pending;  // bits not yet written, at the bottom
  int pendingCount;
  bool failed;       // out of memory
};

void StartBitWriter(BitWriter* w);
void FreeBitWriter(BitWriter* w);
void PutBits(BitWriter* w, uint32_t value, int count);  // 0..32 bits, the value's low ones
void PadToByte(BitWriter* w);                             // zero bits up to a whole byte
