// Coordinate and long-algebraic move texts.
#pragma once
#include <cstdint>
#include "board/types.h"

Move ParseMoveText(const int8_t board[65], const char* text, int side);
int MoveToText(char* buffer, Move move);                     // " e2e4"; returns the length
int MoveToLongText(char* buffer, Move move, int leadingBlank); // "Ng1-f3", "O-O-O"
extern const char SquareName[65][3];
