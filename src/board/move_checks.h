// Whether a stored move still fits a board, and single-piece attack tests.
#pragma once
#include <cstdint>
#include "board/types.h"

// 1 when the move is a pseudo-legal move of the board: its piece on from, the captured piece
// on to (en passant: the flags' square and the pawn beside it), a reachable to-square on an
// open path, promotion exactly on the last rank, castling with right, rook and empty squares.
// The mover's side is not checked against the side to move.
int IsMovePlausible(Move move, const int8_t board[65], uint32_t flags);
// 0 when a piece of that code on from attacks to on this board, else 1.
int PieceMissesSquare(const int8_t board[65], int code, int from, int to);
