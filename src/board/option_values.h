// The engine option values, read directly by the evaluation, search and learning code; the
// option table of the command interpreter writes them.
#pragma once
#include <cstdint>

enum OptionWeightIndex {
  WeightPawn = 0, WeightKnight, WeightBishop, WeightRook, WeightQueen,
  WeightPawnEnd, WeightKnightEnd, WeightBishopEnd, WeightRookEnd, WeightQueenEnd,
  WeightKingSafety = 10, WeightPawnStructure, WeightPawnStructureEnd,
  WeightPassedPawns, WeightPassedPawnsEnd, WeightCenterControl,
  WeightBishopPair, WeightBishopPairEnd, WeightFixed = 18, OptionWeightCount = 19
};

extern int32_t OptionWeights[OptionWeightCount];  // percentages
extern int32_t TimeUsage;                         // percent
extern int32_t KnowledgeOrSpeed;
extern int32_t DrawScore;                         // centipawns
extern int32_t Selectivity;
extern int32_t ForwardPruning;
extern int32_t MultiPV;
extern int32_t PonderEnabled;
extern int32_t KeepHashMain, KeepHashSecond;
extern int32_t PositionLearning;
extern int32_t PreferOpenPositions;
extern int32_t Test1, Test2, Test3;
extern int32_t StyleLateMoveReductions, StyleHangingReduction, StyleMultiCut;
extern int32_t CombinationQuiesceChecks, CombinationSingular;
extern int32_t TablebasesEnabled, TablebaseDepthCutStart, TablebaseTimeShare;
