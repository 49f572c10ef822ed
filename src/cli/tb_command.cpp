// `kestrane tb gen ...`, `kestrane tb probe ...` and `kestrane tb compress ...`.
#include "cli/tb_command.h"

#include <cstdio>
#include <cstring>

#include "cli/tb_compress_command.h"
#include "cli/tb_gen_command.h"
#include "cli/tb_probe_command.h"

int TbCommand(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "gen") == 0) return TbGenCommand(argc - 1, argv + 1);
  if (argc >= 2 && strcmp(argv[1], "probe") == 0) return TbProbeCommand(argc - 1, argv + 1);
  if (argc >= 2 && strcmp(argv[1], "compress") == 0) return TbCompressCommand(argc - 1, argv + 1);
  fprintf(stderr, "usage: kestrane tb gen [--out DIR] [--emd] NAME... | --all N\n"
                  "       kestrane tb probe [--path DIRS] [FEN]\n"
                  "       kestrane tb compress [--remove] DIR...\n");
  return 2;
}
