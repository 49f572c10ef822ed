#include <gtest/gtest.h>

#include "protocol/options.h"
#include "search/settings_signature.h"

// Every value that enters the signature, each with a second value to move it to.
struct SignatureInput {
  const char* name;
  int32_t* value;
  int32_t other;
};

static const SignatureInput Inputs[] = {
    {"tablebases enabled", &TablebasesEnabled, 0},
    {"tablebase depth cut", &TablebaseDepthCutStart, -5},
    {"tablebase time share", &TablebaseTimeShare, 40},
    {"keep hash main", &KeepHashMain, 0},
    {"keep hash second", &KeepHashSecond, 0},
    {"queen", &OptionWeights[WeightQueen], 101},
    {"rook", &OptionWeights[WeightRook], 99},
    {"bishop", &OptionWeights[WeightBishop], 150},
    {"knight", &OptionWeights[WeightKnight], 25},
    {"pawn", &OptionWeights[WeightPawn], 400},
    {"queen endgame", &OptionWeights[WeightQueenEnd], 101},
    {"rook endgame", &OptionWeights[WeightRookEnd], 101},
    {"bishop endgame", &OptionWeights[WeightBishopEnd], 101},
    {"knight endgame", &OptionWeights[WeightKnightEnd], 101},
    {"pawn endgame", &OptionWeights[WeightPawnEnd], 101},
    {"king safety", &OptionWeights[WeightKingSafety], 101},
    {"passed pawns", &OptionWeights[WeightPassedPawns], 101},
    {"passed pawns endgame", &OptionWeights[WeightPassedPawnsEnd], 101},
    {"pawn structure", &OptionWeights[WeightPawnStructure], 101},
    {"pawn structure endgame", &OptionWeights[WeightPawnStructureEnd], 101},
    {"center control", &OptionWeights[WeightCenterControl], 101},
    {"bishop pair", &OptionWeights[WeightBishopPair], 101},
    {"bishop pair endgame", &OptionWeights[WeightBishopPairEnd], 101},
    {"fixed weight", &OptionWeights[WeightFixed], 101},
    {"draw score", &DrawScore, -1},
    {"selectivity", &Selectivity, -3},
    {"forward pruning", &ForwardPruning, 5},
    {"prefer open positions", &PreferOpenPositions, 1},
    {"style reductions", &StyleLateMoveReductions, 0},
    {"style hanging", &StyleHangingReduction, 0},
    {"style multi-cut", &StyleMultiCut, 0},
    {"quiescence checks", &CombinationQuiesceChecks, 0},
    {"singular", &CombinationSingular, 0},
    {"test1", &Test1, 1},
    {"test2", &Test2, 1},
    {"test3", &Test3, 1},
    {"knowledge or speed", &KnowledgeOrSpeed, 500},
};

class SettingsSignatureTest : public ::testing::Test {
 protected:
  void SetUp() override { SetOptionDefaults(); }
};

TEST_F(SettingsSignatureTest, EveryPlayOptionChangesItAndRestoringBringsItBack) {
  uint32_t base = SettingsSignature();
  EXPECT_EQ(SettingsSignature(), base);
  for (const SignatureInput& input : Inputs) {
    int32_t saved = *input.value;
    ASSERT_NE(saved, input.other) << input.name;
    *input.value = input.other;
    EXPECT_NE(SettingsSignature(), base) << input.name;
    *input.value = saved;
    EXPECT_EQ(SettingsSignature(), base) << input.name;
  }
}

TEST_F(SettingsSignatureTest, OptionsOutsidePlayLeaveItAlone) {
  uint32_t base = SettingsSignature();
  int32_t* outside[] = {&MultiPV, &PonderEnabled, &PositionLearning, &TimeUsage};
  for (int32_t* value : outside) {
    int32_t saved = *value;
    *value = saved + 3;
    EXPECT_EQ(SettingsSignature(), base);
    *value = saved;
  }
}

TEST_F(SettingsSignatureTest, SwappedWeightsGiveAnotherSignature) {
  OptionWeights[WeightQueen] = 120;
  uint32_t queenUp = SettingsSignature();
  OptionWeights[WeightQueen] = 100;
  OptionWeights[WeightRook] = 120;
  EXPECT_NE(SettingsSignature(), queenUp);
  OptionWeights[WeightRook] = 100;
}
