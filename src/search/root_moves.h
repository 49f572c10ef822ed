// The root move list: building, restriction to "searchmoves", ordering, and searching one
// root move.
#pragma once
#include <cstdint>
#include "board/position.h"
#include "search/root_search.h"

// Fills record->moves with the legal moves of the root, each keyed by its capture score minus
// the evaluation after it; returns the count.
int BuildRootMoves(Position* pos, PlyState* root, RootRecord* record);
// Keeps only the listed moves (zero-terminated), in the order given, up to the first one that
// is not a root move; an empty result leaves the list unchanged.
void RestrictRootMoves(RootRecord* record, const Move* listed);
// `first` to the front, the others by descending key; equal keys keep their order.
void OrderRootMoves(RootRecord* record, Move first);
// Moves `move` to position `index`, shifting the moves between down by one.
void BringRootMove(RootRecord* record, Move move, int index);
int FindRootMove(const RootRecord* record, Move move);

// -Search of the position after the root move, with the window (alpha, beta) of the root.
int SearchRootMove(Position* pos, PlyState* root, Move move, int alpha, int beta, int depth);
// 1 when the move is legal at the root and the position after it has occurred before.
int RootMoveRepeats(Position* pos, PlyState* root, Move move);
