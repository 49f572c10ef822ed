#include "search/learning.h"

#include <cstring>

#include "board/option_values.h"
#include "search/learning_file.h"
#include "search/settings_signature.h"

// What the current search has shown so far: the learning-relevant mark, the record's
// result fields from the last principal-variation report, and the iteration scores.
struct LearningSearchState {
  int relevant;
  Move best;
  int score;
  int depth;
  uint8_t bound;
  int iterations;        // deepest iteration ended
  int allWinning;        // every iteration so far scored at least 400
  int allLosing;         // every iteration so far scored at most -400
  int scores[MaxPly + 1];
};

static LearningSearchState Learning;
uint32_t LearningSearches;

constexpr int SurpriseMargin = 35;
constexpr int SwingMargin = 50;
constexpr int LongIterationMs = 3000;
constexpr int SettledScore = 400;

void BeginLearningSearch(int rootLoaded) {
  LearningSearches++;
  memset(&Learning, 0, sizeof Learning);
  Learning.relevant = rootLoaded != 0;
  Learning.allWinning = Learning.allLosing = 1;
}

void NoteLearningLine(Move best, int score, int depth, int boundKind) {
  if (depth < 1 || depth > MaxPly) return;
  Learning.best = best;
  Learning.score = score;
  Learning.depth = depth;
  Learning.bound = boundKind == 1 ? LearnedUpperBound : boundKind == 2 ? LearnedLowerBound : 0;
}

void NoteFirstMoveResult(int depth, int score, int lower, int upper) {
  if (depth >= 3 && (score > upper + SurpriseMargin || score < lower - SurpriseMargin))
    Learning.relevant = 1;
}

void NoteRepeatedFail(int depth) {
  if (depth >= 3) Learning.relevant = 1;
}

void NoteNewBestMove(int depth) {
  if (depth >= 3) Learning.relevant = 1;
}

void NoteIterationEnd(int depth, int score, int elapsedMs) {
  if (depth < 1 || depth > MaxPly) return;
  if (elapsedMs > LongIterationMs) Learning.relevant = 1;
  if (depth >= 5 && depth - 2 <= Learning.iterations) {
    int swing = score - Learning.scores[depth - 2];
    if (swing > SwingMargin || swing < -SwingMargin) Learning.relevant = 1;
  }
  Learning.scores[depth] = score;
  Learning.iterations = depth;
  if (score < SettledScore) Learning.allWinning = 0;
  if (score > -SettledScore) Learning.allLosing = 0;
  // A search that was clearly won or clearly lost all along teaches nothing.
  if ((score > SettledScore && Learning.allWinning) || (score < -SettledScore && Learning.allLosing))
    Learning.relevant = 0;
}

static int CountPieces(const int8_t board[65]) {
  int count = 0;
  for (int sq = 1; sq <= 64; sq++) count += board[sq] != 0;
  return count;
}

void StoreLearningTo(const char* path, Position* pos, PlyState* root, Move reply, int clockAllows,
                     int bestRepeats) {
  if (!PositionLearning || !clockAllows || !Learning.relevant || !Learning.best || bestRepeats) return;
  LearningRecord record;
  memset(&record, 0, sizeof record);
  record.lock = root->key2;
  record.slotKey = root->key1;
  record.bestMove = Learning.best;
  int score = Learning.score + DrawScore;
  record.score = int16_t(score > 32767 ? 32767 : score < -32767 ? -32767 : score);
  record.depth = int8_t(Learning.depth);
  record.bound = Learning.bound;
  record.signature = SettingsSignature();
  record.side = uint8_t(root->side);
  record.pieceCount = uint8_t(CountPieces(pos->board));
  record.reply = reply;
  memcpy(record.board, pos->board, sizeof record.board);
  record.board[0] = 0;
  AppendLearningRecord(path, &record);
  // One record per search: a second call after the same search writes nothing.
  Learning.best = 0;
}
