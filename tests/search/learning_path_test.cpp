#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "api/engine_fixture.h"
#include "kestrane.h"
#include "protocol/interpreter.h"
#include "search/learned_list.h"
#include "search/learning_path.h"
#include "search/learning_file.h"
#include "search/learning_temp_dir.h"
#include "search/trans_table.h"

// The started engine's learning file pointed into a temporary directory.
class LearningEngineFile : public LearningTempDir {
 protected:
  void SetUp() override {
    LearningTempDir::SetUp();
    EnsureEngine();  // start-up sets the path, so it comes first
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

// The interpreter's commands: "Clear PosLearning" deletes the file and empties the list,
// "ucinewgame" only empties the list.
TEST_F(LearningEngineFile, ClearPosLearningAndNewGame) {
  auto run = [](const char* command) {
    std::string line = command;
    ExecuteCommand(line.data());
  };
  TransEntry* slot = TransSlotA(0, 4242);
  auto listOne = [slot] {
    WriteTransEntry(slot, 0x4242, 0x11, 0, PackTransData(0, 2, 5));
    uint32_t words[4] = {slot->lock, slot->move, slot->move2, slot->data};
    AddLearned(slot, words);
    ASSERT_EQ(EntryGeneration(*slot), 1u);
  };
  // Whether the listed entry would come back when the next infinite analysis begins.
  auto comesBack = [slot] {
    WriteTransEntry(slot, 0x5151, 0x22, 0, PackTransData(0, 2, 5));
    ReinsertLearned();
    TransEntry read;
    return ReadTransEntry(slot, 0x4242, &read) != 0;
  };
  WriteRecords(path_, 3);
  listOne();
  run("ucinewgame");
  EXPECT_FALSE(comesBack());
  EXPECT_EQ(CountLearningRecords(Path()), 3);
  listOne();
  run("setoption name Clear PosLearning");
  EXPECT_FALSE(comesBack());
  EXPECT_FALSE(std::filesystem::exists(path_));
}

// The whole start-up: a restarted engine trims the file in its directory.
TEST(SlowLearningStartUp, KestraneInitTrimsTheLearningFile) {
  EnsureEngine();
  std::string path = EngineDirectory() + "kestrane.pl2";
  {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::string records(size_t(LearningRecordSize) * 300000, '\0');
    for (int i = 0; i < 300000; i++) records[size_t(i) * LearningRecordSize] = char(i & 0xFF);
    fwrite(records.data(), 1, records.size(), f);
    fclose(f);
  }
  KestraneQuit();
  ASSERT_EQ(KestraneInit(TestHashKb, &RecordingCallbacks, EngineDirectory().c_str(), 0), TestHashKb);
  EXPECT_EQ(CountLearningRecords(path.c_str()), LearningTrimKeep);
  FILE* f = fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(fgetc(f), (300000 - int(LearningTrimKeep)) & 0xFF);  // the first record kept
  fclose(f);
  std::filesystem::remove(path);
}
