// The static evaluation and its incremental material part.
#pragma once
#include <cstdint>
#include "board/position.h"

int Evaluate(Position* pos, PlyState* ps, int alpha, int beta, int statsMode);
int lazyEval(const PlyState* ps);  // material and piece-square sum from the side to move's view
