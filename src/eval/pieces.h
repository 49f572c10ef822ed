// The piece terms: knights, bishops, rooks and queens with the per-node pawn terms.
#pragma once
#include "eval/eval_node.h"

void EvaluatePieces(EvalNode* n);           // piece loops with the per-node pawn terms
int PieceTerm(EvalNode* n, int us, int s);  // one knight, bishop, rook or queen, us's view
void EvaluatePieceCorrections(EvalNode* n); // rook and blocker corrections after the loops
void EvaluateBishopColours(EvalNode* n);
