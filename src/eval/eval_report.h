// The evaluation of one position told term group by term group (the `eval` command).
#pragma once
#include <cstdio>

// Sets up `fen` (null: the start position) as the game, prepares the root as a search
// would with the engine playing the side to move, and prints the term groups from White's
// view and "Total: N" (side to move's view) as the last line. A FEN that does not parse or
// is not playable prints one line on `err` and returns 2; otherwise 0.
int EvalReport(const char* fen, FILE* out, FILE* err);
