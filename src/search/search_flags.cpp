#include "search/search_flags.h"

std::atomic<int32_t> StopFlag{0};
std::atomic<int32_t> SearchMode{0};
std::atomic<uint32_t> RootSearchesStarted{0};
std::atomic<int32_t> NextBestFlag{0};
