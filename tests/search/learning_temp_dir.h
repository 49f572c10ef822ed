// A temporary directory for learning-file tests, removed with everything in it.
#pragma once
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <string>

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
