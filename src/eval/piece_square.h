// Piece-square tables rebuilt before every search; make and unmake keep their sum.
#pragma once
#include "board/piece_square_table.h"
#include "eval/root_counts.h"

// Adds v to the table of `side`'s piece of `kind` on the square named from White's view.
void AddSideSquare(int side, int kind, int whiteFrameSquare, int v);
// The first step of the root's table preparation: the tables from the base tables and the
// root's piece counts.
void BuildPieceSquareTables(const RootCounts* rc);
// The last step: the material weights of the options added to every square.
void ApplyOptionScaling(const RootCounts* rc);
