#include "eval/running_bounds.h"
#include <algorithm>
#include <initializer_list>
#include "board/option_values.h"
#include "eval/prepare_root.h"

int32_t PositionalMax[2];
int32_t PositionalMin[2];
int32_t DrawContempt[2];
int32_t CentreMax;
int32_t CentreMin;

void ResetRunningBounds() {
  PositionalMax[0] = PositionalMax[1] = -15000;
  PositionalMin[0] = PositionalMin[1] = 15000;
  CentreMax = -15000;
  CentreMin = 15000;
}

void WidenRunningBounds() {
  for (int side = 0; side < 2; side++) {
    PositionalMax[side] += 100;
    PositionalMin[side] -= 100;
  }
  CentreMax += 30;
  CentreMin -= 30;
}

void SpanZeroInRunningBounds() {
  for (int side = 0; side < 2; side++) {
    PositionalMax[side] = std::max(PositionalMax[side], 0);
    PositionalMin[side] = std::min(PositionalMin[side], 0);
  }
}

void SetDrawContempt(int engineSide) {
  int contempt = (PhaseCode & 0x64) ? DrawScore / 4 : DrawScore;
  DrawContempt[engineSide] = contempt;
  DrawContempt[engineSide ^ 1] = -contempt;
}
