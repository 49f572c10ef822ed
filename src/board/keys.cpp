#include "board/keys.h"

uint32_t ZobristKey1[16][65];
uint32_t ZobristKey2[16][65];

namespace {

// splitmix64 from a fixed seed: the keys are the same in every build, so keys stored in
// files stay comparable.
uint64_t NextRandom(uint64_t* state) {
  uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

void BuildZobristKeys() {
  uint64_t state = 0x4B65737472616E65ull;
  for (int code = 0; code < 16; code++) {
    ZobristKey1[code][0] = 0;
    ZobristKey2[code][0] = 0;
    for (int sq = 1; sq <= 64; sq++) {
      uint64_t r = NextRandom(&state);
      ZobristKey1[code][sq] = uint32_t(r);
      ZobristKey2[code][sq] = uint32_t(r >> 32);
    }
  }
}

void ComputeKeys(const int8_t board[65], uint32_t* key1, uint32_t* key2) {
  uint32_t k1 = 0, k2 = 0;
  for (int sq = 1; sq <= 64; sq++) {
    int code = board[sq];
    if (code <= 0 || code > 15) continue;
    k1 ^= ZobristKey1[code][sq];
    k2 ^= ZobristKey2[code][sq];
  }
  *key1 = k1;
  *key2 = k2;
}

void ComputePawnKeys(const int8_t board[65], uint32_t* key1, uint32_t* key2) {
  uint32_t k1 = 0, k2 = 1;
  for (int sq = 1; sq <= 64; sq++) {
    int code = board[sq];
    if (code != 2 && code != 10) continue;
    k1 ^= ZobristKey1[code][sq];
    k2 ^= ZobristKey2[code][sq];
  }
  *key1 = k1;
  *key2 = k2;
}
