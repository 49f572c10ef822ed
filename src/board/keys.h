// Zobrist key tables and the board-only position and pawn keys.
#pragma once
#include <cstdint>

extern uint32_t ZobristKey1[16][65];  // [piece code][square]; square 0 entries are 0
extern uint32_t ZobristKey2[16][65];

void BuildZobristKeys();  // fixed seed: the same values in every build and every run
void ComputeKeys(const int8_t board[65], uint32_t* key1, uint32_t* key2);
// Pawns only; key 2 starts at 1 so a pawn key is never (0, 0).
void ComputePawnKeys(const int8_t board[65], uint32_t* key1, uint32_t* key2);
