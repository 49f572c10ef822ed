// `kestrane tb gen` run as users run it: a real process writing real files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The kestrane program beside the test program.
std::string ProgramPath() {
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "";
  self[n] = 0;
  std::string path = self;
  return path.substr(0, path.rfind('/') + 1) + "kestrane";
}

struct Outcome {
  int status;
  std::string output;  // standard error and output together
};

Outcome RunProgram(const std::string& arguments) {
  std::string command = ProgramPath() + " " + arguments + " 2>&1";
  Outcome outcome{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return outcome;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe)) outcome.output += buffer;
  int status = pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

off_t FileSize(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

class TbGenCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access(ProgramPath().c_str(), X_OK) != 0) GTEST_SKIP() << "kestrane is not built beside the tests";
    char pattern[] = "/tmp/kestrane_tbgen_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    if (!dir.empty()) {
      EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
    }
  }
  std::string dir;
};

TEST_F(TbGenCommand, WritesBothSidesAndOneLinePerTable) {
  Outcome run = RunProgram("tb gen --out " + dir + " krk");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(FileSize(dir + "/krk.nbw"), 27030);
  EXPECT_EQ(FileSize(dir + "/krk.nbb"), 28644);
  EXPECT_NE(run.output.find("krk"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("longest win 16"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find('\r'), std::string::npos) << "no progress bar when stderr is not a terminal";
}

TEST_F(TbGenCommand, RefusesWhatItCannotMake) {
  struct Case {
    const char* arguments;
    int status;
    const char* says;
  };
  static const Case cases[] = {
      {"tb gen --out DIR kqrkrn", 2, "six-piece"},
      {"tb gen --out DIR kxk", 1, "not an endgame"},
      {"tb gen --out DIR krkq", 1, "stronger side first"},
      {"tb gen --out DIR/missing/deeper kqk", 1, "cannot write"},
      {"tb gen --all 6", 2, "six-piece"},
      {"tb gen --all 5", 2, "one by one"},
      {"tb gen --out DIR kqqqqkq", 2, "not an endgame"},
      {"tb gen", 2, "usage"},
  };
  for (const Case& c : cases) {
    std::string arguments = c.arguments;
    size_t at = arguments.find("DIR");
    if (at != std::string::npos) arguments.replace(at, 3, dir);
    Outcome run = RunProgram(arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments << ": " << run.output;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << c.arguments << ": " << run.output;
  }
}

}  // namespace
