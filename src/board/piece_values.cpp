#include "board/piece_values.h"
#include "board/geometry.h"

const int PieceValue[16] = {0, 10000, 100, 325, 0, 325, 541, 1055, 0, 10000, 100, 325, 0, 325, 541, 1055};
const int PhaseWeight[16] = {0, 0, 0, 1, 0, 1, 3, 6, 0, 0, 0, 1, 0, 1, 3, 6};
const uint32_t SignatureWeight[16] = {0, 0, 1, 16, 0, 64, 256, 1024, 0, 0, 1, 16, 0, 64, 256, 1024};
const uint8_t CapturedKindBit[16] = {0, 0, 0, 0x02, 0, 0x08, 0x20, 0x80, 0, 0, 0, 0x01, 0, 0x04, 0x10, 0x40};

uint32_t PieceSignatureWeight(int code, int square) {
  uint32_t weight = SignatureWeight[code];
  if ((code & 7) == 5 && SquareColour[square]) weight += 64;
  return weight;
}
