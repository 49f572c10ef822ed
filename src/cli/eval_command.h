// `kestrane eval [FEN]`: the evaluation of a position by term group.
#pragma once

// argv[0] is "eval"; the FEN may come as one argument or as its fields in several.
int EvalCommand(int argc, char** argv);
