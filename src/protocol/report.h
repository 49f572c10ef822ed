// Search reports to the host: the current root move, principal-variation lines, the periodic
// node count and the final node report.
#pragma once
#include <cstdint>
#include "board/types.h"

struct Position;

enum BoundKind { BoundExact = 0, BoundUpper = 1, BoundLower = 2 };
constexpr int IterationDoneTag = 999;  // move number of the line made when an iteration ends
constexpr int ReportLineSize = 512;

// From depth 8 on: the current root move, and a new depth when the selective depth changed too.
void ReportRootMove(int silent, int depth, int number, int count, Move move);
// A principal-variation line for the root search's best move.
void ReportPrincipalLine(Position* pos, int depth, int moveNumber, int elapsed, int score, int bound);
// The same for a given root move, as line `rank` of several (multi-line mode).
void ReportLineOf(Position* pos, Move move, int rank, int depth, int moveNumber, int elapsed, int score,
                  int bound);
// The final node report; cpuLoad in permille of one processor.
void ReportSearchEnd(Position* pos, int64_t startTick, int cpuLoad);
// Made at the clock checks: the node count at most every 1500 ms after the first two seconds.
void ReportPeriodicNodes(Position* pos);

int SelectiveDepth(const Position* pos, int depth);
int HashFill();                        // permille of the main transposition table in use
int HostScore(int score);              // mates as 32767 - plies
int FormatScore(char* buffer, int size, int score);  // "mate 3 ", "cp 31 "; returns the length
uint64_t TotalNodes(const Position* pos);

// The rank (1-based) of the line last handed to ReportLine; 1 outside the multi-line mode.
extern int32_t ReportedLineRank;
