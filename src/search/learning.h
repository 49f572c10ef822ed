// Position learning: the learning file and the learned-entry list.
#pragma once

void ClearLearnedList();
void TrimLearningFile();
void DeleteLearningFile();
