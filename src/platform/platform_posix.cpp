#ifndef _WIN32
#include "platform/platform.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <strings.h>
#include <cstdlib>
#include <sys/mman.h>
#include <sys/stat.h>
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

void YieldThread() { sched_yield(); }

int64_t OpenReadOnlyFile(const char* path) {
  if (!path || !path[0]) return NoFileHandle;
  int fd;
  // Non-blocking, so that a named pipe in place of a table cannot hang the caller.
  do fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return NoFileHandle;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {  // a directory is no table
    close(fd);
    return NoFileHandle;
  }
  return fd;
}

int64_t ReadOnlyFileSize(int64_t handle) {
  struct stat info;
  if (handle < 0 || fstat(int(handle), &info) != 0) return -1;
  return int64_t(info.st_size);
}

int ReadFileAt(int64_t handle, uint64_t offset, void* buffer, int size) {
  if (handle < 0 || size < 0 || offset > uint64_t(INT64_MAX)) return -1;
  int done = 0;
  while (done < size) {
    ssize_t got = pread(int(handle), static_cast<char*>(buffer) + done, size_t(size - done), off_t(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += int(got);
  }
  return done;
}

void CloseReadOnlyFile(int64_t handle) {
  if (handle >= 0) close(int(handle));
}

// One line of the settings file without its line end, cut to the buffer; 0 at the end.
static int ReadProfileLine(FILE* file, char* line, int size) {
  int length = 0, c = 0, any = 0;
  while ((c = getc(file)) != EOF && c != '\n') {
    any = 1;
    if (length < size - 1) line[length++] = char(c);
  }
  if (length > 0 && line[length - 1] == '\r') length--;
  line[length] = 0;
  return any || c == '\n';
}

// The text between `begin` and `end` without surrounding blanks.
static void TrimBlanks(char** begin, char** end) {
  while (*begin < *end && (**begin == ' ' || **begin == '\t')) ++*begin;
  while (*end > *begin && ((*end)[-1] == ' ' || (*end)[-1] == '\t')) --*end;
}

int ReadProfileText(const char* file, const char* section, const char* key, char* out, int size) {
  if (!out || size <= 0) return 0;
  out[0] = 0;
  if (!file || !section || !key) return 0;
  FILE* input = fopen(file, "rb");
  if (!input) return 0;
  char line[1024];
  int inSection = 0, length = 0;
  while (ReadProfileLine(input, line, sizeof line)) {
    char* begin = line;
    char* end = line + strlen(line);
    TrimBlanks(&begin, &end);
    if (begin < end && *begin == '[') {
      char* close = static_cast<char*>(memchr(begin, ']', size_t(end - begin)));
      if (!close) continue;
      char* name = begin + 1;
      TrimBlanks(&name, &close);
      inSection = size_t(close - name) == strlen(section) && strncasecmp(name, section, size_t(close - name)) == 0;
      continue;
    }
    char* equals = static_cast<char*>(memchr(begin, '=', size_t(end - begin)));
    if (!inSection || !equals || *begin == ';') continue;
    char* nameEnd = equals;
    TrimBlanks(&begin, &nameEnd);
    if (size_t(nameEnd - begin) != strlen(key) || strncasecmp(begin, key, size_t(nameEnd - begin)) != 0) continue;
    char* value = equals + 1;
    TrimBlanks(&value, &end);
    if (end - value >= 2 && (*value == '"' || *value == '\'') && end[-1] == *value) {
      value++;
      end--;
    }
    length = int(end - value) < size - 1 ? int(end - value) : size - 1;
    memcpy(out, value, size_t(length));
    out[length] = 0;
    break;
  }
  fclose(input);
  return length;
}

uint32_t LogicalDriveMask() { return 0; }
int DriveIsReady(char) { return 1; }
int TryLockOpenFile(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }

void* AllocateTableMemory(size_t bytes) {
  if (bytes < TableLargePage) return std::calloc(1, bytes == 0 ? 1 : bytes);
  if (bytes > SIZE_MAX - TableLargePage) return nullptr;
  const size_t rounded = (bytes + TableLargePage - 1) & ~(TableLargePage - 1);
  void* block = std::aligned_alloc(TableLargePage, rounded);
  if (!block) return nullptr;
#ifdef MADV_HUGEPAGE
  madvise(block, rounded, MADV_HUGEPAGE);  // a request only: without large pages it changes nothing
#endif
  std::memset(block, 0, rounded);
  return block;
}

void FreeTableMemory(void* block) { std::free(block); }
#endif
