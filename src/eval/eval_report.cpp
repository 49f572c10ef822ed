#include "eval/eval_report.h"
#include <memory>
#include "board/fen.h"
#include "board/game.h"
#include "board/position.h"
#include "eval/eval_cache.h"
#include "eval/evaluate.h"
#include "eval/prepare_root.h"
#include "eval/running_bounds.h"

int EvalReport(const char* fen, FILE* out, FILE* err) {
  int8_t board[65] = {};
  RootState state{};
  if (fen) {
    if (!ParseFen(fen, board, &state) || !IsPlayablePosition(board, &state)) {
      fprintf(err, "eval: not a playable position: %.200s\n", fen);
      return 2;
    }
  } else {
    SetStartPosition(board, &state);
  }
  if (!GameHistory && !AllocateGameHistory()) {
    fprintf(err, "eval: out of memory\n");
    return 2;
  }
  std::unique_ptr<Position> pos(new (std::nothrow) Position());
  if (!pos) {
    fprintf(err, "eval: out of memory\n");
    return 2;
  }
  SetGameRoot(board, state);
  LoadRootIntoPosition(pos.get());
  ClearEvalTables();
  PlyState* root = PrepareRoot(pos.get(), &GameHistory[GameLength]);
  ResetRunningBounds();
  SetDrawContempt(root->side);
  EvalBreakdown bd;
  EvaluateWithBreakdown(pos.get(), root, &bd);
  for (int g = 0; g < EvalGroupCount; g++) fprintf(out, "%s: %d\n", EvalGroupName[g], bd.group[g]);
  fprintf(out, "Material and piece squares: %d\n", bd.lazy);
  fprintf(out, "Phase class: 0x%X\n", unsigned(PhaseCode));
  if (bd.drawScale) fprintf(out, "Draw scale: %d%%\n", bd.drawScale);
  if (bd.drawFlag) fprintf(out, "Dead draw\n");
  fprintf(out, "Total: %d\n", bd.total);
  return 0;
}
