// `kestrane analyse [--fen FEN] [--depth D | --movetime MS | --nodes N] [--multipv K]`:
// one search, printed as UCI info lines and a bestmove line.
#pragma once

int AnalyseCommand(int argc, char** argv);  // argv[0] is "analyse"
