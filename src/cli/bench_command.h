// `kestrane bench [DEPTH]`: a fixed set of positions searched to a fixed depth with fresh
// tables; the node total is the engine's signature.
#pragma once

int BenchCommand(int argc, char** argv);  // argv[0] is "bench"
