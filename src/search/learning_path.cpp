// Learning on the engine's own file.
#include <cstdio>

#include "api/engine_state.h"
#include "search/learning.h"
#include "search/learning_file.h"

void TrimLearningFile() { TrimLearningRecords(LearningFilePath, LearningTrimThreshold, LearningTrimKeep); }

void DeleteLearningFile() { remove(LearningFilePath); }

int LoadLearning(Position* pos, PlyState* root) { return LoadLearningFrom(LearningFilePath, pos, root); }

void StoreLearning(Position* pos, PlyState* root, Move reply, int clockAllows, int bestRepeats) {
  StoreLearningTo(LearningFilePath, pos, root, reply, clockAllows, bestRepeats);
}
