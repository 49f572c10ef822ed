#include "board/option_values.h"

int32_t OptionWeights[OptionWeightCount] = {100, 100, 100, 100, 100, 100, 100, 100, 100, 100,
                                            100, 100, 100, 100, 100, 100, 100, 100, 100};
int32_t TimeUsage = 100;
int32_t KnowledgeOrSpeed = 0;
int32_t DrawScore = 0;
int32_t Selectivity = 0;
int32_t ForwardPruning = 0;
int32_t MultiPV = 1;
int32_t PonderEnabled = 0;
int32_t KeepHashMain = 0, KeepHashSecond = 0;
int32_t PositionLearning = 0;
int32_t PreferOpenPositions = 0;
int32_t Test1 = 0, Test2 = 0, Test3 = 0;
int32_t StyleLateMoveReductions = 0, StyleHangingReduction = 0, StyleMultiCut = 0;
int32_t CombinationQuiesceChecks = 0, CombinationSingular = 0;
int32_t TablebasesEnabled = 0, TablebaseDepthCutStart = 0, TablebaseTimeShare = 30;
