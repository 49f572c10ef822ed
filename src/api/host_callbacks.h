// The host's callback table, copied at KestraneInit.
#pragma once
#include <cstdint>

#if defined(_WIN32)
#define KESTRANE_CDECL __cdecl
#else
#define KESTRANE_CDECL
#endif

typedef void(KESTRANE_CDECL* ReportNodesFn)(uint32_t nodesLow, uint32_t nodesHigh, int32_t tbHits);
typedef void(KESTRANE_CDECL* ReportDepthFn)(int32_t depth, int32_t selDepth);
typedef void(KESTRANE_CDECL* ReportCurrentMoveFn)(const char* move, int32_t number, int32_t count);
typedef void(KESTRANE_CDECL* ReportLineFn)(const char* line, int32_t score);

struct HostCallbacks {
  void* unused0;
  ReportNodesFn reportNodes;
  ReportDepthFn reportDepth;
  ReportCurrentMoveFn reportCurrentMove;
  ReportLineFn reportLine;
  void* unused5;
  void* unused6;
};

extern HostCallbacks Host;
