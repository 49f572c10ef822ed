// Square and side arithmetic of the evaluation terms: ranks and steps seen from one side,
// wings and flanks of a file, lines between squares.
#pragma once
#include <cstdint>
#include "board/types.h"

// File and rank of a board square (1..64) by mask and shift; the same as FileOf and RankOf
// there, without the sign handling of a division.
inline int SquareFile(int s) { return ((s - 1) & 7) + 1; }
inline int SquareRank(int s) { return ((s - 1) >> 3) + 1; }
inline int Rel(int side, int rank) { return side ? 9 - rank : rank; }
inline int RelRank(int side, int s) { return Rel(side, SquareRank(s)); }
inline int Forward(int side) { return side ? -8 : 8; }
inline int Sign(int side) { return side ? -1 : 1; }
inline uint64_t SquareBit(int s) { return uint64_t(1) << (s - 1); }
inline int OwnPiece(int side, int kind) { return kind | side << 3; }
// Wing of a file: a-c 1, d-e 2, f-h 3. Flank: a-b 1, c-f 0, g-h 3.
inline int WingOf(int file) { return file <= 3 ? 1 : file <= 5 ? 2 : 3; }
inline int FlankOf(int file) { return file <= 2 ? 1 : file <= 6 ? 0 : 3; }
inline int Abs(int v) { return v < 0 ? -v : v; }

// The step from a towards b along a rank, file or diagonal, 0 when not on one line.
inline int LineStep(int a, int b) {
  int df = SquareFile(b) - SquareFile(a), dr = SquareRank(b) - SquareRank(a);
  if (a == b || !(df == 0 || dr == 0 || df == dr || df == -dr)) return 0;
  return (dr > 0 ? 8 : dr < 0 ? -8 : 0) + (df > 0 ? 1 : df < 0 ? -1 : 0);
}
inline int OnDiagonal(int a, int b) {
  int df = SquareFile(b) - SquareFile(a), dr = SquareRank(b) - SquareRank(a);
  return a != b && (df == dr || df == -dr);
}
// The square one step from s, 0 off the board.
inline int StepFrom(int s, int df, int dr) {
  int f = SquareFile(s) + df, r = SquareRank(s) + dr;
  return (f < 1 || f > 8 || r < 1 || r > 8) ? 0 : SquareOf(f, r);
}
