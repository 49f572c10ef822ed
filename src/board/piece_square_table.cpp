#include "board/piece_square_table.h"

int32_t PieceSquareTable[16][65];
