// The endgame terms: special endings, material-table entries and pawn endings.
#pragma once
#include "eval/eval_node.h"

void EvaluateSpecialEndings(EvalNode* n);  // may set drawFlag or a fixed value
void EvaluateEndgamePawnTerms(EvalNode* n);
void EvaluatePawnEnding(EvalNode* n);
void EvaluateMaterialEntry(EvalNode* n);
