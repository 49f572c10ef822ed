// `kestrane tb probe` run as a separate process on written tables.
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "tablebase/registry_fixture.h"

namespace {

std::string KestraneProgram() {
  char self[PATH_MAX] = {};
  ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path(self, length > 0 ? size_t(length) : 0);
  return path.substr(0, path.rfind('/') + 1) + "kestrane";
}

struct CommandRun {
  std::string out;
  int status;
};

CommandRun RunShell(const std::string& command) {
  CommandRun run{"", -1};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class TbProbeCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(access(KestraneProgram().c_str(), X_OK), 0) << KestraneProgram();
    krk = EndgameRecordByName("krk");
    WriteTableFiles(dir.path, krk);
    Store("8/8/8/3k4/8/8/8/K6R w - - 0 1", 3);
    Store("8/8/8/3k3R/8/8/8/K7 b - - 0 1", -2);  // after h1h5
    Store("8/8/8/3k4/8/8/8/1K5R b - - 0 1", -5);  // after a1b1
  }
  void Store(const char* fen, int32_t result) {
    ProbeArgs args = ProbeArgsOfFen(fen);
    WriteResult(dir.path, krk, args.side, IndexOfPosition(krk, args), result);
  }
  std::string Command(const std::string& arguments) { return KestraneProgram() + " tb probe --path " + dir.path + " " + arguments; }
  TempDirectory dir;
  int krk = 0;
};

TEST_F(TbProbeCommand, TableOfMovesBestFirst) {
  CommandRun run = RunShell(Command("8/8/8/3k4/8/8/8/K6R w - - 0 1"));
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.find("White to move: mate in 3\n"), 0u) << run.out;
  size_t first = run.out.find("h1h5     Rh1-h5   mate in 3\n"),
         second = run.out.find("a1b1     Ka1-b1   mate in 6\n");
  size_t draw = run.out.find("     draw\n");
  EXPECT_NE(first, std::string::npos) << run.out;
  EXPECT_LT(first, second) << run.out;
  EXPECT_LT(second, draw) << run.out;
  // 16 legal moves: 3 king moves and 13 rook moves.
  int rows = 0;
  for (size_t at = run.out.find("\nh1"); at != std::string::npos; at = run.out.find("\nh1", at + 1)) ++rows;
  for (size_t at = run.out.find("\na1"); at != std::string::npos; at = run.out.find("\na1", at + 1)) ++rows;
  EXPECT_EQ(rows, 16) << run.out;
}

TEST_F(TbProbeCommand, OneLinePerFenFromInput) {
  const std::string input =
      "8/8/8/3k4/8/8/8/K6R w - - 0 1\\n"
      "not a fen\\n"
      "8/8/8/3k4/8/8/8/K6R b - - 0 1\\n"
      "8/8/8/3k4/8/8/8/1K5R b - - 0 1\\n"
      "8/8/8/3k4/8/8/8/KQ6 w - - 0 1\\n"
      "3k3R/8/3K4/8/8/8/8/8 b - - 0 1\\n"
      "3k4/8/3K4/8/8/8/8/8 b - - 0 1\\n";
  CommandRun run = RunShell("printf '" + input + "' | " + Command(""));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "mate in 3, best h1h5\n"
            "error: not a legal position\n"
            "draw, best d5c5\n"
            "mated in 5, best d5c5\n"  // only the position itself has a value written
            "not registered: endgame kqk\n"
            "checkmated\n"
            "draw, best d8c8\n");  // bare kings
}

TEST_F(TbProbeCommand, ClearMessagesForWhatItCannotAnswer) {
  CommandRun unregistered = RunShell(Command("8/8/8/3k4/8/8/8/KQ6 w - - 0 1"));
  EXPECT_EQ(unregistered.status, 1);
  EXPECT_NE(unregistered.out.find("endgame kqk (White's pieces first) is not registered"), std::string::npos)
      << unregistered.out;
  CommandRun bad = RunShell(Command("8/8/9/k/K w"));
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.out.find("not a legal position"), std::string::npos) << bad.out;
  CommandRun none = RunShell(KestraneProgram() + " tb probe --path /no/such/dir '8/8/8/3k4/8/8/8/K6R w - - 0 1'");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.out.find("no tablebase files found"), std::string::npos) << none.out;
  CommandRun noPath = RunShell(KestraneProgram() + " tb probe --path");
  EXPECT_EQ(noPath.status, 2);
  EXPECT_NE(noPath.out.find("--path needs"), std::string::npos) << noPath.out;
}

TEST_F(TbProbeCommand, WithoutPathTheSettingsFileOfTheCurrentDirectory) {
  TempDirectory engine;
  FILE* ini = fopen(engine.File("Morvelin.ini").c_str(), "w");
  ASSERT_NE(ini, nullptr);
  fprintf(ini, "[Tablebase]\nPath=%s\nCacheSizeKB=2048\n", dir.path.c_str());
  fclose(ini);
  CommandRun run = RunShell("cd " + engine.path + " && " + KestraneProgram() + " tb probe 8/8/8/3k4/8/8/8/K6R w - - 0 1");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.find("White to move: mate in 3\n"), 0u) << run.out;
}

}  // namespace
