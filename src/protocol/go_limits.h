// The limits of a "go" line and the time mode they choose.
#pragma once
#include <cstdint>

struct GoLimits {
  int ponder, infinite;
  int32_t time, increment, movesToGo, depth, moveTime, nodes;
  int32_t mate;  // moves; the search itself does not use it
  int timeGiven, incrementGiven, movesToGoGiven, depthGiven, moveTimeGiven, nodesGiven, mateGiven;
};

// Reads the words after "go" for the side to move (0 White, 1 Black). Words after
// "searchmoves" that are legal moves of the game position go to SearchMovesList. Words it
// cannot use are named in info strings (SendInfoString).
void ReadGoLimits(char** cursor, int side, GoLimits* limits);

enum TimeControlKind { KeepTimeControl, FixedControl, MovesInTimeControl, WholeGameControl };

struct TimeChoice {
  TimeControlKind kind;
  int mode, value;                    // FixedControl: SetTimeMode(mode, value)
  int32_t movesToGo, timeLeft, increment;
  int32_t nodeLimit;                  // 0: none
  uint64_t pollInterval;              // 0: leave the interval as it is
};

// The first matching rule wins: infinite, move time, depth, nodes, mate, time left;
// with none of them the previous time mode stays.
TimeChoice ChooseTimeMode(const GoLimits& limits);
