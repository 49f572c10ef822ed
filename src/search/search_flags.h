// Flags shared between the searching thread and the threads that stop or redirect it.
#pragma once
#include <atomic>
#include <cstdint>

extern std::atomic<int32_t> StopFlag;    // the search returns at its next check
extern std::atomic<int32_t> SearchMode;  // 0 idle, 1 searching, 2 pondering
// Counts root searches past their set-up: a stop or ponder hit sent after the count grew is
// seen by that search (the set-up clears StopFlag and reads SearchMode).
extern std::atomic<uint32_t> RootSearchesStarted;
// Set by the host to ask for the next-best move; a stop command clears it.
extern std::atomic<int32_t> NextBestFlag;
