#include "search/time_control.h"

int32_t SpeedEstimate = 100000;
uint64_t PollInterval = 25000;
int32_t NodeLimit = 0;

void SetTimeMode(int, int) {}
void SetMovesInTimeControl(int, int, int) {}
void SetWholeGameControl(int, int) {}
void ZeroTimeControl() {}
void MeasureSpeed() {}
void PonderHit() {}

uint64_t NextPollPoint = 1000;
void Poll(Position*) {}
