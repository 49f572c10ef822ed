// Complete evasions for a side in check: captures of a single checker, king moves and
// interpositions against a single sliding checker.
#pragma once
#include "board/movegen_write.h"

void GenerateEvasions(MoveWriter* w, PlyState* ps);
