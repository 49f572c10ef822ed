#include "eval/eval_report.h"
#include <memory>
#include "board/game.h"
#include "board/position.h"
#include "eval/eval_cache.h"
#include "eval/evaluate.h"
#include "eval/prepare_root.h"
#include "eval/running_bounds.h"

int BreakDownGameRoot(const int8_t board[65], const RootState& state, EvalBreakdown* bd, uint32_t* phaseCode) {
  if (!GameHistory && !AllocateGameHistory()) return 0;
  std::unique_ptr<Position> pos(new (std::nothrow) Position());
  if (!pos) return 0;
  SetGameRoot(board, state);
  LoadRootIntoPosition(pos.get());
  ClearEvalTables();
  PlyState* root = PrepareRoot(pos.get(), &GameHistory[GameLength]);
  ResetRunningBounds();
  SetDrawContempt(root->side);
  EvaluateWithBreakdown(pos.get(), root, bd);
  *phaseCode = uint32_t(PhaseCode);
  return 1;
}
