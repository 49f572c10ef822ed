#include "cli/uci_output.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "protocol/go_command.h"
#include "protocol/interpreter.h"
#include "protocol/report.h"
#include "search/trans_table.h"
#include "search/time_control.h"

static std::mutex OutputLock;
static std::string BestMoveText;

// Progress lines (depth, current move, node counts) only once a search has run a while.
constexpr int32_t QuietPeriodMs = 1000;
static int32_t LastDepthPrinted = -1;
static int32_t LastNodesPrintedAt = -1;
// The tablebase hits of the search's last node report; it comes just before each line.
static int32_t LastTbHits = 0;

static void PrintUnlocked(const std::string& text) {
  fwrite(text.data(), 1, text.size(), stdout);
  fputc('\n', stdout);
  fflush(stdout);
}

void PrintLine(const std::string& text) {
  std::lock_guard<std::mutex> hold(OutputLock);
  PrintUnlocked(text);
}

void PrintInfoString(const std::string& text) { PrintLine("info string " + text); }

static void KESTRANE_CDECL OnNodes(uint32_t low, uint32_t high, int32_t tbHits) {
  LastTbHits = tbHits;
  int32_t t = ElapsedMs();
  if (t < QuietPeriodMs || (LastNodesPrintedAt >= 0 && t - LastNodesPrintedAt < QuietPeriodMs)) return;
  LastNodesPrintedAt = t;
  uint64_t nodes = uint64_t(high) << 32 | low;
  char line[160];
  int n = snprintf(line, sizeof line, "info time %d nodes %" PRIu64 " nps %" PRIu64 " hashfull %d", int(t), nodes,
                   nodes * 1000 / uint64_t(t), HashfullPermill());
  if (tbHits > 0 && n > 0 && n < int(sizeof line)) snprintf(line + n, sizeof line - n, " tbhits %d", int(tbHits));
  PrintLine(line);
}

static void KESTRANE_CDECL OnDepth(int32_t depth, int32_t selDepth) {
  if (ElapsedMs() < QuietPeriodMs || depth == LastDepthPrinted) return;
  LastDepthPrinted = depth;
  PrintLine("info depth " + std::to_string(depth) + " seldepth " + std::to_string(selDepth));
}

static void KESTRANE_CDECL OnCurrentMove(const char* move, int32_t number, int32_t) {
  if (ElapsedMs() < QuietPeriodMs) return;
  PrintLine(std::string("info currmove ") + move + " currmovenumber " + std::to_string(number));
}

// "go mate N": an exact score of mate in N moves or fewer proves what was asked; the search
// ends there (the stop comes from inside the search's own report, as a host may send it).
static void StopAtProvenMate(const char* line) {
  int32_t goal = LastGoLimits.mate;
  const char* score = strstr(line, "score mate ");
  if (goal <= 0 || !score) return;
  char* rest;
  long moves = strtol(score + 11, &rest, 10);
  if (moves <= 0 || moves > goal || strncmp(rest, " lowerbound", 11) == 0 || strncmp(rest, " upperbound", 11) == 0)
    return;
  char stop[] = "stop";
  ExecuteCommand(stop);
}

// A line starts with "info " when one line is searched and with "depth" when several are;
// anything else is the plain best-move text sent after a search that reported nothing.
// The hits go before the variation, where GUIs look for them.
static std::string WithTbHits(const char* line) {
  std::string text(line);
  size_t pv = text.find(" pv");
  if (LastTbHits > 0 && pv != std::string::npos) text.insert(pv, " tbhits " + std::to_string(LastTbHits));
  return text;
}

static void KESTRANE_CDECL OnLine(const char* line, int32_t) {
  if (strncmp(line, "info ", 5) == 0) {
    PrintLine(WithTbHits(line));
  } else if (strncmp(line, "depth ", 6) == 0) {
    PrintLine("info multipv " + std::to_string(ReportedLineRank) + " " + WithTbHits(line));
  } else {
    return;
  }
  const char* depth = strstr(line, "depth ");
  if (depth) LastDepthPrinted = atoi(depth + 6);
  LastNodesPrintedAt = ElapsedMs();
  StopAtProvenMate(line);
}

const KestraneCallbacks* InfoCallbacks() {
  static const KestraneCallbacks table = {nullptr, OnNodes, OnDepth, OnCurrentMove, OnLine, nullptr, nullptr};
  return &table;
}

void InfoOutputSink(const char* text) {
  std::string line(text);
  while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
  if (line.compare(0, 8, "bestmove") == 0) {
    std::lock_guard<std::mutex> hold(OutputLock);
    BestMoveText = line;
    LastDepthPrinted = LastNodesPrintedAt = -1;
    LastTbHits = 0;
    return;
  }
  if (!line.empty()) PrintLine(line);
}

std::string TakeBestMoveText() {
  std::lock_guard<std::mutex> hold(OutputLock);
  std::string text;
  text.swap(BestMoveText);
  return text;
}

