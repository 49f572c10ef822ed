// The main alpha-beta search, with the globals the root sets.
#pragma once
#include <cstdint>
#include "board/position.h"

// Search bits of PlyState::flags, beside the in-check bit 0x400.
constexpr uint32_t ThreatFlag = 0x800;      // a mate threat was seen at the node
constexpr uint32_t HashUpperFlag = 0x1000;  // the table's entry is an upper bound
constexpr uint32_t HashLowerFlag = 0x2000;  // the table's entry is a lower bound
constexpr uint32_t SingularFlag = 0x4000;   // the best move was found singular
constexpr uint32_t SearchFlagBits = ThreatFlag | HashUpperFlag | HashLowerFlag | SingularFlag;

// A probe result of the tablebases: none.
constexpr int NoTablebaseScore = 30001;

int Search(Position* pos, PlyState* node, int alpha, int beta, int depth, int allowNull, int extensionCount);

// Set by the root search for every iteration.
extern int32_t RootDepth;
extern int32_t MaxSearchPly;
extern int32_t SingularPlyLimit;
extern int32_t NullMaterialPlyLimit;
extern int32_t NullReductionThreshold;
extern int32_t RootBalance;            // White material - Black material at the root
extern int32_t RepetitionShift;        // 2 in endgame-like classes, else 1
// Tablebases: positions of at most TablebasePieceLimit men are probed (0: none); a capture
// or promotion is probed only while ply <= RootDepth - TablebaseDepthCut. Hits are counted
// for the reports.
extern int32_t TablebasePieceLimit;
extern int32_t TablebaseDepthCut;
extern int32_t TablebaseHits;
// A tablebase result as a score from the side to move's view, one point nearer to zero than
// the mate it announces (so a found mate is preferred): mate in n moves 30000 - 2n, mated in
// n moves -29999 + 2n, checkmated -29999, draw 0; NoTablebaseScore for distances no table
// holds. A win and the loss after its best move score alike from either side, wherever a
// line's probe falls, so that lines ending at the two sides' probes compare exactly.
constexpr int MaxTablebaseMoves = 499;
int TablebaseScoreOfResult(int32_t result);
// The tablebase probe of a search position, its time added to TablebaseTime; a score as above
// or NoTablebaseScore.
int TimedTablebaseProbe(const Position* pos, const PlyState* node);
// A tablebase draw: +1 for the side with more material, -1 for the side with less, else 0.
int TablebaseDrawScore(const PlyState* node);

// Nesting counters of the special searches, zeroed at the start of each search.
extern int32_t NullDepth, SingularDepth, VerifyDepth, MultiCutDepth;

// History counters stay below this, far from the killer scores and the list end marker.
constexpr int32_t HistoryCap = 0x40000000;
// Adds to the side's history counter of the move's squares, saturating at +-HistoryCap.
void AddHistory(Position* pos, int side, Move move, int32_t amount);
