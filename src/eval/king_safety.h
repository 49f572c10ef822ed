// King safety and the attack patterns against the kings.
#pragma once
#include "eval/eval_node.h"

void EvaluateKingAttackPatterns(EvalNode* n);
void EvaluateKingSafety(EvalNode* n);
int KingSafety(EvalNode* n, int side);  // that king's safety, positive = safe
