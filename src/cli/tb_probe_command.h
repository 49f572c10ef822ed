// `kestrane tb probe`.
#pragma once

int TbProbeCommand(int argc, char** argv);  // argv[0] is "probe"
