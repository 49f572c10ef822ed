// The engine's own learning file: its path, the trim at start-up, and loading and storing
// through it.
#pragma once
#include "board/position.h"

constexpr int LearningPathSize = 256;
// The engine's learning file: the engine directory and "kestrane.pl2", set at start-up.
extern char LearningFilePath[LearningPathSize];

void TrimLearningFile();    // at engine start: keeps the last records of an overgrown file
void DeleteLearningFile();  // "Clear PosLearning" (the caller also empties the learned list)
// LoadLearningFrom and StoreLearningTo on the engine's file.
int LoadLearning(Position* pos, PlyState* root);
void StoreLearning(Position* pos, PlyState* root, Move reply, int clockAllows, int bestRepeats);
