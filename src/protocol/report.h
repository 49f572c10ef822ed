// Search reports to the host: the current root move, principal-variation lines, the periodic
// node count and the final node report.
#pragma once
#include <cstdint>
#include "board/types.h"

struct Position;
struct PlyState;

enum BoundKind { BoundExact = 0, BoundUpper = 1, BoundLower = 2 };
constexpr int IterationDoneTag = 999;  // move number of the line made when an iteration ends
constexpr int ReportLineSize = 512;

// From depth 8 on: the current root move, and a new depth when the selective depth changed too.
void ReportRootMove(int silent, int depth, int number, int count, Move move);
// A principal-variation line for the root search's best move; the score is from the side to
// move at the root, the bound one of BoundKind.
void ReportPrincipalLine(Position* pos, int depth, int moveNumber, int elapsed, int score, int bound);
// The same for any root move, reported as line `rank` of several.
void ReportLineOf(Position* pos, Move move, int rank, int depth, int moveNumber, int elapsed, int score,
                  int bound);
// The final node report into the interpreter's output; cpuLoad in permille of one processor.
void ReportSearchEnd(Position* pos, uint32_t startTick, int cpuLoad);
// Made at the clock checks: the node count at most every 1500 ms after the first two seconds.
void ReportPeriodicNodes(Position* pos);

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
// The root ply state of the running search (the variation walk starts there).
extern PlyState* ReportRootNode;
