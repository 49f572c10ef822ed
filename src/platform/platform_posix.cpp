#ifndef _WIN32
#include "platform/platform.h"

#include <atomic>
#include <cerrno>
#include <pthread.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

uint32_t TickCount() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return uint32_t(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}

int SetWorkingDirectory(const char* directory) {
  return directory && directory[0] && chdir(directory) == 0;
}

int OpenThreadClock(ThreadClock* clock) {
  clockid_t id;
  clock->open = pthread_getcpuclockid(pthread_self(), &id) == 0;
  clock->handle = clock->open ? uint64_t(id) : 0;
  return clock->open;
}

int64_t ThreadCpuMilliseconds(const ThreadClock* clock) {
  timespec used;
  if (!clock->open || clock_gettime(clockid_t(clock->handle), &used) != 0) return 0;
  return int64_t(used.tv_sec) * 1000 + used.tv_nsec / 1000000;
}

void CloseThreadClock(ThreadClock* clock) {
  clock->open = 0;
  clock->handle = 0;
}

// Raising priority needs privileges an engine process does not have; the calibration
// runs at the normal level.
int GetThreadPriorityLevel() { return 0; }
void SetThreadPriorityLevel(int) {}

void SleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  timespec wait{milliseconds / 1000, long(milliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

int32_t ExchangeInt32(int32_t* target, int32_t value) {
  return std::atomic_ref<int32_t>(*target).exchange(value, std::memory_order_seq_cst);
}

int TryLockOpenFile(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }
#endif
