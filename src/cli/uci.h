// The kestrane program's UCI mode: commands from standard input, answers on standard output.
#pragma once

// Runs until "quit" or the end of input; returns the process status.
int UciMain();
