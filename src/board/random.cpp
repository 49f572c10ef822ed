#include "board/random.h"

constexpr int RandomTableSize = 1279;

static uint32_t RandomTable[RandomTableSize];
static int RandomTap[4];  // three summed words and the word the sum is xored into

void SeedRandom(uint32_t seed) {
  uint32_t x = seed;
  for (uint32_t& word : RandomTable) {
    x = 69069u * x + 1u;
    word = x;
  }
  RandomTap[0] = 1278;
  RandomTap[1] = 1062;
  RandomTap[2] = 979;
  RandomTap[3] = 680;
}

uint32_t NextRandom() {
  uint32_t sum = RandomTable[RandomTap[0]] + RandomTable[RandomTap[1]] + RandomTable[RandomTap[2]];
  uint32_t value = RandomTable[RandomTap[3]] ^= sum;
  for (int& tap : RandomTap) tap = tap == 0 ? RandomTableSize - 1 : tap - 1;
  return value;
}
