// The main alpha-beta search and the quiescence search, with the globals the root sets.
#pragma once
#include <cstdint>
#include "board/position.h"

int Search(Position* pos, PlyState* node, int alpha, int beta, int depth, int allowNull, int extensionCount);
int Quiesce(Position* pos, PlyState* node, int alpha, int beta, int qdepth);

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
