// Bounds of the positional part of the evaluation, kept by the evaluator and read by the search.
#pragma once
#include <cstdint>

extern int32_t PositionalMax[2];
extern int32_t PositionalMin[2];
extern int32_t DrawContempt[2];
extern int32_t CentreMax;
extern int32_t CentreMin;
