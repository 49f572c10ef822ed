#include <gtest/gtest.h>
#include <filesystem>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "search/learning_file.h"
#include "search/learning_temp_dir.h"

using LearningFile = LearningTempDir;

static void Collect(const LearningRecord* record, void* context) {
  static_cast<std::vector<LearningRecord>*>(context)->push_back(*record);
}

static std::vector<LearningRecord> ReadAll(const char* path, int64_t first = 0) {
  std::vector<LearningRecord> records;
  ReadLearningRecords(path, first, Collect, &records);
  return records;
}

// Writes `count` numbered records quickly in one buffered stream.
static void WriteNumbered(const char* path, uint32_t count) {
  FILE* f = fopen(path, "wb");
  ASSERT_NE(f, nullptr);
  uint8_t bytes[LearningRecordSize];
  for (uint32_t n = 0; n < count; n++) {
    LearningRecord r = NumberedRecord(n);
    EncodeLearningRecord(&r, bytes);
    ASSERT_EQ(fwrite(bytes, 1, sizeof bytes, f), sizeof bytes);
  }
  fclose(f);
}

TEST_F(LearningFile, AppendedRecordsReadBackInOrder) {
  for (uint32_t n = 0; n < 250; n++) {
    LearningRecord r = NumberedRecord(n);
    ASSERT_EQ(AppendLearningRecord(Path(), &r), 1);
  }
  EXPECT_EQ(CountLearningRecords(Path()), 250);
  std::vector<LearningRecord> records = ReadAll(Path());
  ASSERT_EQ(records.size(), 250u);
  for (uint32_t n = 0; n < 250; n++) {
    EXPECT_EQ(records[n].lock, n);
    EXPECT_EQ(records[n].slotKey, ~n);
  }
  EXPECT_EQ(ReadAll(Path(), 240).size(), 10u);
  EXPECT_EQ(ReadAll(Path(), 240)[0].lock, 240u);
  EXPECT_EQ(ReadAll(Path(), 400).size(), 0u);
}

TEST_F(LearningFile, MissingFileHasNoRecordsAndCannotBeRead) {
  EXPECT_EQ(CountLearningRecords(Path()), 0);
  EXPECT_EQ(ReadAll(Path()).size(), 0u);
  EXPECT_EQ(ReadLearningRecords(Path(), 0, Collect, nullptr), -1);
  EXPECT_EQ(TrimLearningRecords(Path(), 10, 5), 0);
}

TEST_F(LearningFile, TrailingPartialRecordIsIgnored) {
  WriteNumbered(Path(), 3);
  FILE* f = fopen(Path(), "ab");
  fwrite("partial", 1, 7, f);
  fclose(f);
  EXPECT_EQ(CountLearningRecords(Path()), 3);
  std::vector<LearningRecord> records = ReadAll(Path());
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[2].lock, 2u);
}

TEST_F(LearningFile, AppendIntoMissingDirectoryFails) {
  std::string path = dir_ + "/no/such/dir/kestrane.pl2";
  LearningRecord r = NumberedRecord(1);
  EXPECT_EQ(AppendLearningRecord(path.c_str(), &r), 0);
  EXPECT_EQ(CountLearningRecords(path.c_str()), 0);
}

TEST_F(LearningFile, PathThatIsADirectoryIsNeitherReadNorWritten) {
  std::string path = dir_ + "/subdir";
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  LearningRecord r = NumberedRecord(1);
  EXPECT_EQ(AppendLearningRecord(path.c_str(), &r), 0);
  EXPECT_EQ(ReadAll(path.c_str()).size(), 0u);
  EXPECT_EQ(TrimLearningRecords(path.c_str(), 0, 0), 0);
}

TEST_F(LearningFile, ThreeHundredThousandRecordsTrimToTheLast235929) {
  WriteNumbered(Path(), 300000);
  ASSERT_EQ(TrimLearningRecords(Path(), LearningTrimThreshold, LearningTrimKeep), 1);
  EXPECT_EQ(CountLearningRecords(Path()), LearningTrimKeep);
  std::vector<LearningRecord> records = ReadAll(Path());
  ASSERT_EQ(records.size(), size_t(LearningTrimKeep));
  uint32_t firstKept = 300000 - uint32_t(LearningTrimKeep);
  for (size_t i = 0; i < records.size(); i += 9973) EXPECT_EQ(records[i].lock, firstKept + i);
  EXPECT_EQ(records.back().lock, 299999u);
  EXPECT_FALSE(std::filesystem::exists(path_ + ".trim"));
}

