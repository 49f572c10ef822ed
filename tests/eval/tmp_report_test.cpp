#include <cstdlib>
#include <gtest/gtest.h>
#include "eval/eval_report.h"
TEST(TmpReport, Show) {
  const char* f = getenv("FEN");
  EvalReport(f, stdout, stdout);
}
