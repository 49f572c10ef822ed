// Time modes, the clock checks of the search and the start-up speed calibration.
#pragma once
#include <cstdint>

// mode 0 fixed time (ms), 1 fixed depth, 2 moves in time, 3 whole game.
void SetTimeMode(int mode, int value);
void SetMovesInTimeControl(int movesToGo, int timeLeft, int increment);
void SetWholeGameControl(int timeLeft, int increment);
void ZeroTimeControl();
void MeasureSpeed();   // sets SpeedEstimate and PollInterval
void PonderHit();      // turns a ponder search into a timed one

extern int32_t SpeedEstimate;
extern uint64_t PollInterval;
extern int32_t NodeLimit;

struct Position;
// The clock, node-limit and stop check, run by the search when NodeCount reaches NextPollPoint.
void Poll(Position* pos);
extern uint64_t NextPollPoint;
