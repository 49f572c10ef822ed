// The engine's pseudo-random generator: a lagged-sum generator over 1279 words.
#pragma once
#include <cstdint>

void SeedRandom(uint32_t seed);  // fills the table from `seed`
uint32_t NextRandom();
