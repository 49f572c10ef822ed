#include "protocol/report.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "board/move_text.h"
#include "board/option_values.h"
#include "board/position.h"
#include "platform/platform.h"
#include "protocol/host_callbacks.h"
#include "protocol/interpreter.h"
#include "protocol/words.h"
#include "search/search.h"
#include "search/time_control.h"
#include "search/trans_table.h"

int32_t ReportedLineRank = 1;
int32_t LineSentFlag;

// Kept across searches, so the first root-move report of a later search at the same depth
// sends no depth.
static int LastDepthSent = -1, LastSelDepthSent = -1;
static uint32_t LastPeriodicReport;

// Appends to a bounded line; text that does not fit is cut.
struct LineBuffer {
  char text[ReportLineSize];
  int length;
};

static void Append(LineBuffer* line, const char* format, ...) __attribute__((format(printf, 2, 3)));
static void Append(LineBuffer* line, const char* format, ...) {
  int room = ReportLineSize - line->length;
  if (room <= 1) return;
  va_list args;
  va_start(args, format);
  int n = vsnprintf(line->text + line->length, size_t(room), format, args);
  va_end(args);
  if (n > 0) line->length += n < room ? n : room - 1;
}

int SelectiveDepth(const Position* pos, int depth) {
  int plies = 0;
  while (plies < 99 && pos->plies[plies + 1].move != 0) plies++;
  return depth > plies ? depth : plies;
}

int HostScore(int score) {
  if (score > MateThreshold) return score + 2767;
  if (score < -MateThreshold) return score - 2767;
  return score;
}

int FormatScore(char* buffer, int size, int score) {
  int n;
  if (score > MateThreshold) {
    int moves = (30001 - score) / 2;
    n = snprintf(buffer, size_t(size), "mate %d %s", moves, moves >= 145 ? "lowerbound " : "");
  } else if (score < -MateThreshold) {
    int moves = (score + 30000) / 2;
    n = snprintf(buffer, size_t(size), "mate -%d %s", moves, moves >= 145 ? "upperbound " : "");
  } else {
    n = snprintf(buffer, size_t(size), "cp %d ", score);
  }
  return n < size ? n : size - 1;
}

int32_t NodesPerSecond(uint64_t nodes, int32_t ms) {
  if (ms <= 0) return 0;
  float rate = float(nodes) * 1000.0f / float(ms);
  return rate >= 2147483647.0f ? INT32_MAX : int32_t(rate);
}

static int32_t SinceStart(uint32_t startTick) {
  uint32_t t = TickCount() - startTick;
  return t > uint32_t(INT32_MAX) ? INT32_MAX : int32_t(t);
}

static void SendRootMove(const Position* pos, int depth, int number, int count, Move move) {
  if (depth < 8 || pos->silent) return;
  char text[16] = "";
  MoveToText(text, move);
  HostReportCurrentMove(text[0] == ' ' ? text + 1 : text, number, count);
  int selDepth = SelectiveDepth(pos, depth);
  if (depth != LastDepthSent && selDepth != LastSelDepthSent) {
    LastDepthSent = depth;
    LastSelDepthSent = selDepth;
    HostReportDepth(depth, selDepth);
  }
}

static void SendLine(Position* pos, int rank, int depth, int elapsed, int score, int bound,
                     const char* variation) {
  LineBuffer line{};
  if (MultiPV == 1) Append(&line, "info ");
  int selDepth = SelectiveDepth(pos, depth);
  Append(&line, "depth %d seldepth %d time %d score ", depth, selDepth, elapsed);
  HostReportDepth(depth, selDepth);
  char scoreText[48];
  FormatScore(scoreText, sizeof scoreText, score);
  Append(&line, "%s", scoreText);
  if (bound == BoundUpper) Append(&line, "upperbound ");
  if (bound == BoundLower) Append(&line, "lowerbound ");
  if (pos->nodeCount > 0) {
    uint64_t nodes = pos->nodeCount;
    Append(&line, "nodes %" PRIu64 " ", nodes);
    HostReportNodes(nodes, TablebaseHits);
    if (elapsed > 0) Append(&line, "nps %d ", int(NodesPerSecond(nodes, elapsed)));
  }
  Append(&line, "hashfull %d ", HashfullPermill());
  Append(&line, "pv%s", variation);
  ReportedLineRank = rank;
  HostReportLine(line.text, HostScore(score));
  LineSentFlag = 1;
}

static void SendSearchEnd(Position* pos, uint32_t startTick, int cpuLoad) {
  LineBuffer line{};
  Append(&line, "info ");
  uint64_t nodes = pos->nodeCount;
  int32_t ms = SinceStart(startTick);
  if (ms > 0) {
    Append(&line, "nps %d ", int(NodesPerSecond(nodes, ms)));
    if (cpuLoad > 0 && cpuLoad <= 1000) Append(&line, "cpuload %d ", cpuLoad);
  }
  if (nodes > 0) {
    HostReportNodes(nodes, TablebaseHits);
    Append(&line, "nodes %" PRIu64 " ", nodes);
  }
  Append(&line, "hashfull %d ", HashfullPermill());
  if (TablebaseHits > 0) Append(&line, "tbhits %d ", int(TablebaseHits));
  CopyBounded(OutputLine, OutputLineSize, line.text);
  AppendBounded(OutputLine, OutputLineSize, "\n");
  SendOutputLine();
  // With "debug on": the share of the search's time that went into tablebase probes.
  if (DebugSwitch && TablebaseHits > 0)
    SendInfoString("tablebase probes: %d hits, %d ms of %d ms", int(TablebaseHits), int(TablebaseTime), int(ms));
}

static void SendPeriodicNodes(Position* pos) {
  uint32_t now = TickCount();
  if (ElapsedMs() < 2000 || now - LastPeriodicReport <= 1500) return;
  LastPeriodicReport = now;
  HostReportNodes(pos->nodeCount, TablebaseHits);
}

// Only the kestrane program prints it: the library sets no output sink.
static void SendRootTablebase(const char* text) { SendInfoString("tablebase: %s", text); }

const SearchReports InterpreterReports = {SendRootMove, SendLine, SendSearchEnd, SendPeriodicNodes,
                                          SendRootTablebase};
