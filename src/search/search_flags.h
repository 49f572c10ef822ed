// Flags shared between the searching thread and the threads that stop or redirect it.
#pragma once
#include <atomic>
#include <cstdint>

extern std::atomic<int32_t> StopFlag;    // the search returns at its next check
extern std::atomic<int32_t> SearchMode;  // 0 idle, 1 searching, 2 pondering
