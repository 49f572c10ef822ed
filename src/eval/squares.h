// Square names for the hand-written evaluation rules (a1 = 1 .. h8 = 64).
#pragma once

namespace sq {
enum : int {
  A1 = 1, B1, C1, D1, E1, F1, G1, H1,
  A2, B2, C2, D2, E2, F2, G2, H2,
  A3, B3, C3, D3, E3, F3, G3, H3,
  A4, B4, C4, D4, E4, F4, G4, H4,
  A5, B5, C5, D5, E5, F5, G5, H5,
  A6, B6, C6, D6, E6, F6, G6, H6,
  A7, B7, C7, D7, E7, F7, G7, H7,
  A8, B8, C8, D8, E8, F8, G8, H8,
};
}  // namespace sq

// For board squares (1..64): file and rank by mask and shift.
inline int IsDarkSquare(int s) { return ((((s - 1) & 7) + ((s - 1) >> 3)) & 1) == 0; }
inline int Distance(int a, int b) {
  int df = ((a - 1) & 7) - ((b - 1) & 7), dr = ((a - 1) >> 3) - ((b - 1) >> 3);
  if (df < 0) df = -df;
  if (dr < 0) dr = -dr;
  return df > dr ? df : dr;
}
