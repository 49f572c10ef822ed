// Coordinate and long-algebraic move texts.
#pragma once
#include <cstdint>
#include "board/types.h"

// The move a coordinate text (e2e4, e7e8q) describes on the board, without a legality test;
// 0 when the text cannot be read. Texts of any length are safe.
Move ParseMoveText(const int8_t board[65], const char* text, int side);
int MoveToText(char* buffer, Move move);                     // " e2e4"; returns the length
int MoveToLongText(char* buffer, Move move, int leadingBlank); // "Ng1-f3", "O-O-O"
extern const char SquareName[65][3];
extern const char UpperPieceLetter[17];  // by piece code: "0K NXBRQXK NXBRQ"
extern const char LowerPieceLetter[17];  // by piece code: "0k nXbrqXk nXbrq"
