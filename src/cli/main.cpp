// The kestrane program: the UCI loop without arguments, a tool subcommand otherwise.
#include <cstdio>
#include <cstring>

#include "cli/eval_command.h"
#include "cli/perft_command.h"

struct Subcommand {
  const char* name;
  int (*run)(int argc, char** argv);  // argv[0] is the subcommand's name
};

static const Subcommand Subcommands[] = {
    {"perft", PerftCommand},
    {"eval", EvalCommand},
    {nullptr, nullptr},
};

static void PrintUsage(FILE* out) {
  fprintf(out, "usage: kestrane COMMAND [ARGUMENTS]; commands:");
  for (const Subcommand* s = Subcommands; s->name; ++s) fprintf(out, " %s", s->name);
  fprintf(out, "\n");
}

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stdout);
    return 0;
  }
  for (const Subcommand* s = Subcommands; s->name; ++s)
    if (strcmp(argv[1], s->name) == 0) return s->run(argc - 1, argv + 1);
  fprintf(stderr, "kestrane: unknown command '%s'\n", argv[1]);
  PrintUsage(stderr);
  return 2;
}
