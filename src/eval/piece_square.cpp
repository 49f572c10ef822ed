#include "eval/piece_square.h"

int32_t PieceSquareTable[16][65];
