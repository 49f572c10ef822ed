// EndgameLookup: from the ten piece counts of a position to its registered endgame record.
#pragma once
#include <cstdint>

// Counts: White pawns, knights, bishops, rooks, queens, then the same for Black. The result
// is the record number when the record's stronger side is White, its negation when the
// colours are swapped, 0 when no file of that endgame is registered (or a count is outside
// 0..4).
int EndgameLookup(const int32_t counts[10]);

// Enters a record under its own counts and, unless it is symmetric, under the swapped
// counts with the negated number; 1 on success.
int EnterEndgameLookup(int record);
void ClearEndgameLookup();

// The counts of an endgame name such as "kqkr" (White's pieces after the first 'k', Black's
// after the second); 1 when the name is well formed.
int CountsOfEndgameName(const char* name, int32_t counts[10]);
