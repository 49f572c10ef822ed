// The value code of tablebase files: the result for the side to move, in moves.
// Two-byte entries (little-endian): mate in n -> 32767 - n, mated in n -> n - 32767,
// checkmated now -> -32767, draw -> 0, no position behind the index -> 32767.
// One-byte entries: mate in n (1..126) -> 127 - n, mated in n -> n - 127, checkmated now
// -> -127, draw -> 0, no position -> 127.
#pragma once
#include <cstdint>

constexpr int16_t TbWordBroken = 32767;
constexpr int8_t TbByteBroken = 127;
constexpr int TbByteLongest = 126;  // the longest mate a one-byte entry holds

// `moves`: +n the side to move mates in n, -n it is mated in n, 0 a draw; `mateNow` marks
// the side to move checkmated (moves is then 0).
inline int16_t EncodeTableWord(int moves, bool mateNow) {
  if (mateNow) return -32767;
  if (moves > 0) return int16_t(32767 - moves);
  if (moves < 0) return int16_t(-32767 - moves);
  return 0;
}

inline int8_t EncodeTableByte(int moves, bool mateNow) {
  if (mateNow) return -127;
  if (moves > 0) return int8_t(127 - moves);
  if (moves < 0) return int8_t(-127 - moves);
  return 0;
}
