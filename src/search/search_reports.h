// The reports a running search sends: functions the start-up installs (the command
// interpreter's report formatting), so the search does not know how they reach a host.
#pragma once
#include <cstdint>
#include "board/types.h"

struct Position;
struct PlyState;

enum BoundKind { BoundExact = 0, BoundUpper = 1, BoundLower = 2 };
constexpr int IterationDoneTag = 999;  // move number of the line made when an iteration ends

struct SearchReports {
  // From depth 8 on: the current root move (number of count).
  void (*rootMove)(const Position* pos, int depth, int number, int count, Move move);
  // A principal-variation line reported as line `rank`: the score is from the side to move at
  // the root, the bound one of BoundKind, the variation its move texts (" e2e4 e7e5").
  void (*line)(Position* pos, int rank, int depth, int elapsed, int score, int bound, const char* variation);
  // The final node report; cpuLoad in permille of one processor.
  void (*searchEnd)(Position* pos, uint32_t startTick, int cpuLoad);
  // Made at the clock checks after the first two seconds.
  void (*periodicNodes)(Position* pos);
  // The tablebase result of the root: "+M12", "-M7", "Remis" or "nicht in Datenbank".
  void (*rootTablebase)(const char* text);
};

// A null entry reports nothing.
extern SearchReports Reports;
// The root ply state of the running search (the reported variations start there).
extern PlyState* ReportRootNode;

// The calls the search makes; each skips a null entry.
void ReportRootMove(const Position* pos, int depth, int number, int count, Move move);
// A line for root move `move` (none for a silent position or an iteration's closing line): its
// variation is read back from the transposition table and becomes the saved variation.
void ReportLine(Position* pos, Move move, int rank, int depth, int moveNumber, int elapsed, int score, int bound);
void ReportSearchEnd(Position* pos, uint32_t startTick, int cpuLoad);
void ReportPeriodicNodes(Position* pos);
void ReportRootTablebase(const char* text);
