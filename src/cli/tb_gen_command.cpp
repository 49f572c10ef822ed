#include "cli/tb_gen_command.h"

#include <cstdio>

int TbGenCommand(int, char**) {
  fprintf(stderr, "kestrane tb gen: not available in this build\n");
  return 2;
}
