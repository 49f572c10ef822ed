// Restores the option values that a test changes.
#pragma once
#include <gtest/gtest.h>

#include "protocol/options.h"

class OptionFixture : public ::testing::Test {
 protected:
  void SetUp() override { ResetOptions(); }
  void TearDown() override { ResetOptions(); }

  static void ResetOptions() { SetOptionDefaults(AllOptions); }
};
