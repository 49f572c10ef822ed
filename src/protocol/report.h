// Search reports to the host: the current root move, principal-variation lines, the periodic
// node count and the final node report.
#pragma once
#include <cstdint>
#include "board/types.h"
#include "search/search_reports.h"

struct Position;

constexpr int ReportLineSize = 512;

// The search's reports formatted for the host: its callbacks and the interpreter's output.
// Start-up installs them as the search's Reports.
extern const SearchReports InterpreterReports;

// max(depth, the plies of the current line below the root), at most 99.
int SelectiveDepth(const Position* pos, int depth);
// The score the host receives: mates as +-(32767 - plies), other scores unchanged.
int HostScore(int score);
// "mate 3 ", "mate -0 ", "mate 250 lowerbound ", "cp 31 "; returns the length written.
int FormatScore(char* buffer, int size, int score);
// Nodes per second from a node total and milliseconds, in single precision; 0 for no time.
int32_t NodesPerSecond(uint64_t nodes, int32_t ms);

// The rank (1-based) of the line last handed to ReportLine; 1 outside the multi-line mode.
extern int32_t ReportedLineRank;
// Set when a line reached the host's ReportLine callback; cleared by each analysis.
extern int32_t LineSentFlag;
