#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "api/engine_state.h"
#include "search/learning.h"
#include "search/learning_file.h"
#include "search/learning_temp_dir.h"

// The engine's learning file pointed into a temporary directory.
class LearningEngineFile : public LearningTempDir {
 protected:
  void SetUp() override {
    LearningTempDir::SetUp();
    memcpy(saved_, LearningFilePath, sizeof saved_);
    snprintf(LearningFilePath, sizeof LearningFilePath, "%s/kestrane.pl2", dir_.c_str());
  }
  void TearDown() override {
    memcpy(LearningFilePath, saved_, sizeof saved_);
    LearningTempDir::TearDown();
  }
  void WriteRecords(const std::string& path, int count) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::string zeros(size_t(LearningRecordSize) * 1000, '\0');
    for (int written = 0; written < count; written += 1000)
      fwrite(zeros.data(), LearningRecordSize, size_t(std::min(1000, count - written)), f);
    fclose(f);
  }
  char saved_[LearningPathSize];
};

TEST_F(LearningEngineFile, StartUpTrimKeepsTheLastRecords) {
  WriteRecords(path_, 300000);
  TrimLearningFile();
  EXPECT_EQ(CountLearningRecords(Path()), LearningTrimKeep);
  TrimLearningFile();
  EXPECT_EQ(CountLearningRecords(Path()), LearningTrimKeep);
}

TEST_F(LearningEngineFile, ClearPosLearningDeletesTheFile) {
  WriteRecords(path_, 3);
  DeleteLearningFile();
  EXPECT_FALSE(std::filesystem::exists(path_));
  DeleteLearningFile();  // nothing left to delete
}

TEST_F(LearningEngineFile, CutPathIsNeverTouched) {
  // What a bounded copy leaves when the directory nearly fills the buffer.
  std::string cut = dir_ + "/kestrane.pl";
  snprintf(LearningFilePath, sizeof LearningFilePath, "%s", cut.c_str());
  WriteRecords(cut, 300000);
  DeleteLearningFile();
  TrimLearningFile();
  EXPECT_EQ(CountLearningRecords(cut.c_str()), 300000);
}
