// `kestrane tb compress` as users run it: compressed copies that register and read like the
// plain files, plain files kept unless --remove, and a refused directory reported.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "kestrane.h"
#include "tablebase/datacomp_files.h"
#include "tablebase/registry.h"
#include "tablebase/registry_fixture.h"
#include "tablebase/table_read.h"

namespace {

struct Outcome {
  int status;
  std::string output;
};

Outcome RunKestrane(const std::string& arguments) {
  std::string command = std::string(KESTRANE_PROGRAM) + " " + arguments + " 2>&1";
  Outcome outcome{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return outcome;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe)) outcome.output += buffer;
  int status = pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class DatacompCommand : public TablebaseFixture {};

TEST_F(DatacompCommand, CompressedCopiesReadLikeThePlainFiles) {
  const int krk = EndgameRecordByName("krk");
  struct Case {
    const char* options;
    bool plainKept;
  };
  const Case cases[] = {{"", true}, {"--remove ", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    for (int side = 0; side < 2; side++) {
      Bytes plain(TablePartBytes(krk, side));
      for (size_t i = 0; i < plain.size(); i++) plain[i] = uint8_t(i % 64 < 20 ? i % 5 : 0);
      WriteBytes(dir.File(TableFileName(krk, side)), plain);
    }
    Outcome run = RunKestrane(std::string("tb compress ") + c.options + dir.path);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("total: 2 files"), std::string::npos) << run.output;
    for (int side = 0; side < 2; side++) {
      EXPECT_TRUE(Exists(dir.File(TableFileName(krk, side) + ".emd")));
      EXPECT_EQ(Exists(dir.File(TableFileName(krk, side))), c.plainKept);
    }
    // Only the compressed files: they register, and a value in the last block reads back.
    for (int side = 0; side < 2; side++) remove(dir.File(TableFileName(krk, side)).c_str());
    ASSERT_EQ(InitExtern(dir.path), 3);
    ASSERT_NE(TbRecords[krk].side[1].compressed[0], nullptr);
    uint64_t last = TablePartBytes(krk, 1) - 1;
    int32_t raw;
    ASSERT_EQ(ReadTableValue(krk, 1, last, &raw), 1);
    int b = int(last % 64 < 20 ? last % 5 : 0);
    EXPECT_EQ(raw, b == 0 ? 0 : b + 32640);
    TBExit();
    --initCalls;
    for (int side = 0; side < 2; side++) remove(dir.File(TableFileName(krk, side) + ".emd").c_str());
  }
}

TEST_F(DatacompCommand, MissingDirectoryIsReported) {
  Outcome run = RunKestrane("tb compress " + dir.File("absent"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("cannot open directory"), std::string::npos) << run.output;
  EXPECT_EQ(RunKestrane("tb compress").status, 2);
}

}  // namespace
