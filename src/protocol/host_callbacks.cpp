#include "protocol/host_callbacks.h"

HostCallbacks Host;

void HostReportNodes(uint64_t nodes, int32_t tbHits) {
  if (Host.reportNodes) Host.reportNodes(uint32_t(nodes), uint32_t(nodes >> 32), tbHits);
}

void HostReportDepth(int32_t depth, int32_t selDepth) {
  if (Host.reportDepth) Host.reportDepth(depth, selDepth);
}

void HostReportCurrentMove(const char* move, int32_t number, int32_t count) {
  if (Host.reportCurrentMove) Host.reportCurrentMove(move, number, count);
}

void HostReportLine(const char* line, int32_t score) {
  if (Host.reportLine) Host.reportLine(line, score);
}
