#include "search/root_tablebase.h"

#include <cstdio>
#include <cstdlib>

#include "board/make_move.h"
#include "board/option_values.h"
#include "board/position.h"
#include "eval/prepare_root.h"
#include "kestrane.h"
#include "search/root_moves.h"
#include "search/root_search.h"
#include "search/search.h"
#include "search/search_reports.h"
#include "search/time_control.h"
#include "search/trans_table.h"

constexpr int RootPieceLimitForTables = 12;
constexpr int32_t DrawnRootTargetMs = 3000;
constexpr int FirstCheckedDepth = 4;
constexpr int32_t ShareCheckAfterMs = 200;
constexpr int32_t MaxIterationDepthCut = 3;

int RootTablebasePieceLimit(const PlyState* root) {
  if (!TablebasesEnabled) return 0;
  if (!(PhaseCode & 0x64) && root->menCount > RootPieceLimitForTables) return 0;
  return TBMaxPiece();
}

static void ReportResult(int score) {
  char text[32];
  if (score == NoTablebaseScore) snprintf(text, sizeof text, "nicht in Datenbank");
  else if (score > 0) snprintf(text, sizeof text, "+M%d", (30001 - score) / 2);
  else if (score < 0) snprintf(text, sizeof text, "-M%d", (score + 30000) / 2);
  else snprintf(text, sizeof text, "Remis");
  ReportRootTablebase(text);
}

// The root moves after which the opponent has no tablebase win, in root-list order and
// zero-terminated; returns their count.
static int DrawingMoves(Position* pos, PlyState* root, Move* kept) {
  int n = 0;
  for (int i = 0; i < RootInfo.count; ++i) {
    root->move = RootInfo.moves[i].move;
    PlyState* child = MakeMove(pos, root);
    if (!child) continue;
    const int score = TimedTablebaseProbe(pos, child);
    UnmakeMove(pos, root);
    if (score != NoTablebaseScore) TablebaseHits++;
    if (score == NoTablebaseScore || score <= 0) kept[n++] = RootInfo.moves[i].move;
  }
  kept[n] = 0;
  return n;
}

void ProbeRootTablebase(Position* pos, PlyState* root) {
  RootInfo.tablebaseScore = NoTablebaseScore;
  if (root->menCount > TablebasePieceLimit) return;
  const int score = TimedTablebaseProbe(pos, root);
  ReportResult(score);
  if (score == NoTablebaseScore) return;
  TablebaseHits++;
  RootInfo.tablebaseScore = score;
  const int side = root->side;
  if (score != 0 || MultiPV > 1 || SearchMovesList[0] || root->material[side] <= root->material[side ^ 1]) return;
  Move kept[MaxRootMoves + 1];
  if (DrawingMoves(pos, root, kept) < 2) return;
  RestrictRootMoves(&RootInfo, kept);
  if (FindRootMove(&RootInfo, RootInfo.bestMove) < 0) RootInfo.bestMove = 0;  // a learned move that loses
  TablebasePieceLimit = 0;
  RootInfo.tablebaseScore = NoTablebaseScore;
  if (InClockMode()) CapTargetTime(DrawnRootTargetMs);
}

bool CheckRootTablebase(int depth) {
  const int known = RootInfo.tablebaseScore;
  if (known != NoTablebaseScore && depth >= FirstCheckedDepth) {
    if (known == 0 || std::abs(RootInfo.score - known) <= 1) return false;
    TablebasePieceLimit = 0;
    RootInfo.tablebaseScore = NoTablebaseScore;
    ClearHashTables();
    RootInfo.score = 0;
  }
  const int32_t elapsed = ElapsedMs();
  if (elapsed > ShareCheckAfterMs && TablebaseDepthCut < MaxIterationDepthCut &&
      int64_t(TablebaseTime) * 100 > int64_t(TablebaseTimeShare) * elapsed)
    TablebaseDepthCut++;
  return true;
}
