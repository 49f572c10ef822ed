// The `kestrane eval` tool run as a user runs it: term groups, the total as the last line,
// and one line on stderr with status 2 for a position it cannot evaluate.
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "eval/eval_fixture.h"

namespace {

struct Outcome {
  int status;
  std::string out, err;
};

std::string ReadFile(FILE* f) {
  std::string text;
  char buffer[256];
  rewind(f);
  while (fgets(buffer, sizeof buffer, f)) text += buffer;
  return text;
}

// Runs the program with `eval` and each argument single-quoted.
Outcome RunEval(const std::vector<std::string>& args) {
  char errPath[] = "/tmp/kestrane_eval_errXXXXXX";
  int fd = mkstemp(errPath);
  EXPECT_GE(fd, 0);
  std::string command = std::string("'") + KESTRANE_PROGRAM + "' eval";
  for (const std::string& arg : args) command += " '" + arg + "'";
  command += std::string(" 2>") + errPath;
  Outcome o{-1, "", ""};
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) o.out += buffer;
    int status = pclose(pipe);
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  if (FILE* err = fdopen(fd, "r")) {
    o.err = ReadFile(err);
    fclose(err);
  }
  remove(errPath);
  return o;
}

std::string LastLine(const std::string& text) {
  size_t end = text.find_last_not_of('\n');
  size_t start = text.rfind('\n', end);
  start = start == std::string::npos ? 0 : start + 1;
  return text.substr(start, end - start + 1);
}

}  // namespace

TEST(EvalCommand, PrintsTheGroupsAndTheTotalOfEvaluate) {
  const char* fen = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R b KQ - 0 8";
  Outcome o = RunEval({"r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R", "b", "KQ", "-", "0", "8"});
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(o.err.empty()) << o.err;
  for (int g = 0; g < EvalGroupCount; g++)
    EXPECT_NE(o.out.find(std::string(EvalGroupName[g]) + ": "), std::string::npos) << EvalGroupName[g];
  EvalSetup s;
  s.Load(fen);
  EXPECT_EQ(LastLine(o.out), "Total: " + std::to_string(s.Full()));
}

TEST(EvalCommand, WithoutAPositionEvaluatesTheStart) {
  Outcome o = RunEval({});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(LastLine(o.out), "Total: 10");  // the side to move's ten points
}

TEST(EvalCommand, BadPositionsFailWithOneLine) {
  std::string longJunk(100000, 'Q');
  const char* bad[] = {"", "not a fen", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1",
                       "8/8/8/8/8/8/8/8 w - - 0 1", "4k3/8/8/8/8/8/8/4KK2 w - - 0 1",
                       "4k3/4Q3/8/8/8/8/8/4K3 w - - 0 1", "P3k3/8/8/8/8/8/8/4K3 w - - 0 1", longJunk.c_str()};
  for (const char* fen : bad) {
    Outcome o = RunEval({fen});
    EXPECT_EQ(o.status, 2) << fen;
    EXPECT_TRUE(o.out.empty()) << fen;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << fen;
  }
}
