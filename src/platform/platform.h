// Operating-system services: the clock, the working directory, thread CPU time, sleeping
// and atomic exchange. The only code that knows Windows from POSIX.
#pragma once
#include <cstdint>

// Milliseconds from a fixed point; wraps around like a 32-bit tick counter.
uint32_t TickCount();

// Makes `directory` the process's current directory; 1 on success.
int SetWorkingDirectory(const char* directory);

// The CPU clock of one thread, opened on the calling thread.
struct ThreadClock {
  uint64_t handle;  // duplicated thread handle or clock id
  int32_t open;
};
int OpenThreadClock(ThreadClock* clock);           // 1 on success
int64_t ThreadCpuMilliseconds(const ThreadClock* clock);  // kernel + user time; 0 when not open
void CloseThreadClock(ThreadClock* clock);

// Scheduling priority of the calling thread: raised during speed calibration.
int GetThreadPriorityLevel();
void SetThreadPriorityLevel(int level);
constexpr int HighestPriorityLevel = 2;

void SleepMilliseconds(int milliseconds);

// Stores `value` and returns the previous contents, as one atomic step.
int32_t ExchangeInt32(int32_t* target, int32_t value);

// Takes an exclusive lock on an open file (a descriptor from open) without waiting; 1 when
// taken. The lock ends when the file is closed or the process ends, even by a kill.
int TryLockOpenFile(int fd);
