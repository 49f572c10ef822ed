#include "search/learning.h"

void ClearLearnedList() {}
void TrimLearningFile() {}
void DeleteLearningFile() {}
