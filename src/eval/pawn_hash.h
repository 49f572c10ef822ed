// The pawn-structure table of the search context, its lookups and the entry checker.
#pragma once
#include <cstdint>
#include "board/position.h"

struct PawnEntry;

constexpr int PawnHashSize = 16384;

// The entry for these pawn keys when the table holds it for the current root, else null.
const PawnEntry* FindPawnEntry(const Position* pos, uint32_t pawnKey1, uint32_t pawnKey2);
// 1 when `side` has a passed pawn on its sixth or seventh rank.
int PawnEntryHasAdvancedPasser(const PawnEntry* entry, int side);
// The entry of the node's pawn configuration, rebuilt in place on a mismatch.
const PawnEntry* LookupPawnEntry(Position* pos, const PlyState* ps);
// The entry's per-file counts, rearmost ranks, colour counts, pawn sets and attack sets
// agree with the pawns of `board` (for tests and debug checks).
int PawnEntryIsOk(const PawnEntry* entry, const int8_t board[65]);
void ClearPawnHash();
// Starts loading the entry for this pawn key 1.
void PrefetchPawnEntry(uint32_t pawnKey1);
