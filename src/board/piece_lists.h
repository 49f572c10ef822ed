// Piece lists, slots, counts and attack tables derived from the board.
#pragma once
#include "board/position.h"

void BuildPieceLists(Position* pos);
void BuildAttackTables(Position* pos);
