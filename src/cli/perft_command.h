// `kestrane perft DEPTH [FEN]`: per-move leaf counts and their total.
#pragma once

// argv[0] is "perft". Returns 0, or 2 after a one-line error on stderr.
int PerftCommand(int argc, char** argv);
