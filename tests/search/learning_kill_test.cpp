// The learning file after real kills: a child process appending records or trimming the
// file is killed at random moments; every record left must read back whole, and the next
// start must trim and append as usual.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <vector>

#include "search/learning_file.h"
#include "search/learning_temp_dir.h"

using LearningKill = LearningTempDir;

static void CheckRecord(const LearningRecord* record, void* context) {
  auto* bad = static_cast<int*>(context);
  LearningRecord expected = NumberedRecord(record->lock);
  uint8_t got[LearningRecordSize], want[LearningRecordSize];
  EncodeLearningRecord(record, got);
  EncodeLearningRecord(&expected, want);
  if (memcmp(got, want, sizeof got) != 0) ++*bad;
}

// Every whole record of the file is one the writer wrote; returns the record count (0 for
// a file the writer never created).
static int64_t CheckFile(const char* path) {
  int bad = 0;
  int64_t count = ReadLearningRecords(path, 0, CheckRecord, &bad);
  EXPECT_EQ(bad, 0);
  return count < 0 ? 0 : count;
}

// Runs `work` in a child process and kills it after a random delay.
template <typename Work>
static void KillDuring(std::mt19937& random, int maxDelayUs, Work work) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    work();
    _exit(0);
  }
  usleep(std::uniform_int_distribution<int>(0, maxDelayUs)(random));
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
}

TEST_F(LearningKill, AppendingWriterKilledLeavesWholeRecords) {
  std::mt19937 random(11);
  int appended = 0;  // rounds in which the writer got records out before the kill
  for (int round = 0; round < 25; round++) {
    KillDuring(random, 3000, [&] {
      for (uint32_t n = 0;; n++) {
        LearningRecord r = NumberedRecord(round * 1000000u + n);
        AppendLearningRecord(Path(), &r);
      }
    });
    int64_t before = CheckFile(Path());
    appended += before > 0;
    LearningRecord r = NumberedRecord(424242);
    ASSERT_EQ(AppendLearningRecord(Path(), &r), 1);
    ASSERT_EQ(CheckFile(Path()), before + 1);
  }
  EXPECT_GT(appended, 0);
}

TEST_F(LearningKill, TrimKilledLeavesTheOldOrTheNewFileAndTheNextStartTrims) {
  std::mt19937 random(12);
  constexpr int64_t Threshold = 20000, Keep = 15000;
  for (int round = 0; round < 12; round++) {
    {
      FILE* f = fopen(Path(), "wb");
      ASSERT_NE(f, nullptr);
      uint8_t bytes[LearningRecordSize];
      for (uint32_t n = 0; n < 40000; n++) {
        LearningRecord r = NumberedRecord(n);
        EncodeLearningRecord(&r, bytes);
        fwrite(bytes, 1, sizeof bytes, f);
      }
      fclose(f);
    }
    KillDuring(random, 20000, [&] { TrimLearningRecords(Path(), Threshold, Keep); });
    int64_t left = CheckFile(Path());
    EXPECT_TRUE(left == 40000 || left == Keep) << left;
    EXPECT_EQ(TrimLearningRecords(Path(), Threshold, Keep), left == 40000 ? 1 : 0);
    EXPECT_EQ(CheckFile(Path()), Keep);
    EXPECT_FALSE(std::filesystem::exists(path_ + ".trim"));
  }
}
