#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/platform.h"

TEST(Platform, TickCountAdvancesWithSleep) {
  uint32_t start = TickCount();
  SleepMilliseconds(30);
  uint32_t elapsed = TickCount() - start;
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 5000u);
  SleepMilliseconds(0);
  SleepMilliseconds(-5);
}

TEST(Platform, ThreadCpuTimeCountsWorkNotSleep) {
  ThreadClock clock;
  ASSERT_EQ(OpenThreadClock(&clock), 1);
  int64_t start = ThreadCpuMilliseconds(&clock);
  SleepMilliseconds(50);
  int64_t afterSleep = ThreadCpuMilliseconds(&clock);
  EXPECT_LT(afterSleep - start, 40);
  // Work until the thread clock shows 20 ms; a clock that ignores work runs into the wall limit.
  // (Waiting on the clock itself keeps the check sound however busy the machine is.)
  volatile uint64_t sink = 0;
  uint32_t begin = TickCount();
  while (ThreadCpuMilliseconds(&clock) - afterSleep < 20 && TickCount() - begin < 30000)
    for (int i = 0; i < 100000; ++i) sink = sink + 1;
  EXPECT_GE(ThreadCpuMilliseconds(&clock) - afterSleep, 20);
  CloseThreadClock(&clock);
  EXPECT_EQ(ThreadCpuMilliseconds(&clock), 0);
  CloseThreadClock(&clock);  // closing twice is harmless
}

TEST(Platform, SetWorkingDirectory) {
  char saved[PATH_MAX];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  EXPECT_EQ(SetWorkingDirectory("/"), 1);
  char now[PATH_MAX];
  ASSERT_NE(getcwd(now, sizeof now), nullptr);
  EXPECT_STREQ(now, "/");
  EXPECT_EQ(SetWorkingDirectory("/no/such/directory/here"), 0);
  EXPECT_EQ(SetWorkingDirectory(""), 0);
  EXPECT_EQ(SetWorkingDirectory(nullptr), 0);
  EXPECT_EQ(SetWorkingDirectory(saved), 1);
}

TEST(Platform, ExchangeReturnsThePreviousValue) {
  int32_t lock = 0;
  EXPECT_EQ(ExchangeInt32(&lock, 1), 0);
  EXPECT_EQ(ExchangeInt32(&lock, 1), 1);
  EXPECT_EQ(ExchangeInt32(&lock, 0), 1);
  EXPECT_EQ(lock, 0);
}

// Table memory comes zeroed in every size, starts on a large page from that size up (Linux),
// and a size no system can give is refused instead of wrapping around.
TEST(Platform, TableMemoryIsZeroedAlignedAndRefusesImpossibleSizes) {
  const size_t sizes[] = {1, 4096, TableLargePage - 16, TableLargePage, 3 * TableLargePage + 64};
  for (size_t bytes : sizes) {
    SCOPED_TRACE(bytes);
    unsigned char* block = static_cast<unsigned char*>(AllocateTableMemory(bytes));
    ASSERT_NE(block, nullptr);
    size_t nonZero = 0;
    for (size_t i = 0; i < bytes; i++) nonZero += block[i] != 0;
    EXPECT_EQ(nonZero, 0u);
#ifndef _WIN32
    if (bytes >= TableLargePage) {
      EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % TableLargePage, 0u);
    }
#endif
    block[0] = block[bytes - 1] = 0xA5;
    FreeTableMemory(block);
  }
  EXPECT_EQ(AllocateTableMemory(SIZE_MAX), nullptr);
  EXPECT_EQ(AllocateTableMemory(SIZE_MAX - TableLargePage / 2), nullptr);
  FreeTableMemory(nullptr);
}
