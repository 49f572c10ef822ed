// The exported engine functions: each edits a stored line or runs a command.
#include <cstdio>
#include <cstring>

#include "api/engine_state.h"
#include "api/startup.h"
#include "board/move_text.h"
#include "kestrane.h"
#include "platform/platform.h"
#include "protocol/host_callbacks.h"
#include "protocol/interpreter.h"
#include "board/option_values.h"
#include "protocol/report.h"
#include "protocol/words.h"
#include "search/root_search.h"
#include "search/search_flags.h"
#include "search/trans_table.h"

#define EXPORT extern "C" KESTRANE_API

// "go " + "ponder " + GoParameters + " searchmoves " + NextBestList, with room to spare.
constexpr int GoLineSize = 4 + 7 + GoParametersSize + 13 + NextBestListSize + 8;

static int RunCommand(const char* text) {
  char line[32];
  CopyBounded(line, sizeof line, text);
  return ExecuteCommand(line);
}

EXPORT int32_t KESTRANE_CDECL KestraneInit(int32_t hashKb, const KestraneCallbacks* callbacks,
                                           const char* directory, int32_t) {
  Host = HostCallbacks{};
  if (callbacks) {
    Host.unused0 = callbacks->unused0;
    Host.reportNodes = callbacks->reportNodes;
    Host.reportDepth = callbacks->reportDepth;
    Host.reportCurrentMove = callbacks->reportCurrentMove;
    Host.reportLine = callbacks->reportLine;
    Host.unused5 = callbacks->unused5;
    Host.unused6 = callbacks->unused6;
  }
  if (!directory) directory = "";
  SetLearningFilePath(directory);
  SetWorkingDirectory(directory);
  if (EngineInitialised) {  // a second start-up replaces the first
    ReleaseEngine();
    EngineInitialised = 0;
  }
  StopTablebases();
  if (!InitEngine(hashKb)) return -1;
  StartTablebases();
  LastAnalysePondered = 1;
  EngineInitialised = 1;
  return hashKb;
}

EXPORT void KESTRANE_CDECL KestraneQuit() {
  if (!EngineInitialised) return;
  ReleaseEngine();
  StopTablebases();
  EngineInitialised = 0;
}

EXPORT const char* KESTRANE_CDECL KestraneGetVersion() { return "Kestrane 9"; }
EXPORT const char* KESTRANE_CDECL KestraneGetAuthor() { return "The Kestrane developers"; }

EXPORT void KESTRANE_CDECL KestraneSetPosition(const char* fen) {
  CopyBounded(PositionLine, PositionLineSize, "position fen ");
  AppendBounded(PositionLine, PositionLineSize, fen);
  AppendBounded(PositionLine, PositionLineSize, " moves");
}

EXPORT void KESTRANE_CDECL KestraneSetStartPosition() {
  CopyBounded(PositionLine, PositionLineSize, "position startpos moves");
}

EXPORT void KESTRANE_CDECL KestraneEnterMove(const char* move) {
  AppendBounded(PositionLine, PositionLineSize, " ");
  AppendBounded(PositionLine, PositionLineSize, move);
}

EXPORT void KESTRANE_CDECL KestraneSetTime(int32_t movesToGo, int32_t seconds, int32_t incrementSeconds) {
  int time = int(int64_t(seconds) * 1000), increment = int(int64_t(incrementSeconds) * 1000);
  if (incrementSeconds == 0)
    snprintf(GoParameters, GoParametersSize, "movestogo %d wtime %d btime %d", int(movesToGo), time, time);
  else
    snprintf(GoParameters, GoParametersSize, "movestogo %d wtime %d btime %d winc %d binc %d", int(movesToGo),
             time, time, increment, increment);
}

EXPORT void KESTRANE_CDECL KestraneSetBlitz(int32_t seconds, int32_t incrementSeconds) {
  int time = int(int64_t(seconds) * 1000), increment = int(int64_t(incrementSeconds) * 1000);
  if (incrementSeconds == 0)
    snprintf(GoParameters, GoParametersSize, "wtime %d btime %d", time, time);
  else
    snprintf(GoParameters, GoParametersSize, "wtime %d btime %d winc %d binc %d", time, time, increment,
             increment);
}

EXPORT void KESTRANE_CDECL KestraneSetDepth(int32_t depth) {
  snprintf(GoParameters, GoParametersSize, "depth %d", int(depth));
}

EXPORT void KESTRANE_CDECL KestraneSetInfinite() { CopyBounded(GoParameters, GoParametersSize, "infinite"); }

// Every root move of the search that just ended but its best, for the next-best search the
// host asked for; a search with one root move leaves the list as it was.
static void FillNextBestList() {
  if (RootInfo.count <= 1) return;
  NextBestList[0] = 0;
  for (int i = 0; i < RootInfo.count; ++i) {
    if (RootInfo.moves[i].move == RootInfo.bestMove) continue;
    char text[16];
    MoveToText(text, RootInfo.moves[i].move);
    AppendBounded(NextBestList, NextBestListSize, text);
  }
}

EXPORT int32_t KESTRANE_CDECL KestraneAnalyse(int32_t ponder, int32_t lines) {
  // A call from inside a running search (through a callback) changes nothing.
  if (!EngineInitialised || SearchMode.load(std::memory_order_relaxed) != 0) return 1;
  NextBestFlag.store(0, std::memory_order_relaxed);
  NextBestList[0] = 0;
  LineSentFlag = 0;
  if (ponder == 1) {
    LastAnalysePondered = 1;
    PonderEnabled = 1;
  } else {
    if (LastAnalysePondered == 0) PonderEnabled = 0;
    LastAnalysePondered = 0;
  }
  MultiPV = lines;
  ExecuteCommand(PositionLine);
  do {
    char go[GoLineSize];
    CopyBounded(go, GoLineSize, ponder == 1 ? "go ponder " : "go ");
    AppendBounded(go, GoLineSize, GoParameters);
    if (NextBestFlag.load(std::memory_order_relaxed)) {
      NextBestFlag.store(0, std::memory_order_relaxed);
      AppendBounded(go, GoLineSize, " searchmoves ");
      AppendBounded(go, GoLineSize, NextBestList);
    }
    ExecuteCommand(go);
    if (NextBestFlag.load(std::memory_order_relaxed)) FillNextBestList();
  } while (NextBestFlag.load(std::memory_order_relaxed));
  return 1;
}

EXPORT int32_t KESTRANE_CDECL KestraneStopAnalyse() { return RunCommand("stop"); }
EXPORT int32_t KESTRANE_CDECL KestranePonderingOff() { return RunCommand("ponderhit"); }

EXPORT int32_t KESTRANE_CDECL KestraneNextBest() {
  NextBestFlag.store(1, std::memory_order_relaxed);
  StopFlag.store(1, std::memory_order_relaxed);
  return 1;
}

EXPORT void KESTRANE_CDECL KestraneClearHashtable() {
  if (EngineInitialised) ClearHashTables();
}

EXPORT int32_t KESTRANE_CDECL KestraneSetParam(const char* name, const char* value) {
  char line[1200];
  CopyBounded(line, sizeof line, "setoption name ");
  AppendBounded(line, sizeof line, name);
  AppendBounded(line, sizeof line, " value ");
  AppendBounded(line, sizeof line, value);
  return ExecuteCommand(line);
}
