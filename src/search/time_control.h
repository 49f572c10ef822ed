// Time modes and budgets, the clock checks of the search and the start-up speed calibration.
// Every time is in milliseconds of wall-clock time from the start of the search.
#pragma once
#include <cstdint>

enum TimeModeKind { TimeFixedMove = 0, TimeFixedDepth = 1, TimeMovesToGo = 2, TimeWholeGame = 3 };

// mode 0 fixed time (ms), 1 fixed depth, 2 moves in time, 3 whole game; other modes are ignored.
void SetTimeMode(int mode, int value);
// The clock of the side to move for modes 2 and 3.
void SetMovesInTimeControl(int movesToGo, int timeLeft, int increment);
void SetWholeGameControl(int timeLeft, int increment);
void ZeroTimeControl();

// The root's time state. Only the functions of this file write it; the search reads it.
struct RootTimeState {
  int32_t mode;         // a TimeModeKind
  int32_t target;       // the normal time for this move; grows between iterations
  int32_t extra;        // added during an iteration for fail lows, fail highs, new best moves
  int32_t allocated;    // the target as first allocated
  int32_t hardLimit;    // never passed while thinking
  int32_t depthLimit;   // largest iteration depth
  int32_t clockCap;     // the most a clock search may use of the remaining time
  int32_t timeLeft, increment, movesToGo;  // the clock of the side to move
  int32_t nodeLimit;    // "go nodes"; 0 for none
};
extern const RootTimeState& RootTime;

// True in the clock modes (2 and 3), where the budgets above come from AllocateTime.
bool InClockMode();
// Budgets of a clock search, run when the search starts.
void AllocateTime();
// The changes the root search makes to the budgets as its iterations go.
void AddExtraTime(int64_t ms);        // a fail high, fail low or new best move buys time
void HalveExtraTime();                // the score held up
void MoveExtraTimeIntoTarget();       // an iteration ended: the extra time joins the target
int32_t HalveTarget();                // the answer looks obvious; returns the time taken away
void GiveBackTime(int32_t ms);        // the target and allocation grow back by what was taken
void SetHardLimitAfterChange(int x);
void CapTargetTime(int32_t ms);       // the target is at most ms  // the hard limit after a root score change of x centipawns

// Percentage of the remaining time allowed after a score change of x centipawns.
int TimePercent(int x);
int LimitFromPercent(int percent);

// The search clock: StartSearchClock at set-up, ElapsedMs afterwards.
void StartSearchClock();
int32_t ElapsedMs();
extern uint32_t SearchStartTick;

void MeasureSpeed();   // sets SpeedEstimate and PollInterval
void PonderHit();      // pondering becomes thinking; the search applies the clock rules
// Run by the searching thread: a ponder hit since the last check stops the search at once
// when the root has one legal move or its time is already used on the first root move.
void CheckPonderHit();

extern int32_t SpeedEstimate;  // nodes between clock checks after the first five seconds
extern uint64_t PollInterval;  // nodes between clock checks in the first five seconds
// The node limit of a new search (0 for none) and the clock checks' first interval: a quarter
// of SpeedEstimate, or pollInterval when that is smaller and not 0.
void SetNodeLimit(int32_t nodeLimit, uint64_t pollInterval);
extern int32_t TablebaseTime;  // ms spent in tablebase probes during this search

struct Position;
// The clock, node-limit and stop check, run by the search when NodeCount reaches NextPollPoint.
void Poll(Position* pos);
extern uint64_t NextPollPoint;
