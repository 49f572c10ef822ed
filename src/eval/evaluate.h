// The static evaluation: the lazy material part, the entry the searches call and the full
// positional evaluation with its caches.
#pragma once
#include <cstdint>
#include "board/position.h"
#include "eval/eval_breakdown.h"

int Evaluate(Position* pos, PlyState* ps, int alpha, int beta, int statsMode);
int lazyEval(const PlyState* ps);  // material, contempt and piece-square sum, side to move's view
// The positional value (side to move's view) that Evaluate adds to lazyEval; *drawFlag is
// set for a dead draw. `breakdown` (may be null) receives the term groups and forces a
// complete evaluation without reading the cache.
int EvaluatePosition(Position* pos, PlyState* ps, int lazy, int alpha, int beta, int* drawFlag, int statsMode,
                     EvalBreakdown* breakdown);
// Composes drawishness percentages: p when current is 0, else current * p / 100, at least 1.
int ScalePercent(int current, int p);
// Evaluate with the full window and the term groups filled in.
int EvaluateWithBreakdown(Position* pos, PlyState* ps, EvalBreakdown* breakdown);
// Starts loading the evaluation-cache entry of a position with this side to move, key 1,
// castling rights (in flags) and captured kinds, ahead of its evaluation.
void PrefetchEvaluation(int side, uint32_t key1, uint32_t flags, int capturedKinds);
