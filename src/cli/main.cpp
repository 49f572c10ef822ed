// The kestrane program: the UCI loop without arguments, a tool subcommand otherwise.
#include <cstdio>
#include <cstring>

#include "cli/analyse_command.h"
#include "cli/bench_command.h"
#include "cli/eval_command.h"
#include "cli/learn_command.h"
#include "cli/perft_command.h"
#include "cli/tb_command.h"
#include "cli/uci.h"

struct Subcommand {
  const char* name;
  int (*run)(int argc, char** argv);  // argv[0] is the subcommand's name
};

static const Subcommand Subcommands[] = {
    {"analyse", AnalyseCommand},
    {"bench", BenchCommand},
    {"perft", PerftCommand},
    {"eval", EvalCommand},
    {"learn", LearnCommand},
    {"tb", TbCommand},
    {nullptr, nullptr},
};

static void PrintUsage(FILE* out) {
  fprintf(out, "usage: kestrane COMMAND [ARGUMENTS]; commands:");
  for (const Subcommand* s = Subcommands; s->name; ++s) fprintf(out, " %s", s->name);
  fprintf(out, "\n");
}

int main(int argc, char** argv) {
  if (argc < 2) return UciMain();
  for (const Subcommand* s = Subcommands; s->name; ++s)
    if (strcmp(argv[1], s->name) == 0) return s->run(argc - 1, argv + 1);
  fprintf(stderr, "kestrane: unknown command '%s'\n", argv[1]);
  PrintUsage(stderr);
  return 2;
}
