#include "eval/eval_cache.h"

int AllocateEvalCache(int) { return 1; }
void FreeEvalCache() {}
int EvalCacheKilobytes() { return 0; }
void ClearEvalTables() {}
int EvalCacheProbe(int, uint32_t, uint32_t, uint32_t, int, int*, int*) { return 0; }
void EvalCacheStore(int, uint32_t, uint32_t, uint32_t, int, int, int) {}
