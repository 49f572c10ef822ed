// Position learning: what surprising searches found, kept in the learning file and fed
// back into the transposition table, and the learned-entry list of infinite analysis.
#pragma once
#include "board/position.h"
#include "search/learned_list.h"

constexpr int LearningPathSize = 256;
// The engine's learning file: the engine directory and "kestrane.pl2", set at start-up.
extern char LearningFilePath[LearningPathSize];

void TrimLearningFile();    // at engine start: keeps the last records of an overgrown file
void DeleteLearningFile();  // "Clear PosLearning" (the caller also empties the learned list)
int LoadLearning(Position* pos, PlyState* root);
void StoreLearning(Position* pos, PlyState* root, Move reply, int clockAllows, int bestRepeats);

// The same on a given file.
// With the Position Learning option on, writes the records of the file that match the
// settings and resemble the root into the transposition table; 1 when the root itself was
// found with a move and an expected reply, which then also goes into the table for the
// position after the move.
int LoadLearningFrom(const char* path, Position* pos, PlyState* root);
// The best move of the root's record that the last load found (the last such record in
// the file), 0 when none: the root search orders it first in its first iteration.
Move LearnedRootMove();
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
