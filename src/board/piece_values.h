// Material values, phase weights and signature weights by piece code.
#pragma once
#include <cstdint>

// Material values by piece code (king 10000), phase weights and signature weights.
extern const int PieceValue[16];
extern const int PhaseWeight[16];
// MaterialSignature weights: pawn 1, knight 16, bishop 64 (+64 on a dark square), rook 256,
// queen 1024.
extern const uint32_t SignatureWeight[16];
uint32_t PieceSignatureWeight(int code, int square);
// CapturedKinds bit of each code: knights, bishops, rooks and queens; 0 for kings and pawns.
extern const uint8_t CapturedKindBit[16];
