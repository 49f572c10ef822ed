#include "search/search.h"
#include "eval/evaluate.h"

int32_t RootDepth, MaxSearchPly, SingularPlyLimit, NullMaterialPlyLimit, NullReductionThreshold;
int32_t RootBalance, RepetitionShift = 1;
int32_t TablebasePieceLimit, TablebaseDepthCut, TablebaseHits;
int32_t NullDepth, SingularDepth, VerifyDepth, MultiCutDepth;

int Search(Position* pos, PlyState* node, int alpha, int beta, int, int, int) {
  return Quiesce(pos, node, alpha, beta, 0);
}

int Quiesce(Position* pos, PlyState* node, int alpha, int beta, int) {
  return Evaluate(pos, node, alpha, beta, 0);
}

void AddHistory(Position* pos, int side, Move move, int32_t amount) {
  const uint32_t index = move & 0x3FFF;
  if (index >= uint32_t(HistorySize)) return;
  int32_t& counter = pos->history[side][index];
  const int64_t sum = int64_t(counter) + amount;
  counter = int32_t(sum > HistoryCap ? HistoryCap : sum < -HistoryCap ? -HistoryCap : sum);
}
