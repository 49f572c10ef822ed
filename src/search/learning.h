// Position learning: the root search reports its events here, which decide whether the
// search that just ended is worth a record in the learning file, and the record's writer.
#pragma once
#include "board/position.h"

// Appends the record of the search that just ended when it was learning-relevant and the
// Position Learning option is on. clockAllows: the target time exceeded 3000 ms, or the
// search ran without a clock; bestRepeats: the position after the best move is a
// repetition. reply is the expected reply (0 for none).
void StoreLearningTo(const char* path, Position* pos, PlyState* root, Move reply, int clockAllows,
                     int bestRepeats);

// Learning-relevant searches: the root search reports its events, the mark decides
// whether StoreLearning writes a record.
void BeginLearningSearch(int rootLoaded);              // rootLoaded: LoadLearning returned 1
void NoteLearningLine(Move best, int score, int depth, int boundKind);  // every PV report
void NoteFirstMoveResult(int depth, int score, int lower, int upper);   // first root move
void NoteRepeatedFail(int depth);   // the first move failed high or low a second time
void NoteNewBestMove(int depth);    // a later root move became best
void NoteIterationEnd(int depth, int score, int elapsedMs);
extern uint32_t LearningSearches;  // searches that began with BeginLearningSearch