TEST_F(LearningFile, FileAtTheThresholdIsUntouched) {
  WriteNumbered(Path(), uint32_t(LearningTrimThreshold));
  auto before = std::filesystem::last_write_time(path_);
  EXPECT_EQ(TrimLearningRecords(Path(), LearningTrimThreshold, LearningTrimKeep), 0);
  EXPECT_EQ(CountLearningRecords(Path()), LearningTrimThreshold);
  EXPECT_EQ(std::filesystem::last_write_time(path_), before);
  EXPECT_EQ(ReadAll(Path(), 0)[0].lock, 0u);
}

TEST_F(LearningFile, TrimTakesOverACopyLeftByAKilledTrim) {
  WriteNumbered(Path(), 20);
  std::string copy = path_ + ".trim";
  FILE* f = fopen(copy.c_str(), "wb");
  fwrite("half a copy", 1, 11, f);
  fclose(f);
  EXPECT_EQ(TrimLearningRecords(Path(), 10, 5), 1);
  EXPECT_EQ(CountLearningRecords(Path()), 5);
  EXPECT_EQ(ReadAll(Path())[0].lock, 15u);
  EXPECT_FALSE(std::filesystem::exists(copy));
}

TEST_F(LearningFile, TrimBacksOffWhileAnotherProcessHoldsTheCopy) {
  WriteNumbered(Path(), 20);
  std::string copy = path_ + ".trim";
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    int fd = open(copy.c_str(), O_RDWR | O_CREAT, 0644);
    char ok = TryLockOpenFile(fd) ? 'y' : 'n';
    if (write(ready[1], &ok, 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  EXPECT_EQ(ok, 'y');
  EXPECT_EQ(TrimLearningRecords(Path(), 10, 5), 0);
  EXPECT_EQ(CountLearningRecords(Path()), 20);
  EXPECT_TRUE(std::filesystem::exists(copy));
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_EQ(TrimLearningRecords(Path(), 10, 5), 1);
  EXPECT_EQ(ReadAll(Path())[0].lock, 15u);
  close(ready[0]);
  close(ready[1]);
}

TEST_F(LearningFile, AppendCutsOffAPartialRecordFirst) {
  WriteNumbered(Path(), 3);
  FILE* f = fopen(Path(), "ab");
  fwrite("partial", 1, 7, f);
  fclose(f);
  LearningRecord r = NumberedRecord(77);
  ASSERT_EQ(AppendLearningRecord(Path(), &r), 1);
  std::vector<LearningRecord> records = ReadAll(Path());
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[3].lock, 77u);
  EXPECT_EQ(std::filesystem::file_size(path_), 4 * uintmax_t(LearningRecordSize));
}

TEST_F(LearningFile, TrimInAReadOnlyDirectoryKeepsTheFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  WriteNumbered(Path(), 20);
  ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
  EXPECT_EQ(TrimLearningRecords(Path(), 10, 5), 0);
  chmod(dir_.c_str(), 0755);
  EXPECT_EQ(CountLearningRecords(Path()), 20);
}

// Two processes appending at once never interleave the bytes of their records.
TEST_F(LearningFile, ConcurrentAppendsKeepRecordsWhole) {
  const uint32_t perWriter = 3000;
  pid_t children[2];
  for (int w = 0; w < 2; w++) {
    children[w] = fork();
    ASSERT_GE(children[w], 0);
    if (children[w] == 0) {
      for (uint32_t n = 0; n < perWriter; n++) {
        LearningRecord r = NumberedRecord(uint32_t(w) << 24 | n);
        if (!AppendLearningRecord(Path(), &r)) _exit(1);
      }
      _exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::vector<LearningRecord> records = ReadAll(Path());
  ASSERT_EQ(records.size(), 2 * perWriter);
  uint32_t next[2] = {0, 0};
  for (const LearningRecord& r : records) {
    LearningRecord expected = NumberedRecord(r.lock);
    uint8_t got[LearningRecordSize], want[LearningRecordSize];
    EncodeLearningRecord(&r, got);
    EncodeLearningRecord(&expected, want);
    ASSERT_EQ(0, memcmp(got, want, sizeof got));
    int writer = int(r.lock >> 24);
    ASSERT_LT(writer, 2);
    EXPECT_EQ(r.lock & 0xFFFFFF, next[writer]++);
  }
}
