// The per-node terms of one pawn: passed pawns against the pieces and kings, weak and
// hanging pawns.
#pragma once
#include "eval/eval_node.h"

void PawnTerms(EvalNode* n, int us, int s);
