#include "cli/tb_probe_command.h"

#include <cstdio>

int TbProbeCommand(int, char**) {
  fprintf(stderr, "kestrane tb probe: not available in this build\n");
  return 2;
}
