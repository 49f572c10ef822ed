// Pawn-structure analysis: the PawnEntry record and AnalysePawns, which fills an entry once
// per pawn configuration.
#pragma once
#include <cstdint>
#include "board/position.h"
#include "eval/square_geometry.h"

// Scores are from White's view. Files index 1..8 (0 and 9 are sentinels), ranks 1..8.
struct PawnEntry {
  uint32_t key;                   // pawn key 2 mixed with the root stamp; written last
  int8_t pawnsOnFile[10];         // both colours
  int8_t sidePawnsOnFile[2][10];  // [side][file]
  int8_t rearmost[2][10];         // White: lowest pawn rank (9 when none); Black: highest (0)
  int8_t colourCount[2][2];       // [side][0 light, 1 dark]
  int8_t blockedColour[2][2];     // pawns with an enemy pawn directly in front
  int8_t nonPassedColour[2][2];
  int8_t pawnCount[2];
  uint64_t pawns[2];              // SquareMask sets
  uint64_t passed[2];
  uint64_t weak[2];
  uint64_t pawnAttacks[2];
  uint64_t outposts[2];
  uint64_t kingReach[2];          // squares the king can reach from its first rank
  int16_t score;
  int16_t endingScore;            // added in pawn endings only
  int16_t endgameCorrection;      // added in the endgame after captures
  uint16_t flags;
  int8_t rookCorrection[2];       // added for a side that has a rook
  int8_t bishopPairCorrection[2]; // added for a side with two or more bishops
  int8_t averageFile;
  int8_t openFiles;               // files without any pawn
  int8_t isolated[2];
  int8_t pawnCountTerm;           // read through the material table's flag 0x04
  uint8_t narrowScale;            // percent, 0 none
  uint8_t centreSquare[2];        // by the king it is measured for; 0 when there are no pawns
};

// Rearmost pawn ranks counted from `side`: own 9 when none, enemy 0 when none.
inline int OwnRearRank(const PawnEntry* e, int side, int f) { return Rel(side, e->rearmost[side][f]); }
inline int EnemyRearRank(const PawnEntry* e, int side, int f) {
  int r = e->rearmost[side ^ 1][f];
  return side ? (r == 9 ? 0 : 9 - r) : r;
}

enum PawnFlag : uint16_t {
  PawnWhiteQueenWingFixed = 0x0001,
  PawnBlackQueenWingFixed = 0x0002,
  PawnWhiteKingWingFixed = 0x0004,
  PawnBlackKingWingFixed = 0x0008,
  PawnWhitePasserFar = 0x0010,    // a White passed pawn on rank 6 or 7
  PawnWhiteWeakLow = 0x0020,      // a White weak pawn on rank 2 or 3
  PawnOpenCentre = 0x0040,
  PawnClosedCentre = 0x0080,
  PawnLocked = 0x0100,            // neither king can cross the pawn chain
  PawnBlackPasserFar = 0x0200,    // a Black passed pawn on rank 3 or 2
  PawnBlackWeakLow = 0x0400,      // a Black weak pawn on rank 7 or 6
};

// Fills the entry's facts and scores from the pawns of the position.
void AnalysePawns(const Position* pos, PawnEntry* entry);
