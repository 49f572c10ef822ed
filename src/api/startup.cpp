#include "api/startup.h"

#include <cstdlib>
#include <cstring>

#include "api/engine_state.h"
#include "board/fen.h"
#include "board/game.h"
#include "board/geometry.h"
#include "board/position.h"
#include "board/random.h"
#include "kestrane.h"
#include "protocol/interpreter.h"
#include "protocol/options.h"
#include "protocol/param_list.h"
#include "protocol/report.h"
#include "protocol/words.h"
#include "search/learning_path.h"
#include "search/search.h"
#include "search/search_flags.h"
#include "search/time_control.h"
#include "search/trans_table.h"

void SetLearningFilePath(const char* directory) {
  static const char FileName[] = "kestrane.pl2";
  // A cut path could name some other file; the bare name still finds the learning file
  // once the directory is the current one.
  if (strlen(directory) + sizeof FileName > size_t(LearningPathSize)) directory = "";
  CopyBounded(LearningFilePath, LearningPathSize, directory);
  AppendBounded(LearningFilePath, LearningPathSize, FileName);
}

void ReleaseEngine() {
  FreeHashTables();
  FreeGameHistory();
  free(EnginePosition);
  EnginePosition = nullptr;
  CloseThreadClock(&EngineThreadClock);
  ReleaseParamList();
}

int InitTables(int hashKb) {
  Reports = InterpreterReports;
  SeedRandom(1);
  for (int i = 0; i < 100000; ++i) NextRandom();

  // Zeroed, without exceptions: a failed allocation is a null pointer.
  EnginePosition = static_cast<Position*>(calloc(1, sizeof(Position)));
  if (!EnginePosition) return 0;
  OpenThreadClock(&EngineThreadClock);
  if (!AllocateGameHistory()) {
    ReleaseEngine();
    return 0;
  }
  BuildGeometryTables();
  if (!AllocateHashTables(hashKb)) {
    ReleaseEngine();
    return 0;
  }
  ClearHashTables();
  ZeroTimeControl();
  MeasureSpeed();
  TrimLearningFile();
  return 1;
}

int InitEngine(int hashKb) {
  if (DebugSwitch) {
    CopyBounded(OutputLine, OutputLineSize, "Hello from Kestrane 9\n");
    SendOutputLine();
  }
  if (!InitTables(hashKb)) return 0;
  SetOptionDefaults();
  SetTimeMode(1, 3);
  int8_t board[65];
  RootState state;
  SetStartPosition(board, &state);
  SetGameRoot(board, state);
  LoadRootIntoPosition(EnginePosition);
  SearchMode.store(0, std::memory_order_relaxed);
  return 1;
}

static int32_t TablebasesStarted = 0;

void StartTablebases() {
  StopTablebases();
  TBInit();
  TablebasesStarted = 1;
  TablebasePieceLimit = TBMaxPiece();
}

int RestartTablebases(const char* paths, int32_t cacheKb) {
  StopTablebases();
  const int pieces = TBInitExtern(paths, cacheKb);
  TablebasesStarted = 1;
  TablebasePieceLimit = pieces;
  return pieces;
}

void StopTablebases() {
  if (!TablebasesStarted) return;
  TBExit();
  TablebasesStarted = 0;
  TablebasePieceLimit = 0;
}
