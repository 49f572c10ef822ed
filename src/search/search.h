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
// Tablebases: no tables are registered yet, so the limit stays 0.
extern int32_t TablebasePieceLimit;
extern int32_t TablebaseDepthCut;
extern int32_t TablebaseHits;

// Nesting counters of the special searches, zeroed at the start of each search.
extern int32_t NullDepth, SingularDepth, VerifyDepth, MultiCutDepth;

// History counters stay below this, far from the killer scores and the list end marker.
constexpr int32_t HistoryCap = 0x40000000;
// Adds to the side's history counter of the move's squares, saturating at +-HistoryCap.
void AddHistory(Position* pos, int side, Move move, int32_t amount);
