#include "board/option_values.h"

// The values at load time: the option table's defaults, which start-up sets again.

int32_t OptionWeights[OptionWeightCount] = {100, 100, 100, 100, 100, 100, 100, 100, 100, 100,
                                            100, 100, 100, 100, 100, 100, 100, 100, 100};
int32_t TimeUsage = 100;
int32_t KnowledgeOrSpeed = 0;
int32_t DrawScore = 0;
int32_t Selectivity = -1;
int32_t ForwardPruning = 2;
int32_t MultiPV = 1;
int32_t PonderEnabled = 1;
int32_t KeepHashMain = 1, KeepHashSecond = 1;
int32_t PositionLearning = 1;
int32_t PreferOpenPositions = 0;
int32_t Test1 = 0, Test2 = 0, Test3 = 0;
int32_t StyleLateMoveReductions = 1, StyleHangingReduction = 1, StyleMultiCut = 1;
int32_t CombinationQuiesceChecks = 1, CombinationSingular = 1;
int32_t TablebasesEnabled = 1, TablebaseDepthCutStart = 0, TablebaseTimeShare = 30;
