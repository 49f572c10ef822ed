// Centre control and knight and bishop mobility, with the bishop-mobility cache of the
// search context (pawn structure and bishop square).
#pragma once
#include "eval/eval_node.h"

void ClearMobilityCache();
// Starts loading the cache entry of the bishop on s, read later by the mobility term.
void PrefetchBishopMobility(const EvalNode* n, int us, int s);
int MobilityTerm(EvalNode* n, int us, int s);  // one knight's or bishop's mobility, us's view
int CentreAndMobility(EvalNode* n);            // White's view, "Center Control" applied
