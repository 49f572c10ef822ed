// A temporary directory for learning-file tests, removed with everything in it.
#pragma once
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "search/learning_record.h"

class LearningTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kestrane-learn-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    path_ = dir_ + "/kestrane.pl2";
  }
  void TearDown() override {
    std::error_code error;
    std::filesystem::remove_all(dir_, error);
  }
  const char* Path() const { return path_.c_str(); }

  std::string dir_;
  std::string path_;
};

// A record whose fields all follow from n, so a damaged or mixed-up record shows.
inline LearningRecord NumberedRecord(uint32_t n) {
  LearningRecord r;
  memset(&r, 0, sizeof r);
  r.lock = n;
  r.slotKey = ~n;
  r.bestMove = n * 7;
  r.score = int16_t(n % 1000);
  r.depth = 5;
  for (int sq = 1; sq <= 64; sq++) r.board[sq] = int8_t((n + sq) & 15);
  return r;
}
