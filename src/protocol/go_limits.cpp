#include "protocol/go_limits.h"

#include <cstring>

#include "board/game.h"
#include "protocol/interpreter.h"
#include "protocol/words.h"
#include "search/root_search.h"

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

static void AddSearchMove(const char* word, int* count) {
  Move move = ParseLegalGameMove(word);
  if (!move) {
    SendInfoString("go: searchmoves '%.40s' is not a legal move", word);
  } else if (*count < SearchMovesCapacity) {
    SearchMovesList[(*count)++] = move;
    SearchMovesList[*count] = 0;
  }
}

static bool IsNumber(const char* word) {
  if (*word == '-' || *word == '+') ++word;
  if (*word == 0) return false;
  for (; *word; ++word)
    if (*word < '0' || *word > '9') return false;
  return true;
}

void ReadGoLimits(char** cursor, int side, GoLimits* limits) {
  *limits = GoLimits{};
  int searchMoves = 0;
  int moveCount = 0;
  SearchMovesList[0] = 0;
  while (const char* word = NextWord(cursor)) {
    GoKeyword key = FindKeyword(word);
    if (key == KeyPonder) {
      limits->ponder = 1;
    } else if (key == KeyInfinite) {
      limits->infinite = 1;
    } else if (key == KeySearchMoves) {
      searchMoves = 1;
    } else if (key == KeyNone) {
      if (searchMoves) AddSearchMove(word, &moveCount);
      else SendInfoString("go: unknown word '%.40s' ignored", word);
    } else {
      const char* number = NextWord(cursor);
      if (!number) {
        SendInfoString("go: '%s' needs a number", GoKeywords[key]);
        break;  // the words read so far count
      }
      if (!IsNumber(number)) SendInfoString("go: '%s' needs a number, not '%.40s'", GoKeywords[key], number);
      int32_t n = ParseDecimal(number);
      switch (key) {
        case KeyWTime:
        case KeyBTime:
          if ((key == KeyWTime) == (side == 0)) limits->time = n, limits->timeGiven = 1;
          break;
        case KeyWInc:
        case KeyBInc:
          if ((key == KeyWInc) == (side == 0)) limits->increment = n, limits->incrementGiven = 1;
          break;
        case KeyMovesToGo: limits->movesToGo = n, limits->movesToGoGiven = 1; break;
        case KeyDepth: limits->depth = n, limits->depthGiven = 1; break;
        case KeyMoveTime: limits->moveTime = n, limits->moveTimeGiven = 1; break;
        case KeyNodes: limits->nodes = n, limits->nodesGiven = 1; break;
        default: limits->mate = n, limits->mateGiven = 1; break;
      }
    }
  }
  if (searchMoves && moveCount == 0) SendInfoString("go: no legal move among searchmoves; every move is searched");
}

static TimeChoice Fixed(int mode, int value) {
  TimeChoice choice{};
  choice.kind = FixedControl;
  choice.mode = mode;
  choice.value = value;
  return choice;
}

TimeChoice ChooseTimeMode(const GoLimits& limits) {
  if (limits.infinite) return Fixed(1, 99);
  if (limits.moveTimeGiven) return Fixed(0, limits.moveTime);
  if (limits.depthGiven) return Fixed(1, limits.depth);
  if (limits.nodesGiven) {
    TimeChoice choice = Fixed(1, 99);
    choice.nodeLimit = limits.nodes;
    // Check often enough to notice the limit; a limit of 0 or less leaves the interval.
    int64_t interval = int64_t(limits.nodes) / 50 + 1;
    if (interval >= 1) choice.pollInterval = uint64_t(interval);
    return choice;
  }
  if (limits.mateGiven) return Fixed(1, 99);
  TimeChoice choice{};
  if (limits.timeGiven) {
    choice.kind = limits.movesToGoGiven ? MovesInTimeControl : WholeGameControl;
    choice.movesToGo = limits.movesToGo;
    choice.timeLeft = limits.time;
    choice.increment = limits.incrementGiven ? limits.increment : 0;
  }
  return choice;
}
