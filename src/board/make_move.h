// Incremental make and unmake with attack tables, keys and the next ply state.
#pragma once
#include <cstdint>
#include "board/position.h"

PlyState* MakeMove(Position* pos, PlyState* ps);   // the move is ps->move; null when illegal
void UnmakeMove(Position* pos, PlyState* ps);
void ComputeKeys(const int8_t board[65], uint32_t* key1, uint32_t* key2);
void ComputePawnKeys(const int8_t board[65], uint32_t* key1, uint32_t* key2);
void BuildPieceLists(Position* pos);
void BuildAttackTables(Position* pos);
