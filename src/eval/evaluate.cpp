#include "eval/evaluate.h"

int lazyEval(const PlyState* ps) {
  return ps->material[ps->side] - ps->material[ps->side ^ 1] + ps->pstSum;
}

int Evaluate(Position*, PlyState* ps, int, int, int) { return lazyEval(ps); }
