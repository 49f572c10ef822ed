#include "search/search_flags.h"

std::atomic<int32_t> StopFlag{0};
std::atomic<int32_t> SearchMode{0};
