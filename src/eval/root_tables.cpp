#include "eval/root_tables.h"

uint64_t CentreMask[2];
int32_t WinningChancesFlag = 1;
int32_t SameWingFlag;
int32_t BishopPairBonus = 28;
int32_t MinorPiecesFlag;
int32_t LazyMargin = 40;
int32_t EngineSide;
int32_t RootPawnCount[2] = {-1, -1};
int32_t PassedTable[PassedTableCount][8];
ClassConstants PieceConstants = {12, 14, -30, 5, 28, 10, 7};
int32_t KingCentralBlend[2][65];
int32_t KingSecondShelterBlend[2][65];
int32_t KingEndgameBlend[2][65];
int32_t PawnEndgameBlend[2][65];
int32_t RootPatternFlags;
uint32_t EvalSignature;
uint32_t PawnStamp;
