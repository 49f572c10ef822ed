// Piece counts of the root position, shared by the steps that build the root tables.
#pragma once
#include <cstdint>
#include "eval/base_tables.h"

struct RootCounts {
  const int8_t* board;
  int pawns[2], knights[2], bishops[2], rooks[2], queens[2];
  int pawnsOnFile[2][10];
  int lastBishopDark[2];      // colour of the square of the side's last bishop
  int material[2], nonPawn[2];
  int development[2];         // pieces on b1, g1, c1, f1, e1 (Black: b8, g8, c8, f8, e8)
  int king[2];
  int phaseClass;
  int castling;               // StateFlags castling bits
  int side;                   // side to move
};

// Whether `side` has a piece of `kind` on the square named from White's view (mirrored
// for Black).
inline int RootHas(const RootCounts* rc, int side, int kind, int whiteFrameSquare) {
  return rc->board[SideSquare(side, whiteFrameSquare)] == (kind | side << 3);
}
inline int RootHasAt(const RootCounts* rc, int side, int kind, int square) {
  return rc->board[square] == (kind | side << 3);
}
