// Learning on the engine's own file.
#include <cstdio>
#include <cstring>

#include "search/learning_path.h"
#include "search/learning.h"
#include "search/learning_load.h"
#include "search/learning_file.h"

static const char LearningFileName[] = "kestrane.pl2";

char LearningFilePath[LearningPathSize] = "kestrane.pl2";

// A directory too long for the path buffer leaves a cut path that may name another file:
// such a path is never read, written, trimmed or deleted.
static int LearningPathIsWhole() {
  size_t length = strnlen(LearningFilePath, sizeof LearningFilePath);
  size_t name = sizeof LearningFileName - 1;
  return length < sizeof LearningFilePath && length >= name &&
         strcmp(LearningFilePath + length - name, LearningFileName) == 0;
}

void TrimLearningFile() {
  if (LearningPathIsWhole()) TrimLearningRecords(LearningFilePath, LearningTrimThreshold, LearningTrimKeep);
}

void DeleteLearningFile() {
  if (LearningPathIsWhole()) remove(LearningFilePath);
}

int LoadLearning(Position* pos, PlyState* root) {
  return LearningPathIsWhole() ? LoadLearningFrom(LearningFilePath, pos, root) : 0;
}

void StoreLearning(Position* pos, PlyState* root, Move reply, int clockAllows, int bestRepeats) {
  if (LearningPathIsWhole()) StoreLearningTo(LearningFilePath, pos, root, reply, clockAllows, bestRepeats);
}
