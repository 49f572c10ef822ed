// Operating-system services: the clock, the working directory, thread CPU time, sleeping
// and atomic exchange. The only code that knows Windows from POSIX.
#pragma once
#include <cstddef>
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

// Zeroed memory for the hash tables, or null. Where the system gives large pages on request
// (Linux's transparent huge pages), a block of TableLargePage bytes or more starts on a large
// page and asks for them, which spares the table probes most address-translation misses.
// Released with FreeTableMemory.
constexpr size_t TableLargePage = size_t(1) << 21;
void* AllocateTableMemory(size_t bytes);
void FreeTableMemory(void* block);

// Stores `value` and returns the previous contents, as one atomic step.
int32_t ExchangeInt32(int32_t* target, int32_t value);

// Lets other threads run: the wait step of a spin lock.
void YieldThread();

// Read-only binary files with 64-bit offsets, for the tablebase files. A handle is -1 when
// the file is not open.
constexpr int64_t NoFileHandle = -1;
int64_t OpenReadOnlyFile(const char* path);
int64_t ReadOnlyFileSize(int64_t handle);  // bytes, or -1
// Reads up to `size` bytes at `offset`; the number read (short at the end), -1 on failure.
int ReadFileAt(int64_t handle, uint64_t offset, void* buffer, int size);
void CloseReadOnlyFile(int64_t handle);

// The separator put between a directory and a file name.
#ifdef _WIN32
constexpr char PathSeparator = '\\';
#else
constexpr char PathSeparator = '/';
#endif

// The host's settings file: the text of `key` in `[section]` of `file`, empty when absent,
// cut to size - 1 characters; returns its length. Windows reads a bare file name from the
// Windows directory (GetPrivateProfileStringA); elsewhere the file is read as a path, a bare
// name from the current directory, with the same rules: names compared without case, blanks
// around names and values dropped, the first matching key wins.
int ReadProfileText(const char* file, const char* section, const char* key, char* out, int size);

// Drive letters: the bitmask of present drives (bit 0 = A:), 0 on systems without drive
// letters; and whether a drive answers (0 when it reports "not ready").
uint32_t LogicalDriveMask();
int DriveIsReady(char letter);

// Takes an exclusive lock on an open file (a descriptor from open) without waiting; 1 when
// taken. The lock ends when the file is closed or the process ends, even by a kill. Only
// other lockers are kept out: it never bars reads or writes.
int TryLockOpenFile(int fd);
