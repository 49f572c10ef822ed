#include <cstring>

#include "api/engine_state.h"
#include "api/host_callbacks.h"
#include "board/game.h"
#include "board/move_text.h"
#include "protocol/commands.h"
#include "protocol/interpreter.h"
#include "protocol/words.h"
#include "search/root_search.h"
#include "search/search_flags.h"
#include "search/time_control.h"

// The limits a "go" line names; a flag for each one given.
struct GoLimits {
  int ponder, infinite;
  int32_t time, increment, movesToGo, depth, moveTime, nodes;
  int timeGiven, incrementGiven, movesToGoGiven, depthGiven, moveTimeGiven, nodesGiven, mateGiven;
};

enum GoKeyword { KeyPonder, KeyInfinite, KeyWTime, KeyBTime, KeyWInc, KeyBInc, KeyMovesToGo, KeyDepth,
                 KeyMoveTime, KeyNodes, KeyMate, KeySearchMoves, KeyNone };

static const char* const GoKeywords[KeyNone] = {"ponder", "infinite", "wtime", "btime", "winc", "binc",
                                                "movestogo", "depth", "movetime", "nodes", "mate",
                                                "searchmoves"};

static GoKeyword FindKeyword(const char* word) {
  for (int k = 0; k < KeyNone; ++k)
    if (strcmp(word, GoKeywords[k]) == 0) return GoKeyword(k);
  return KeyNone;
}

static int GameSideToMove() { return GameHistory[GameLength].side; }

static void AddSearchMove(const char* word, int* count) {
  Move move = ParseLegalGameMove(word);
  if (move && *count < SearchMovesCapacity) {
    SearchMovesList[(*count)++] = move;
    SearchMovesList[*count] = 0;
  }
}

// Reads the keywords; 0 from the first keyword whose number is missing on.
static void ReadGoWords(char** cursor, GoLimits* limits) {
  int side = GameSideToMove();
  int searchMoves = 0;
  int moveCount = 0;
  while (const char* word = NextWord(cursor)) {
    GoKeyword key = FindKeyword(word);
    if (key == KeyPonder) { limits->ponder = 1; continue; }
    if (key == KeyInfinite) { limits->infinite = 1; continue; }
    if (key == KeySearchMoves) { searchMoves = 1; continue; }
    if (key == KeyNone) {
      if (searchMoves) AddSearchMove(word, &moveCount);
      continue;
    }
    const char* number = NextWord(cursor);
    if (!number) return;
    int32_t n = ParseDecimal(number);
    switch (key) {
      case KeyWTime: case KeyBTime:
        if ((key == KeyWTime) == (side == White)) limits->time = n, limits->timeGiven = 1;
        break;
      case KeyWInc: case KeyBInc:
        if ((key == KeyWInc) == (side == White)) limits->increment = n, limits->incrementGiven = 1;
        break;
      case KeyMovesToGo: limits->movesToGo = n, limits->movesToGoGiven = 1; break;
      case KeyDepth: limits->depth = n, limits->depthGiven = 1; break;
      case KeyMoveTime: limits->moveTime = n, limits->moveTimeGiven = 1; break;
      case KeyNodes: limits->nodes = n, limits->nodesGiven = 1; break;
      default: limits->mateGiven = 1; break;
    }
  }
}

static void ChooseTimeMode(const GoLimits& limits) {
  if (limits.infinite) {
    SetTimeMode(1, 99);
  } else if (limits.moveTimeGiven) {
    SetTimeMode(0, limits.moveTime);
  } else if (limits.depthGiven) {
    SetTimeMode(1, limits.depth);
  } else if (limits.nodesGiven) {
    // Check the clock often enough to notice the node limit in time.
    int64_t interval = int64_t(limits.nodes) / 50 + 1;
    if (interval >= 1 && uint64_t(interval) < PollInterval) PollInterval = uint64_t(interval);
    NodeLimit = limits.nodes;
    SetTimeMode(1, 99);
  } else if (limits.mateGiven) {
    SetTimeMode(1, 99);
  } else if (limits.timeGiven) {
    int32_t increment = limits.incrementGiven ? limits.increment : 0;
    if (limits.movesToGoGiven) {
      SetMovesInTimeControl(limits.movesToGo, limits.time, increment);
      SetTimeMode(2, 0);
    } else {
      SetWholeGameControl(limits.time, increment);
      SetTimeMode(3, 0);
    }
  }
}

void GoCommand(char** cursor) {
  if (SearchMode.load(std::memory_order_relaxed) != 0 || EnginePosition == nullptr) return;
  PollInterval = uint64_t(SpeedEstimate / 4);
  NodeLimit = 0;
  SearchMovesList[0] = 0;

  GoLimits limits{};
  ReadGoWords(cursor, &limits);
  ChooseTimeMode(limits);

  SearchMode.store(limits.ponder ? 2 : 1, std::memory_order_relaxed);
  Move ponderMove = 0;
  Move best = SearchRoot(EnginePosition, &ponderMove);
  SearchMode.store(0, std::memory_order_relaxed);

  char bestText[16], ponderText[16] = "";
  MoveToText(bestText, best);
  if (ponderMove) MoveToText(ponderText, ponderMove);
  CopyBounded(OutputLine, OutputLineSize, "bestmove");
  AppendBounded(OutputLine, OutputLineSize, bestText);
  if (ponderMove) {
    AppendBounded(OutputLine, OutputLineSize, " ponder");
    AppendBounded(OutputLine, OutputLineSize, ponderText);
  }
  AppendBounded(OutputLine, OutputLineSize, "\n");
  SendOutputLine();

  // The host hears of the best move only through ReportLine: make sure it does.
  if (!LineSentFlag) {
    char line[40];
    CopyBounded(line, sizeof line, bestText);
    AppendBounded(line, sizeof line, ponderText);
    HostReportLine(line[0] ? line + 1 : line, 0);
  }
}
