// Bounds of the positional part of the evaluation, kept by the evaluator and read by the
// search for its lazy exits and pruning, and the contempt of the lazy evaluation.
#pragma once
#include <cstdint>

extern int32_t PositionalMax[2];   // by side to move, side-to-move view
extern int32_t PositionalMin[2];
extern int32_t DrawContempt[2];    // subtracted by lazyEval for the side to move
extern int32_t CentreMax;          // centre-and-mobility term, White's view
extern int32_t CentreMin;

// Before a search: maxima -15000, minima 15000.
void ResetRunningBounds();
// After the root was evaluated: the seeded bounds widened by 100 (30 for the centre term).
void WidenRunningBounds();
// After the root moves were evaluated: the positional bounds reach at least to 0.
void SpanZeroInRunningBounds();
// DrawContempt from "Draw Score" for the engine's side (a quarter in endgame-like classes).
void SetDrawContempt(int engineSide);
