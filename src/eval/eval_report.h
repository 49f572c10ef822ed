// The evaluation of one game root told term group by term group (what the eval tool prints).
#pragma once
#include <cstdint>
#include "board/fen.h"
#include "eval/eval_breakdown.h"

// Sets up the position as the game, prepares the root as a search would with the engine
// playing the side to move and evaluates it into *bd; *phaseCode receives the root's phase
// class. 0 when memory for the game or the search position is short, else 1.
int BreakDownGameRoot(const int8_t board[65], const RootState& state, EvalBreakdown* bd, uint32_t* phaseCode);
