// Evaluation constants and tables derived from the root position and the options by
// PrepareRoot; fixed during a search.
#pragma once
#include <cstdint>

extern uint64_t CentreMask[2];           // c4-f6 (White's outpost zone), c3-f5 (Black's)
extern int32_t WinningChancesFlag;       // 0: the side ahead in pieces has no pawns to win with
extern int32_t SameWingFlag;             // both kings on files a-c or both on f-h
extern int32_t BishopPairBonus;
extern int32_t MinorPiecesFlag;          // endgame-like, few pawns, one minor each
extern int32_t LazyMargin;               // 40 + "Knowledge or Speed"
extern int32_t EngineSide;               // side to move at the root
extern int32_t RootPawnCount[2];         // pawns per side at the root, -1 when five or fewer

// Passed-pawn value tables, entry rank - 1 (ranks from the pawn's own side).
enum PassedTableIndex { PassedGeneral, PassedGeneralMid, PassedConnected, PassedConnectedMid,
                        PassedFree, PassedFreeMid, PassedTableCount };
extern int32_t PassedTable[PassedTableCount][8];
// The value of a table for a pawn on its own rank 1..8.
inline int PassedByRank(int table, int rank) { return PassedTable[table][rank - 1]; }

// Piece constants chosen by the root class (endgame-like or not).
struct ClassConstants {
  int32_t rookSeventhKingSeventh;
  int32_t rookSeventhKingEighth;
  int32_t knightNoSafeSquare;
  int32_t rooksConnectedFirst;
  int32_t rooksConnectedSeventh;
  int32_t rooksOpenFile;
  int32_t rooksHalfOpenFile;
};
extern ClassConstants PieceConstants;

// Blend tables by side and square: an alternative table minus the piece-square entries
// in use, so that a term can move a king or pawn value towards that table.
extern int32_t KingCentralBlend[2][65];
extern int32_t KingSecondShelterBlend[2][65];
extern int32_t KingEndgameBlend[2][65];
extern int32_t PawnEndgameBlend[2][65];

// Pattern flags found at the root (not in endgame-like classes).
enum RootPatternFlag {
  PatternMinorityWhite = 0x01,   // queen-side structure favouring Black's majority
  PatternMinorityBlack = 0x02,
  PatternStonewall = 0x04,       // the opponent's d4/f4 wall against the own king side
  PatternHFile = 0x08,           // h-pawns locked with an opponent minor on g5
  PatternAFile = 0x10,           // a-pawns locked with an opponent minor on b5
};
extern int32_t RootPatternFlags;

// Stamps for cached evaluation data: entries made under other root tables stop matching.
extern uint32_t EvalSignature;           // evaluation cache
extern uint32_t PawnStamp;               // pawn-structure table
