// Restores the option values that a test changes.
#pragma once
#include <gtest/gtest.h>

#include "protocol/options.h"

class OptionFixture : public ::testing::Test {
 protected:
  void SetUp() override { ResetOptions(); }
  void TearDown() override { ResetOptions(); }

  static void ResetOptions() {
    for (int32_t& weight : OptionWeights) weight = 100;
    TimeUsage = 100;
    KnowledgeOrSpeed = 0;
    MultiPV = 1;
    TablebaseDepthCutStart = 0;
    TablebaseTimeShare = 30;
    SetOptionDefaults();
  }
};
