// `kestrane tb compress`.
#pragma once

int TbCompressCommand(int argc, char** argv);  // argv[0] is "compress"
