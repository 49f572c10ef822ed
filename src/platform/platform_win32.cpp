#ifdef _WIN32
#include "platform/platform.h"

#include <windows.h>
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

// The library's entry hook: remembers its module and always agrees to load.
static HINSTANCE KestraneModule;

int TryLockOpenFile(int fd) {
  HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (file == INVALID_HANDLE_VALUE) return 0;
  OVERLAPPED from = {};
  return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &from) != 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) KestraneModule = module;
  return TRUE;
}
#endif
