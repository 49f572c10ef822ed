// The `eval` report: term groups, the total as the last line, and clean failures.
#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "eval/eval_fixture.h"
#include "eval/eval_report.h"

namespace {

struct Captured {
  int status;
  std::string out, err;
};

Captured RunReport(const char* fen) {
  FILE* out = tmpfile();
  FILE* err = tmpfile();
  Captured c{EvalReport(fen, out, err), "", ""};
  for (FILE* f : {out, err}) {
    std::string& text = f == out ? c.out : c.err;
    rewind(f);
    char buffer[256];
    while (fgets(buffer, sizeof buffer, f)) text += buffer;
    fclose(f);
  }
  return c;
}

std::string LastLine(const std::string& text) {
  size_t end = text.find_last_not_of('\n');
  size_t start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}

}  // namespace

TEST(EvalReport, PrintsTheGroupsAndTheTotalOfEvaluate) {
  const char* fen = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R b KQ - 0 8";
  Captured c = RunReport(fen);
  EXPECT_EQ(c.status, 0);
  EXPECT_TRUE(c.err.empty());
  for (int g = 0; g < EvalGroupCount; g++)
    EXPECT_NE(c.out.find(std::string(EvalGroupName[g]) + ": "), std::string::npos) << EvalGroupName[g];
  EvalSetup s;
  s.Load(fen);
  EXPECT_EQ(LastLine(c.out), "Total: " + std::to_string(s.Full()));
}

TEST(EvalReport, WithoutAPositionEvaluatesTheStart) {
  Captured c = RunReport(nullptr);
  EXPECT_EQ(c.status, 0);
  EXPECT_EQ(LastLine(c.out), "Total: 10");  // the side to move's ten points
}

TEST(EvalReport, BadPositionsFailWithOneLine) {
  std::string longJunk(100000, 'Q');
  const char* bad[] = {"", "not a fen", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1",
                       "8/8/8/8/8/8/8/8 w - - 0 1", "4k3/8/8/8/8/8/8/4KK2 w - - 0 1",
                       "4k3/4Q3/8/8/8/8/8/4K3 w - - 0 1", "P3k3/8/8/8/8/8/8/4K3 w - - 0 1", longJunk.c_str()};
  for (const char* fen : bad) {
    Captured c = RunReport(fen);
    EXPECT_EQ(c.status, 2) << fen;
    EXPECT_TRUE(c.out.empty()) << fen;
    EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 1) << fen;
  }
}
