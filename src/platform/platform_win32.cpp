#ifdef _WIN32
#include "platform/platform.h"

#include <windows.h>
#include <cstdlib>
#include <io.h>

#include <fcntl.h>
#include <io.h>

uint32_t TickCount() { return GetTickCount(); }

int SetWorkingDirectory(const char* directory) {
  return directory && directory[0] && SetCurrentDirectoryA(directory) != 0;
}

int OpenThreadClock(ThreadClock* clock) {
  HANDLE duplicate = nullptr;
  clock->open = DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(),
                                &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS) != 0;
  clock->handle = clock->open ? uint64_t(uintptr_t(duplicate)) : 0;
  return clock->open;
}

int64_t ThreadCpuMilliseconds(const ThreadClock* clock) {
  FILETIME created, ended, kernel, user;
  if (!clock->open) return 0;
  HANDLE thread = HANDLE(uintptr_t(clock->handle));
  if (!GetThreadTimes(thread, &created, &ended, &kernel, &user)) return 0;
  uint64_t k = uint64_t(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime;
  uint64_t u = uint64_t(user.dwHighDateTime) << 32 | user.dwLowDateTime;
  return int64_t(k / 10000 + u / 10000);  // 100-nanosecond units
}

void CloseThreadClock(ThreadClock* clock) {
  if (clock->open) CloseHandle(HANDLE(uintptr_t(clock->handle)));
  clock->open = 0;
  clock->handle = 0;
}

int GetThreadPriorityLevel() { return GetThreadPriority(GetCurrentThread()); }
void SetThreadPriorityLevel(int level) { SetThreadPriority(GetCurrentThread(), level); }

void SleepMilliseconds(int milliseconds) {
  if (milliseconds > 0) Sleep(DWORD(milliseconds));
}

int32_t ExchangeInt32(int32_t* target, int32_t value) {
  return int32_t(InterlockedExchange(reinterpret_cast<volatile LONG*>(target), LONG(value)));
}

void YieldThread() { Sleep(0); }

int64_t OpenReadOnlyFile(const char* path) {
  if (!path || !path[0]) return NoFileHandle;
  int fd = _open(path, _O_RDONLY | _O_BINARY);
  return fd < 0 ? NoFileHandle : int64_t(fd);
}

int64_t ReadOnlyFileSize(int64_t handle) { return handle < 0 ? -1 : int64_t(_filelengthi64(int(handle))); }

// Seek and read are two steps: callers serialise the reads of one handle.
int ReadFileAt(int64_t handle, uint64_t offset, void* buffer, int size) {
  if (handle < 0 || size < 0 || offset > uint64_t(INT64_MAX)) return -1;
  if (_lseeki64(int(handle), int64_t(offset), SEEK_SET) < 0) return -1;
  int done = 0;
  while (done < size) {
    int got = _read(int(handle), static_cast<char*>(buffer) + done, unsigned(size - done));
    if (got < 0) return -1;
    if (got == 0) break;
    done += got;
  }
  return done;
}

void CloseReadOnlyFile(int64_t handle) {
  if (handle >= 0) _close(int(handle));
}

int ReadProfileText(const char* file, const char* section, const char* key, char* out, int size) {
  if (!out || size <= 0) return 0;
  out[0] = 0;
  if (!file || !section || !key) return 0;
  return int(GetPrivateProfileStringA(section, key, "", out, DWORD(size), file));
}

uint32_t LogicalDriveMask() { return uint32_t(GetLogicalDrives()); }

int DriveIsReady(char letter) {
  char pattern[] = {letter, ':', '\\', '*', 0};
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
    return 1;
  }
  return GetLastError() != ERROR_NOT_READY;
}

// The library's entry hook: remembers its module and always agrees to load.
static HINSTANCE KestraneModule;

int TryLockOpenFile(int fd) {
  HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (file == INVALID_HANDLE_VALUE) return 0;
  // Windows locks bar other handles from the locked bytes: one byte far past any real end
  // of file serves as the token, so other writers are never refused.
  OVERLAPPED from = {};
  from.OffsetHigh = 0x7FFFFFFF;
  return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &from) != 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) KestraneModule = module;
  return TRUE;
}

// Large pages on Windows need a privilege that hosts do not grant; plain zeroed memory.
void* AllocateTableMemory(size_t bytes) { return std::calloc(1, bytes == 0 ? 1 : bytes); }

void FreeTableMemory(void* block) { std::free(block); }
#endif
