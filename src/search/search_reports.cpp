#include "search/search_reports.h"

#include "board/position.h"
#include "search/principal_variation.h"

SearchReports Reports;
PlyState* ReportRootNode;

void ReportRootMove(const Position* pos, int depth, int number, int count, Move move) {
  if (Reports.rootMove) Reports.rootMove(pos, depth, number, count, move);
}

void ReportLine(Position* pos, Move move, int rank, int depth, int moveNumber, int elapsed, int score, int bound) {
  if (pos->silent || moveNumber == IterationDoneTag) return;
  char variation[VariationTextSize];
  SaveReportedVariation(pos, ReportRootNode, move, score, variation, VariationTextSize);
  if (Reports.line) Reports.line(pos, rank, depth, elapsed, score, bound, variation);
}

void ReportSearchEnd(Position* pos, uint32_t startTick, int cpuLoad) {
  if (Reports.searchEnd) Reports.searchEnd(pos, startTick, cpuLoad);
}

void ReportPeriodicNodes(Position* pos) {
  if (Reports.periodicNodes) Reports.periodicNodes(pos);
}

void ReportRootTablebase(const char* text) {
  if (Reports.rootTablebase) Reports.rootTablebase(text);
}
