#include "cli/eval_command.h"
#include <cstdio>
#include <string>
#include "eval/eval_report.h"

int EvalCommand(int argc, char** argv) {
  if (argc < 2) return EvalReport(nullptr, stdout, stderr);
  std::string fen;
  for (int i = 1; i < argc; i++) {
    if (i > 1) fen += ' ';
    fen += argv[i];
  }
  return EvalReport(fen.c_str(), stdout, stderr);
}
