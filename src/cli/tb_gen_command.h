// `kestrane tb gen`.
#pragma once

int TbGenCommand(int argc, char** argv);  // argv[0] is "gen"
