// The quiescence search: captures, promotions, evasions and some checks below the horizon.
#pragma once
#include "board/position.h"

int Quiesce(Position* pos, PlyState* node, int alpha, int beta, int qdepth);
