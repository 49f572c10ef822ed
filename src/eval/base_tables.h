// The constant base tables from which the piece-square tables are built at every root.
// Each holds 64 values from White's view, indexed by square - 1 (a1 = 0, h8 = 63);
// a Black piece reads the vertical mirror.
#pragma once
#include <cstdint>

extern const int16_t PawnOpeningBase[64];
extern const int16_t PawnEndgameBase[64];
extern const int16_t KnightBase[64];
extern const int16_t BishopBase[64];
extern const int16_t RookOpeningBase[64];
extern const int16_t RookEndgameBase[64];
extern const int16_t QueenOpeningBase[64];
extern const int16_t QueenEndgameBase[64];
extern const int16_t KingShelterBase[64];
extern const int16_t KingSecondShelterBase[64];
extern const int16_t KingCentralBase[64];
extern const int16_t KingEndgameBase[64];
extern const int16_t KingBareBase[64];
extern const int16_t KingBareBishopKnightBase[64];  // dark corners a1 and h8 lowest

// Square seen from `side`: itself for White, the vertical mirror for Black.
inline int SideSquare(int side, int sq) { return side ? ((sq - 1) ^ 56) + 1 : sq; }
// A base table's value for a piece of `side` on square sq.
inline int BaseValue(const int16_t* table, int side, int sq) { return table[SideSquare(side, sq) - 1]; }
