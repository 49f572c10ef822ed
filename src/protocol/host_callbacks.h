// The host's callback table, copied at KestraneInit, and the calls into it.
#pragma once
#include <cstdint>
#include "kestrane.h"

typedef KestraneReportNodesFn ReportNodesFn;
typedef KestraneReportDepthFn ReportDepthFn;
typedef KestraneReportCurrentMoveFn ReportCurrentMoveFn;
typedef KestraneReportLineFn ReportLineFn;

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

// Calls of the host's callbacks; a slot the host left null is skipped.
void HostReportNodes(uint64_t nodes, int32_t tbHits);
void HostReportDepth(int32_t depth, int32_t selDepth);
void HostReportCurrentMove(const char* move, int32_t number, int32_t count);
void HostReportLine(const char* line, int32_t score);
