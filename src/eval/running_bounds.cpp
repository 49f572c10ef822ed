#include "eval/running_bounds.h"

int32_t PositionalMax[2];
int32_t PositionalMin[2];
int32_t DrawContempt[2];
int32_t CentreMax;
int32_t CentreMin;
