// The root steps that bend the pawn tables towards the plans of the pawn structure.
#pragma once
#include <cstdint>
#include "eval/root_counts.h"

void ApplyPawnStructureSteps(const RootCounts* rc);
// White's pawns' table values minus Black's on this board.
int PawnTableBalance(const int8_t* board);
