// Reading a learning file into the transposition table before a search.
#pragma once
#include "board/position.h"

// With the Position Learning option on, writes the records of the file that match the
// settings and resemble the root into the transposition table; 1 when the root itself was
// found with a move and an expected reply, which then also goes into the table for the
// position after the move.
int LoadLearningFrom(const char* path, Position* pos, PlyState* root);
// The best move of the root's record that the last load found (the last such record in
// the file), 0 when none: the root search orders it first in its first iteration.
Move LearnedRootMove();
