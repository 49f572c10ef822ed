// The per-node terms of one pawn: passed pawns against the pieces and kings, weak and
// hanging pawns.
#pragma once
#include "eval/eval_node.h"

// The passed pawn's terms, to the passed-pawn accumulator.
void PassedPawnTerms(EvalNode* n, int us, int s);

// Weak and hanging pawns inline, as most pawns need nothing else; passed pawns out of line.
inline void PawnTerms(EvalNode* n, int us, int s) {
  const PawnEntry* e = n->pe;
  int them = us ^ 1, fwd = Forward(us);
  uint64_t bit = SquareBit(s);
  int enemyAttacks = AttackCount(n, them, s), v = 0;
  if (e->weak[us] & bit) {
    if (enemyAttacks) v += 4 * (AttackCount(n, us, s) - 3 * enemyAttacks);
    v -= 3 * AttackCount(n, them, s + fwd);
  }
  if (enemyAttacks && !AttackCount(n, us, s)) v -= 7;
  n->pawnAcc[GroupPawnStructure] += Sign(us) * v;
  if (e->passed[us] & bit) PassedPawnTerms(n, us, s);
}
