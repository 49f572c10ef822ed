#include "board/check.h"

#if KESTRANE_CHECKS
#include <cstdio>
#include <cstdlib>

void InvariantFailed(const char* condition, const char* file, int line) {
  fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
  fflush(stderr);
  abort();
}
#endif
